// The Links page of the New Issue / Edit Issue sheet, driven as a user drives it on the demo
// company: controls found by their ids, buttons pressed, message boxes answered through the
// scripted-answer seam, the Link Wizard run from "Link To..." and answered once it shows.
// What is checked in the end is what reached the issue file and the cross-reference files.
#include "qvcore/newissue/_niLinks.h"

#include "qvcore/newissue/_niLinkWiz1.h"
#include "qvcore/newissue/_niLinkWiz2.h"
#include "qvcore/newissue/_niLinkWiz3.h"
#include "qvcore/newissue/_niLinkWiz4.h"
#include "qvcore/newissue/_niLinkWizard.h"
#include "qvcore/newissue/niLinkList.h"
#include "qvcore/newissue/_niNotify.h"
#include "qvcore/newissue/niPropSheet.h"
#include "qvcore/store/LinkedRecord.h"

#include "kwapp/tasks/kwCommand.h"
#include "kwapp/widgets/kwEdit.h"

#include "kwdm/view/kwdmGridView.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xdll_load.h"

#include "NewIssueFixture.h"
#include "UiControlIds.h"

#include "mapi/MAPI.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace newissuetest;

namespace {

std::unique_ptr<LinkedRecord> Link(const std::string& app, short xrefType, std::vector<int16_t> kinds,
                                   std::vector<int16_t> qualifiers, std::vector<std::string> values,
                                   const std::string& dict, const std::string& recDesc, const std::string& dataDesc) {
    auto link = std::make_unique<LinkedRecord>();
    link->applAbbrev = app;
    link->xrefRecType = xrefType;
    link->keyKindCodes = std::move(kinds);
    link->keyQualifiers = std::move(qualifiers);
    link->keyValues = std::move(values);
    link->dictName = dict;
    link->recType = 1;
    link->recDesc = recDesc;
    link->dataDesc = dataDesc;
    return link;
}

std::unique_ptr<LinkedRecord> Vendor(const std::string& id, const std::string& name) {
    return Link("AP", 1, {311}, {0}, {id}, "APV", "Vendor", name + " ");
}

class LinksPage : public NewIssueFixture {
protected:
    LinksPage() : NewIssueFixture(true) {}
    void TearDown() override {
        xdll_set_search_folders({});
        unsetenv("QV_FAKE_INQUIRY");
        unsetenv("QV_FAKE_INQUIRY_SEEN");
        NewIssueFixture::TearDown();
    }

    // An issue stored with these links (and their cross-references), as a saved sheet
    // leaves it.
    double StoreWithLinks(std::vector<std::unique_ptr<LinkedRecord>> links, const std::string& inquiry = {}) {
        qvIssue issue(file.Number(), kNewIssue, true);
        issue.Value(QV_FORMESS).Set("Linked issue");
        issue.Value(QV_INQNAME).Set(inquiry);
        EXPECT_TRUE(issue.AddRecord());
        std::vector<LinkedRecord*> list;
        for (auto& link : links) list.push_back(link.get());
        EXPECT_TRUE(niStoreLinks(issue, list));
        EXPECT_TRUE(issue.ReplaceRecord());
        xio_unlock_record(file.Number(), QV_RECORD_ISSUE, 1);
        return issue.Number();
    }
    // Link records of the issue file, and cross-reference records of one application.
    int64_t LinkRecords() {
        int64_t count = -1;
        EXPECT_EQ(xio_count_records(file.Number(), QV_RECORD_LINK, &count), XIO_OK);
        return count;
    }
    int64_t CrossReferences(const std::string& xrefFile, short recordType) {
        kwioDataFile xref;
        if (xref.PromptedOpen(xrefFile, kNewIssue, "", 1, false, true, false) != XIO_OK) return 0;
        int64_t count = -1;
        EXPECT_EQ(xio_count_records(xref.FileNum(), recordType, &count), XIO_OK);
        return count;
    }
    static std::vector<std::string> Lines(const QListWidget* list) {
        std::vector<std::string> lines;
        for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : xw_shown_messages()) texts.push_back(shown.text);
        return texts;
    }
    // Runs the Edit Issue sheet of a stored issue on its Links page; driver works the
    // page and closes the sheet.
    void EditIssue(double number, const std::function<void(niPropSheet&, _niLinks&)>& driver) {
        qvIssue issue(file.Number(), QV_CMD_VIEW_ISSUES, false);
        ASSERT_TRUE(issue.ReadRecord(number));
        kwCommand command(QV_CMD_VIEW_ISSUES);
        niPropSheet sheet(&command, &issue);
        sheet.show();
        QApplication::processEvents();
        ASSERT_TRUE(sheet.SetActivePage(2));
        auto* page = dynamic_cast<_niLinks*>(sheet.Page(2));
        ASSERT_NE(page, nullptr);
        driver(sheet, *page);
        if (sheet.isVisible()) sheet.PressCancel();
    }
    // The lines qvadmin prints for a command on this company, as a user runs it.
    std::vector<std::string> AdminLines(const std::string& args) const {
        const std::string command = "XDG_CONFIG_HOME='" + company.Path("config") + "' " + QV_BIN_DIR +
                                    "/qvadmin --data '" + company.Folder() + "' --operator ADMIN " + args +
                                    " 2>/dev/null";
        std::string out;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
            EXPECT_EQ(pclose(pipe), 0) << command;
        }
        std::vector<std::string> lines;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // Every message the mail service left in the company's outbox.
    std::string OutboxText() const {
        std::string text;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(company.Path("outbox"), ec)) {
            std::ifstream in(entry.path(), std::ios::binary);
            text += std::string(std::istreambuf_iterator<char>(in), {});
        }
        return text;
    }
    static QListWidget* List(QWidget* page) { return Control<QListWidget>(page, _niLinks::IDC_LINKS); }
    static QPushButton* Button(QWidget* page, int id) { return Control<QPushButton>(page, id); }
};

} // namespace

TEST_F(LinksPage, TemplateLabelSubjectAndInquiryOnOpening) {
    const std::map<std::string, int> ids = UiControlIds("qvcore/newissue/_niLinks.ui");
    const std::pair<const char*, int> expected[] = {
        {"subjectLabel", 602}, {"subject", 118}, {"addSubject", 119}, {"links", 113},          {"linkTo", 114},
        {"unlink", 115},       {"inquiry", 116}, {"unlinkInquiry", 117}, {"chooseInquiry", 120},
    };
    for (const auto& [name, id] : expected) EXPECT_EQ(ids.count(name) ? ids.at(name) : 0, id) << name;

    const double number = StoreWithLinks({}, "");
    {
        qvIssue issue(file.Number(), QV_CMD_VIEW_ISSUES, false);
        ASSERT_TRUE(issue.ReadRecord(number));
        issue.Value(QV_PROBLEM).Set("Posting error");
        issue.Value(QV_INQNAME).Set("AP - Open invoices");
        ASSERT_TRUE(issue.ReplaceRecord());
        xio_unlock_record(file.Number(), QV_RECORD_ISSUE, 1);
    }
    EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
        EXPECT_EQ(page.HelpId(), niPropSheet::HELP_LINKS) << "help id 25530 in Edit mode";
        EXPECT_EQ(Control<QLabel>(&page, _niLinks::IDC_SUBJECT_LABEL)->text(), "&Problem:")
            << "the company's name of field 266";
        auto* subject = Control<QComboBox>(&page, _niLinks::IDC_SUBJECT);
        EXPECT_EQ(subject->currentText(), "Posting error");
        EXPECT_EQ(subject->count(), 6) << "list 266 (its blank default is no choice)";
        auto* inquiry = Control<kwEdit>(&page, _niLinks::IDC_INQUIRY);
        EXPECT_EQ(inquiry->Text(), "AP - Open invoices");
        EXPECT_FALSE(inquiry->isEnabled());
        EXPECT_TRUE(Button(&page, _niLinks::IDC_UNLINK_INQUIRY)->isEnabled());
        EXPECT_FALSE(Button(&page, _niLinks::IDC_UNLINK)->isEnabled()) << "no lines: nothing to unlink";
        sheet.PressCancel();
    });
}

TEST_F(LinksPage, LineTabsFollowThePrefixLength) {
    auto shortOne = Link("AP", 1, {311}, {0}, {"A1"}, "APV", "X", "Name ");
    EXPECT_EQ(_niLinks::LineText(*shortOne), "AP - X:\t\t\tA1 Name ") << "at most 10 characters: two more tabs";
    EXPECT_EQ(_niLinks::LineText(*Vendor("ACME", "Acme")), "AP - Vendor:\t\tACME Acme ")
        << "11 to 16 characters: one more tab";
    auto longOne = Link("AR", 3, {321, 322}, {0, 0}, {"C1", "Invoice"}, "ARD", "Payment Application", "");
    EXPECT_EQ(_niLinks::LineText(*longOne), "AR - Payment Application:\tC1 Invoice ") << "a long prefix: no more";
}

TEST_F(LinksPage, UnlinkAsksAndReachesBothFilesOnlyOnOk) {
    std::vector<std::unique_ptr<LinkedRecord>> links;
    links.push_back(Vendor("ACME", "Acme Building Supply"));
    links.push_back(Link("JC", 1, {371}, {0}, {"2401"}, "JCJ", "Job", "Bayside school gym "));
    const double number = StoreWithLinks(std::move(links));
    ASSERT_EQ(LinkRecords(), 2);
    ASSERT_EQ(CrossReferences("APZ", 1), 1);
    ASSERT_EQ(CrossReferences("JCZ", 1), 1);

    // No keeps everything, the links-changed flag included; Cancel leaves the files alone.
    EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
        QListWidget* list = List(&page);
        EXPECT_EQ(Lines(list), (std::vector<std::string>{"AP - Vendor:\t\tACME Acme Building Supply ",
                                                         "JC - Job:\t\t\t2401 Bayside school gym "}));
        EXPECT_EQ(list->currentRow(), 0) << "the first line selected";
        EXPECT_TRUE(Button(&page, _niLinks::IDC_UNLINK)->isEnabled());
        xw_script_answers({XW_ANSWER_NO});
        Button(&page, _niLinks::IDC_UNLINK)->click();
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], "Unlink 'AP - Vendor:  ACME Acme Building Supply ' from the Issue?")
            << "message 502 with the line, each tab a blank";
        EXPECT_EQ(xw_shown_messages()[0].type, XW_YESNO);
        EXPECT_EQ(list->count(), 2);
        EXPECT_FALSE(page.LinksChanged());
        xw_script_answers({XW_ANSWER_YES});
        Button(&page, _niLinks::IDC_UNLINK)->click();
        EXPECT_EQ(Lines(list), (std::vector<std::string>{"JC - Job:\t\t\t2401 Bayside school gym "}));
        EXPECT_TRUE(page.LinksChanged());
        sheet.PressCancel();
    });
    EXPECT_EQ(LinkRecords(), 2) << "Cancel leaves the issue's links as they were";
    EXPECT_EQ(CrossReferences("APZ", 1), 1);

    // Yes and OK: the link and its cross-reference go, exactly that one.
    EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
        xw_script_answers({XW_ANSWER_YES});
        Button(&page, _niLinks::IDC_UNLINK)->click();
        EXPECT_EQ(List(&page)->count(), 1);
        EXPECT_EQ(List(&page)->currentRow(), 0) << "the same position, else the new last line";
        EXPECT_TRUE(sheet.PressOK());
        EXPECT_TRUE(sheet.LinksChanged()) << "the sheet reads the page's flag";
    });
    EXPECT_EQ(LinkRecords(), 1);
    EXPECT_EQ(CrossReferences("APZ", 1), 0);
    EXPECT_EQ(CrossReferences("JCZ", 1), 1);
    auto stored = Stored(number);
    ASSERT_NE(stored, nullptr);
    std::vector<LinkedRecord*> read;
    ASSERT_TRUE(stored->ReadLinks(read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->keyValues, std::vector<std::string>{"2401"});
    for (LinkedRecord* link : read) delete link;
}

TEST_F(LinksPage, ALinkToADeletedRecordShowsMissingAndCanBeUnlinked) {
    std::vector<std::unique_ptr<LinkedRecord>> links;
    links.push_back(Vendor("NOSUCHVEND", "Gone Supply"));
    links.push_back(Link("JC", 1, {371}, {0}, {"2401"}, "JCJ", "Job", "Bayside school gym "));
    const double number = StoreWithLinks(std::move(links));
    EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
        EXPECT_EQ(Lines(List(&page)),
                  (std::vector<std::string>{std::string("AP - Vendor:\t\tNOSUCHVEND Gone Supply") + _niLinks::MISSING_MARK,
                                            "JC - Job:\t\t\t2401 Bayside school gym "}));
        Screenshot(&sheet, "links-page-missing-record");
        xw_script_answers({XW_ANSWER_YES});
        Button(&page, _niLinks::IDC_UNLINK)->click();
        EXPECT_TRUE(sheet.PressOK());
    });
    EXPECT_EQ(LinkRecords(), 1);
    EXPECT_EQ(CrossReferences("APZ", 1), 0);
}

TEST_F(LinksPage, InquiryLibraryMissingOrWithoutTheListIsTold) {
    const double number = StoreWithLinks({}, "AP - Aged payables");
    const std::string fakes = QV_FAKE_KWINQ_DIR;
    const std::pair<std::string, std::string> cases[] = {
        {fakes + "/nowhere", "Unable to load KWINQ.DLL."},
        {fakes + "/without_list", "Unable to list inquires."},
    };
    for (const auto& [folder, message] : cases) {
        xdll_set_search_folders({folder});
        xw_clear_shown_messages();
        EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
            Button(&page, _niLinks::IDC_CHOOSE_INQUIRY)->click();
            ASSERT_EQ(Messages().size(), 1u) << folder;
            EXPECT_EQ(Messages()[0].rfind(message, 0), 0u) << Messages()[0];
            EXPECT_EQ(Control<kwEdit>(&page, _niLinks::IDC_INQUIRY)->Text(), "AP - Aged payables")
                << "the inquiry stays as it was";
            sheet.PressCancel();
        });
    }
}

TEST_F(LinksPage, InquiryChosenThroughTheLibraryThenUnlinked) {
    xdll_set_search_folders({std::string(QV_FAKE_KWINQ_DIR) + "/xi_list_inquiry"});
    const double number = StoreWithLinks({}, "AP - Aged payables");
    EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
        auto* inquiry = Control<kwEdit>(&page, _niLinks::IDC_INQUIRY);
        setenv("QV_FAKE_INQUIRY", "cancel", 1);
        Button(&page, _niLinks::IDC_CHOOSE_INQUIRY)->click();
        EXPECT_STREQ(std::getenv("QV_FAKE_INQUIRY_SEEN"), "AP|Aged payables")
            << "the current application and name handed to the list";
        EXPECT_EQ(inquiry->Text(), "AP - Aged payables") << "cancel changes nothing";

        setenv("QV_FAKE_INQUIRY", "gl - Trial balance", 1);
        Button(&page, _niLinks::IDC_CHOOSE_INQUIRY)->click();
        EXPECT_EQ(inquiry->Text(), "GL - Trial balance") << "the code in capitals";
        EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());

        xw_script_answers({XW_ANSWER_NO, XW_ANSWER_YES});
        Button(&page, _niLinks::IDC_UNLINK_INQUIRY)->click();
        EXPECT_EQ(inquiry->Text(), "GL - Trial balance");
        Button(&page, _niLinks::IDC_UNLINK_INQUIRY)->click();
        ASSERT_EQ(Messages().size(), 2u);
        EXPECT_EQ(Messages()[1], "Unlink 'GL - Trial balance' from the Issue?");
        EXPECT_EQ(inquiry->Text(), "");
        EXPECT_FALSE(Button(&page, _niLinks::IDC_UNLINK_INQUIRY)->isEnabled());

        setenv("QV_FAKE_INQUIRY", "PR - Time cards", 1);
        Button(&page, _niLinks::IDC_CHOOSE_INQUIRY)->click();
        EXPECT_TRUE(sheet.PressOK());
    });
    EXPECT_EQ(Stored(number)->Value(QV_INQNAME).Format(), "PR - Time cards");
}

// ---- links made through the Link Wizard ---------------------------------------------------

namespace {

// Runs "Link To..." and answers the wizard as a user: the application, the record type,
// the file line when step 3 shows, and the grid row whose first columns show key.
void LinkThroughWizard(QWidget* page, const std::string& app, const std::string& type, const std::string& fileLine,
                       const std::vector<std::string>& key) {
    WhenShown<_niLinkWizard>([=](_niLinkWizard* wizard) {
        const auto choose = [](QListWidget* list, const std::string& line) {
            const auto found = list->findItems(QString::fromStdString(line), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << line;
            list->setCurrentItem(found.front());
        };
        choose(wizard->ApplicationStep()->List(), app);
        wizard->Next();
        choose(wizard->RecordTypeStep()->List(), type);
        wizard->Next();
        if (wizard->ActiveIndex() == _niLinkWizard::STEP_FILE_TYPE) {
            choose(wizard->FileTypeStep()->List(), fileLine);
            wizard->Next();
        }
        if (wizard->ActiveIndex() != _niLinkWizard::STEP_RECORD) {
            ADD_FAILURE() << "no record grid for " << type;
            wizard->PressCancel();
            return;
        }
        kwdmGridView* grid = wizard->RecordStep()->Grid();
        QAbstractItemModel* model = grid->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            bool same = true;
            for (size_t c = 0; c < key.size() && same; ++c)
                same = model->data(model->index(row, static_cast<int>(c))).toString().toStdString() == key[c];
            if (!same) continue;
            grid->setCurrentIndex(model->index(row, 0));
            wizard->Finish();
            return;
        }
        ADD_FAILURE() << "no row " << testing::PrintToString(key);
        wizard->PressCancel();
    });
    Control<QPushButton>(page, _niLinks::IDC_LINK_TO)->click();
}

} // namespace

TEST_F(LinksPage, VendorInvoicePhaseAndBankTransactionThroughTheWizardThenOneUnlinked) {
    const double number = StoreWithLinks({});
    Prefs::SetNotifyOnChange(true);
    EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
        QListWidget* list = List(&page);
        LinkThroughWizard(&page, "Accounts Payable", "AP - Vendor ", "", {"BOLTWORKS"});
        EXPECT_EQ(Lines(list), (std::vector<std::string>{"AP - Vendor:\t\tBOLTWORKS Boltworks Hardware "}));
        EXPECT_TRUE(page.LinksChanged());

        // The same vendor again: refused, the line selected.
        LinkThroughWizard(&page, "Accounts Payable", "AP - Vendor ", "", {"BOLTWORKS"});
        EXPECT_EQ(Messages(), std::vector<std::string>{"A link to the record already exists."});
        EXPECT_EQ(xw_shown_messages()[0].type, XW_INFO);
        EXPECT_EQ(list->count(), 1);

        // An invoice of another vendor: the vendor link of its first key kind gives way and
        // the invoice's own vendor comes with it.
        LinkThroughWizard(&page, "Accounts Payable", "AP - Invoice ", "", {"ACME", "INV-01006"});
        EXPECT_EQ(Lines(list), (std::vector<std::string>{"AP - Vendor:\t\tACME Acme Building Supply ",
                                                         "AP - Invoice:\t\tACME INV-01006 Lumber and framing "}));
        EXPECT_EQ(list->currentRow(), 1) << "the new link's line selected";

        // A phase: its job and its extra come before it.
        LinkThroughWizard(&page, "Job Cost", "JC - Phase ", "", {"2402", "E1", "03-000"});
        // A bank transaction: its bank account comes with it.
        LinkThroughWizard(&page, "Cash Management", "CM - Transaction ", "", {"OPERATING", "240101", "2"});
        const std::vector<std::string> lines = Lines(list);
        ASSERT_EQ(lines.size(), 7u) << testing::PrintToString(lines);
        EXPECT_EQ(lines[2].rfind("JC - Job:\t\t\t2402 ", 0), 0u) << lines[2];
        EXPECT_EQ(lines[3].rfind("JC - Extra:\t\t2402 E1 ", 0), 0u) << lines[3];
        EXPECT_EQ(lines[4].rfind("JC - Phase:\t\t2402 E1 03-000 ", 0), 0u) << lines[4];
        EXPECT_EQ(lines[5].rfind("CM - Bank Account:\tOPERATING ", 0), 0u) << lines[5];
        EXPECT_EQ(lines[6].rfind("CM - Transaction:\tOPERATING 240101 2 ", 0), 0u) << lines[6];
        Screenshot(&sheet, "links-page");
        // The notice of the changed issue goes out with the links.
        ASSERT_TRUE(sheet.SetActivePage(1));
        Type(Control<QLineEdit>(&sheet, _niNotify::IDC_RESPONSIBLE), "DANA");
        ScriptMail({MAPI_ANSWER_OK});
        EXPECT_TRUE(sheet.PressOK());
    });
    const std::string mail = OutboxText();
    EXPECT_NE(mail.find("Linked Records:\r\nAP - Vendor: ACME Acme Building Supply \r\n"
                        "AP - Invoice: ACME INV-01006 Lumber and framing \r\n"),
              std::string::npos)
        << mail;
    EXPECT_EQ(LinkRecords(), 7);
    EXPECT_EQ(CrossReferences("APZ", 1), 1);
    EXPECT_EQ(CrossReferences("APZ", 2), 1);
    EXPECT_EQ(CrossReferences("JCZ", 1), 1);
    EXPECT_EQ(CrossReferences("JCZ", 2), 1);
    EXPECT_EQ(CrossReferences("JCZ", 3), 1);
    EXPECT_EQ(CrossReferences("CMZ", 1), 1);
    EXPECT_EQ(CrossReferences("CMZ", 2), 1);
    // The command line sees what the window made.
    const std::vector<std::string> listed = AdminLines("issue links " + std::to_string(static_cast<long>(number)));
    ASSERT_EQ(listed.size(), 7u) << testing::PrintToString(listed);
    EXPECT_EQ(listed[1], "AP\tInvoice\tACME INV-01006\tLumber and framing");
    EXPECT_NE(std::find(listed.begin(), listed.end(), "JC\tPhase\t2402 E1 03-000\tFraming"), listed.end())
        << testing::PrintToString(listed);

    // Edit again: the links read back show as they were made; two unlinked, one added.
    Prefs::SetNotifyOnChange(false);
    EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
        QListWidget* list = List(&page);
        ASSERT_EQ(list->count(), 7);
        EXPECT_EQ(list->item(1)->text().toStdString(), "AP - Invoice:\t\tACME INV-01006 Lumber and framing ");
        // Read back in the order of the issue file: by application, then record type.
        EXPECT_EQ(list->item(3)->text().toStdString(),
                  "CM - Transaction:\tOPERATING 240101 2 Check to Boltworks Hardware ");
        list->setCurrentRow(3);
        xw_script_answers({XW_ANSWER_YES});
        Control<QPushButton>(&page, _niLinks::IDC_UNLINK)->click();
        EXPECT_EQ(list->count(), 6);
        EXPECT_EQ(list->currentRow(), 3) << "the same position again";
        list->setCurrentRow(5);
        xw_script_answers({XW_ANSWER_YES});
        Control<QPushButton>(&page, _niLinks::IDC_UNLINK)->click();
        EXPECT_EQ(list->currentRow(), 4) << "the last line was removed: the new last line";
        LinkThroughWizard(&page, "Payroll", "PR - Employee ", "PRE - Employees", {});
        EXPECT_TRUE(sheet.PressOK());
    });
    EXPECT_EQ(LinkRecords(), 6) << "two gone, one added, nothing twice";
    EXPECT_EQ(CrossReferences("CMZ", 2), 0) << "the transaction's cross-reference is gone";
    EXPECT_EQ(CrossReferences("CMZ", 1), 1) << "its bank account stays";
    EXPECT_EQ(CrossReferences("JCZ", 3), 0) << "the phase's too";
    EXPECT_EQ(CrossReferences("JCZ", 1), 1);
    EXPECT_EQ(CrossReferences("PRZ", 1), 1);
    EXPECT_EQ(AdminLines("issue links " + std::to_string(static_cast<long>(number))).size(), 6u);
}

TEST_F(LinksPage, CancelInTheWizardOrTheSheetLeavesTheLinksAsTheyWere) {
    std::vector<std::unique_ptr<LinkedRecord>> links;
    links.push_back(Vendor("ACME", "Acme Building Supply"));
    const double number = StoreWithLinks(std::move(links));
    EditIssue(number, [&](niPropSheet& sheet, _niLinks& page) {
        WhenShown<_niLinkWizard>([](_niLinkWizard* wizard) { wizard->PressCancel(); });
        Control<QPushButton>(&page, _niLinks::IDC_LINK_TO)->click();
        EXPECT_FALSE(page.LinksChanged()) << "a cancelled wizard changes nothing";
        EXPECT_EQ(List(&page)->count(), 1);
        LinkThroughWizard(&page, "Accounts Payable", "AP - Vendor ", "", {"CASCADE"});
        EXPECT_EQ(Lines(List(&page)), (std::vector<std::string>{"AP - Vendor:\t\tCASCADE Cascade Concrete "}))
            << "a vendor replaces the vendor";
        sheet.PressCancel();
    });
    auto stored = Stored(number);
    std::vector<LinkedRecord*> read;
    ASSERT_TRUE(stored->ReadLinks(read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->keyValues, std::vector<std::string>{"ACME"});
    for (LinkedRecord* link : read) delete link;
    EXPECT_EQ(CrossReferences("APZ", 1), 1);
}
