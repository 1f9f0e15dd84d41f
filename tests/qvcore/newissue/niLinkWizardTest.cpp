// The Link Wizard driven as a user drives it on the demo company: its lists found by their
// ids, its buttons pressed, its message boxes answered through the scripted-answer seam.
#include "qvcore/newissue/_niLinkWizard.h"

#include "qvcore/newissue/_niLinkWiz1.h"
#include "qvcore/newissue/_niLinkWiz2.h"
#include "qvcore/newissue/_niLinkWiz3.h"
#include "qvcore/newissue/_niLinkWiz4.h"
#include "qvcore/store/LinkedRecord.h"

#include "kwdm/view/kwdmGridView.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include "NewIssueFixture.h"
#include "TestFiles.h"
#include "UiControlIds.h"

#include <QAbstractItemModel>
#include <QListWidget>
#include <QScrollBar>
#include <QPushButton>

#include <filesystem>

namespace fs = std::filesystem;
using namespace newissuetest;

namespace {

class LinkWizard : public NewIssueFixture {
protected:
    // withData: the demo company's data files too, for the record grid.
    explicit LinkWizard(bool withData = false) : NewIssueFixture(withData) {}

    void SetUp() override {
        NewIssueFixture::SetUp();
        wizard = std::make_unique<_niLinkWizard>(static_cast<short>(kNewIssue));
        wizard->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        wizard.reset();
        NewIssueFixture::TearDown();
    }
    QListWidget* List(int id) const { return Control<QListWidget>(wizard.get(), id); }
    QPushButton* Button(int id) const { return wizard->Button(id); }
    static std::vector<std::string> Lines(const QListWidget* list) {
        std::vector<std::string> lines;
        for (int i = 0; i < list->count(); ++i)
            lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }
    static std::string Current(const QListWidget* list) {
        return list->currentItem() ? list->currentItem()->text().toStdString() : std::string();
    }
    static void Choose(QListWidget* list, const std::string& line) {
        const auto found = list->findItems(QString::fromStdString(line), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << "line \"" << line << "\"";
        list->setCurrentItem(found.front());
    }
    // Enabled Back, Next, Finish as bits 1, 2, 4; every one of them shown.
    int Enabled() const {
        int bits = 0;
        const int ids[] = {kwPropertySheet::ID_WIZBACK, kwPropertySheet::ID_WIZNEXT, kwPropertySheet::ID_WIZFINISH};
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(Button(ids[i])->isVisible()) << "button " << ids[i] << " stays shown";
            if (Button(ids[i])->isEnabled()) bits |= 1 << i;
        }
        return bits;
    }
    void Next() { Button(kwPropertySheet::ID_WIZNEXT)->click(); }
    void Back() { Button(kwPropertySheet::ID_WIZBACK)->click(); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : xw_shown_messages())
            texts.push_back(shown.text);
        return texts;
    }

    std::unique_ptr<_niLinkWizard> wizard;
};

// With the demo company's data files: the record grid of step 4 can be built.
class LinkWizardOnData : public LinkWizard {
protected:
    LinkWizardOnData() : LinkWizard(true) {}
};

} // namespace

TEST_F(LinkWizard, TemplatesCarryTheControlIds) {
    EXPECT_EQ(UiControlIds("qvcore/newissue/_niLinkWiz1.ui").at("applications"), _niLinkWiz1::IDC_LIST);
    EXPECT_EQ(UiControlIds("qvcore/newissue/_niLinkWiz2.ui").at("recordTypes"), _niLinkWiz2::IDC_LIST);
    EXPECT_EQ(UiControlIds("qvcore/newissue/_niLinkWiz3.ui").at("fileTypes"), _niLinkWiz3::IDC_LIST);
    EXPECT_EQ(UiControlIds("qvcore/newissue/_niLinkWiz4.ui").at("records"), _niLinkWiz4::IDC_GRID);
    EXPECT_EQ(wizard->windowTitle(), "Link Wizard");
    EXPECT_EQ(wizard->HelpId(), 8791u);
    // Cancel, Back touching Next, Finish, Help from left to right.
    const int order[] = {kwPropertySheet::ID_CANCEL, kwPropertySheet::ID_WIZBACK, kwPropertySheet::ID_WIZNEXT,
                         kwPropertySheet::ID_WIZFINISH, kwPropertySheet::ID_HELP};
    for (int i = 1; i < 5; ++i)
        EXPECT_LT(Button(order[i - 1])->geometry().right(), Button(order[i])->geometry().left()) << order[i];
    EXPECT_EQ(Button(order[1])->geometry().right() + 1, Button(order[2])->geometry().left()) << "Back touches Next";
}

TEST_F(LinkWizardOnData, ApplicationsThenRecordTypesThenTheOnlyFileSkipped) {
    QListWidget* apps = List(_niLinkWiz1::IDC_LIST);
    EXPECT_EQ(Lines(apps), (std::vector<std::string>{"Accounts Payable", "Accounts Receivable", "Cash Management",
                                                     "Equipment", "General Ledger", "Job Cost", "Payroll",
                                                     "Property Maintenance"}))
        << "the applications with an issue dictionary, by name";
    EXPECT_EQ(Current(apps), "Accounts Payable") << "the first line is selected";
    EXPECT_EQ(Enabled(), 2) << "step 1: Next only";
    Screenshot(wizard.get(), "link-wizard-1-application");

    Next();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD_TYPE);
    EXPECT_EQ(wizard->applAbbrev, "AP");
    QListWidget* types = List(_niLinkWiz2::IDC_LIST);
    EXPECT_EQ(Lines(types), (std::vector<std::string>{"AP - Invoice ", "AP - Vendor "}))
        << "names cut before \"Issue\", the blank before it kept";
    EXPECT_EQ(Current(types), "AP - Invoice ");
    EXPECT_EQ(Enabled(), 3);
    Choose(types, "AP - Vendor ");
    Screenshot(wizard.get(), "link-wizard-2-record-type");

    Next();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD) << "one data file holds vendors: step 3 skipped";
    EXPECT_TRUE(wizard->FileTypeStep()->Skipped());
    EXPECT_EQ(wizard->dictName, "APV");
    EXPECT_EQ(wizard->recordType, 1);
    EXPECT_EQ(wizard->fileMask, 0);
    EXPECT_EQ(wizard->previousStep, 1);

    Back();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD_TYPE) << "coming back skips step 3 too";
    EXPECT_EQ(Current(types), "AP - Vendor ") << "the choice is kept";
    EXPECT_FALSE(wizard->comingBack) << "consumed by step 2";
    Back();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_APPLICATION);
    EXPECT_EQ(Enabled(), 2);
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
}

TEST_F(LinkWizard, BackAndNextKeepChoicesAnotherApplicationRebuilds) {
    Choose(List(_niLinkWiz1::IDC_LIST), "Accounts Receivable");
    Next();
    QListWidget* types = List(_niLinkWiz2::IDC_LIST);
    EXPECT_EQ(Lines(types).size(), 6u);
    EXPECT_EQ(Current(types), "AR - Contact ") << "sorted: the first line";
    Choose(types, "AR - Transaction ");
    Next();
    ASSERT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_FILE_TYPE);
    QListWidget* files = List(_niLinkWiz3::IDC_LIST);
    EXPECT_EQ(Lines(files), (std::vector<std::string>{"ART - Transactions (History)", "ART - Transactions (Open Items)",
                                                      "ART - Transactions (Recurring)"}));
    std::vector<short> masks;
    for (const qvDataRecordType& line : wizard->FileTypeStep()->Lines())
        masks.push_back(line.fileMask);
    EXPECT_EQ(masks, (std::vector<short>{1, 2, 4})) << "three file types: masks 1, 2 and 4";
    Choose(files, "ART - Transactions (Recurring)");
    EXPECT_EQ(wizard->previousStep, 2);
    Screenshot(wizard.get(), "link-wizard-3-file-type");

    Back();
    EXPECT_EQ(Current(types), "AR - Transaction ") << "coming back from step 3 keeps step 2";
    Next();
    EXPECT_EQ(Current(files), "ART - Transactions (Recurring)") << "the line chosen before, found again";

    // Double clicks press Next.
    Back();
    Back();
    QListWidget* apps = List(_niLinkWiz1::IDC_LIST);
    Choose(apps, "Job Cost");
    emit apps->itemDoubleClicked(apps->currentItem());
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD_TYPE);
    EXPECT_EQ(Lines(types), (std::vector<std::string>{"JC - Cost Category ", "JC - Extra ", "JC - Job ", "JC - Phase "}))
        << "another application rebuilds the list";
    EXPECT_EQ(Current(types), "JC - Cost Category ");
}

TEST_F(LinkWizard, LinkGroupsOfferEveryFileOfTheGroup) {
    Choose(List(_niLinkWiz1::IDC_LIST), "Payroll");
    Next();
    Choose(List(_niLinkWiz2::IDC_LIST), "PR - Employee ");
    Next();
    EXPECT_EQ(Lines(List(_niLinkWiz3::IDC_LIST)),
              (std::vector<std::string>{"PRE - Employees", "PRH - Former Employees"}));
    Back();
    Back();
    Choose(List(_niLinkWiz1::IDC_LIST), "Equipment");
    Next();
    Choose(List(_niLinkWiz2::IDC_LIST), "EQ - Equipment ");
    Next();
    EXPECT_EQ(Lines(List(_niLinkWiz3::IDC_LIST)), (std::vector<std::string>{"EQM - Equipment", "EQR - Rental Fleet"}));
    EXPECT_EQ(wizard->issueRecord.linkGroup, 1) << "the group of the first matching record type";
}

TEST_F(LinkWizard, DictionariesThatDoNotServeAreTold) {
    // An issue dictionary that has gone since step 1 listed it, one that is damaged, one
    // without record types (the data library takes it for damaged), one whose keys match
    // no data.
    fs::remove(company.Path("dict/apz.dct"));
    WriteAll(company.Path("dict/cmz.dct"), "{ \"file\": ");
    WriteAll(company.Path("dict/eqz.dct"),
             R"({"file": {"abbrev": "EQZ", "defaultFileName": "ISSUES.EQZ"}, "recordTypes": []})");
    WriteAll(company.Path("dict/glz.dct"), R"({"file": {"abbrev": "GLZ", "defaultFileName": "ISSUES.GLZ"},
      "recordTypes": [{"number": 1, "name": "BUDGET ISSUE", "fields": [
        {"name": "GLACCT", "type": 0, "width": 9, "kind": 301, "formatFlag": true},
        {"name": "GLPRTNR", "type": 1, "width": 6, "kind": 303},
        {"name": "ISSUE1", "type": 1, "width": 10}],
        "keys": [{"number": 0, "name": "BUDGET ISSUE", "fields": ["GLACCT", "GLPRTNR", "ISSUE1"]}]}]})");
    kwDictionaryLoader::ClearCache();

    QListWidget* apps = List(_niLinkWiz1::IDC_LIST);
    QListWidget* types = List(_niLinkWiz2::IDC_LIST);
    const std::pair<const char*, const char*> cases[] = {
        {"Accounts Payable", "Could not open the APZ dictionary.  The dictionary file was not found."},
        {"Cash Management", "Could not open the CMZ dictionary.  The dictionary file is corrupt."},
        // The data library refuses a dictionary without record types as malformed.
        {"Equipment", "Could not open the EQZ dictionary.  The dictionary file is corrupt."},
    };
    for (const auto& [app, message] : cases) {
        xw_clear_shown_messages();
        Choose(apps, app);
        Next();
        EXPECT_EQ(Messages(), (std::vector<std::string>{message})) << app;
        EXPECT_EQ(types->count(), 0) << app;
        Next();
        EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD_TYPE) << "no line: Next stays";
        Back();
    }
    xw_clear_shown_messages();
    Choose(apps, "General Ledger");
    Next();
    Next();
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Could not find an associated issue record.  The key fields on the selected issue "
                              "dictionary record do not match another record in this application."}));
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_FILE_TYPE);
    EXPECT_EQ(List(_niLinkWiz3::IDC_LIST)->count(), 0);
    Next();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_FILE_TYPE) << "nothing to take";
    Back();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD_TYPE) << "the user can go back";
    EXPECT_EQ(xw_shown_messages().front().caption, "New Issue") << "the task's name is the caption";
}

TEST_F(LinkWizard, NoIssueDictionariesAtAll) {
    wizard.reset();
    for (const auto& entry : fs::directory_iterator(company.Path("dict")))
        if (entry.path().filename().string()[2] == 'z') fs::remove(entry.path());
    wizard = std::make_unique<_niLinkWizard>(static_cast<short>(kNewIssue));
    wizard->show();
    QApplication::processEvents();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"You do not have any applications installed that store issues.  "
                                                    "There are no issue dictionaries."}));
    EXPECT_EQ(xw_shown_messages().front().type, XW_INFO);
    Next();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_APPLICATION);
}

// ---- the record grid of step 4 ------------------------------------------------------------

namespace {

// The row of the grid whose first columns show these texts; -1 when none.
int RowOf(kwdmGridView* grid, const std::vector<std::string>& key) {
    QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        bool same = true;
        for (size_t c = 0; c < key.size() && same; ++c)
            same = model->data(model->index(row, static_cast<int>(c))).toString().toStdString() == key[c];
        if (same) return row;
    }
    return -1;
}

} // namespace

TEST_F(LinkWizardOnData, RecordGridShowsTheKeyAndOneColumnAndFinishMakesTheLink) {
    Choose(List(_niLinkWiz1::IDC_LIST), "Accounts Payable");
    Next();
    Choose(List(_niLinkWiz2::IDC_LIST), "AP - Invoice ");
    Next();
    ASSERT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD) << "one file holds invoices";
    EXPECT_EQ(Enabled(), 5) << "step 4: Back and Finish";
    kwdmGridView* grid = wizard->RecordStep()->Grid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->property("ctrlId").toInt() == _niLinkWiz4::IDC_GRID ||
                  grid->parentWidget()->property("ctrlId").toInt() == _niLinkWiz4::IDC_GRID,
              true);
    QAbstractItemModel* model = grid->model();
    ASSERT_EQ(model->columnCount(), 3) << "vendor, invoice and the field after the key";
    EXPECT_GT(model->rowCount(), 100) << "a few hundred invoices";
    QApplication::processEvents();
    EXPECT_GT(grid->verticalScrollBar()->maximum(), 0) << "the grid scrolls";
    const int row = RowOf(grid, {"ACME", "INV-01006"});
    ASSERT_GE(row, 0);
    grid->setCurrentIndex(model->index(row, 0));
    Screenshot(wizard.get(), "link-wizard-4-record");

    // Back and Next again: the same grid, still on the same record.
    Back();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD_TYPE);
    EXPECT_EQ(Enabled(), 3);
    Next();
    EXPECT_EQ(wizard->RecordStep()->Grid(), grid) << "same dictionary, record type and mask: the grid is kept";
    EXPECT_EQ(grid->currentIndex().row(), row);

    emit grid->doubleClicked(model->index(row, 1));
    EXPECT_FALSE(wizard->isVisible()) << "a double click on a row finishes";
    std::unique_ptr<LinkedRecord> link = wizard->TakeResult();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->applAbbrev, "AP");
    EXPECT_EQ(link->xrefRecType, 2);
    EXPECT_EQ(link->keyKindCodes, (std::vector<int16_t>{311, 312}));
    EXPECT_EQ(link->keyQualifiers, (std::vector<int16_t>{0, 0}));
    EXPECT_EQ(link->keyValues, (std::vector<std::string>{"ACME", "INV-01006"}));
    EXPECT_EQ(link->dictName, "API");
    EXPECT_EQ(link->recType, 1);
    EXPECT_EQ(link->fileMask, 0);
    EXPECT_EQ(link->recDesc, "Invoice");
    EXPECT_EQ(link->dataDesc, "Lumber and framing ");
}

TEST_F(LinkWizardOnData, ThreeFileTypesCarryTheirMasksToTheGrid) {
    Choose(List(_niLinkWiz1::IDC_LIST), "Accounts Receivable");
    Next();
    Choose(List(_niLinkWiz2::IDC_LIST), "AR - Transaction ");
    Next();
    Choose(List(_niLinkWiz3::IDC_LIST), "ART - Transactions (History)");
    Next();
    ASSERT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD);
    EXPECT_EQ(wizard->RecordStep()->GridName(), "ART12") << "dictionary, record type 1, mask 2";
    kwdmGridView* grid = wizard->RecordStep()->Grid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->columnCount(), 5) << "four key fields and one more";
    Back();
    Choose(List(_niLinkWiz3::IDC_LIST), "ART - Transactions (Recurring)");
    Next();
    EXPECT_EQ(wizard->RecordStep()->GridName(), "ART14") << "another mask: a grid of its own";
    wizard->Finish();
    EXPECT_FALSE(wizard->isVisible());
    std::unique_ptr<LinkedRecord> link = wizard->TakeResult();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->fileMask, 4);
    EXPECT_EQ(link->keyValues.size(), 4u);

    // The QX dictionaries keep their file types together: one line, mask 1.
    wizard = std::make_unique<_niLinkWizard>(static_cast<short>(kNewIssue));
    wizard->show();
    QApplication::processEvents();
    Choose(List(_niLinkWiz1::IDC_LIST), "Property Maintenance");
    Next();
    Choose(List(_niLinkWiz2::IDC_LIST), "QX - Property ");
    Next();
    ASSERT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD) << "one line: step 3 passed over";
    EXPECT_EQ(wizard->dictName, "QXA");
    EXPECT_EQ(wizard->fileMask, 1);
}

TEST_F(LinkWizardOnData, DataFileMissingLockedOrDamagedIsToldAndTheUserGoesBack) {
    // Vendors: one file, step 3 passed over, so the user lands on step 2.
    kwioDataFile vendorsElsewhere;
    ASSERT_EQ(vendorsElsewhere.PromptedOpen("APV", 7010, "", 0, false, true, true), XIO_OK)
        << "another user holds the vendors alone";
    Choose(List(_niLinkWiz1::IDC_LIST), "Accounts Payable");
    Next();
    Choose(List(_niLinkWiz2::IDC_LIST), "AP - Vendor ");
    Next();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD_TYPE) << "back to choose another";
    EXPECT_EQ(Enabled(), 3);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("Could not open the Vendors (APV) file"), std::string::npos) << Messages()[0];
    EXPECT_NE(Messages()[0].find("in use by another user"), std::string::npos) << Messages()[0];
    EXPECT_EQ(wizard->previousStep, 1) << "kept positive once the failure is handled";
    vendorsElsewhere.Close();

    // Invoices: the data file damaged.
    xw_clear_shown_messages();
    std::string invoices;
    for (const xio_company_file& each : xio_company_files())
        if (each.abbrev == "API") invoices = each.path;
    ASSERT_FALSE(invoices.empty());
    WriteAll(invoices, "not a data file at all, only words");
    Choose(List(_niLinkWiz2::IDC_LIST), "AP - Invoice ");
    Next();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD_TYPE);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find(invoices), std::string::npos) << "the file named: " << Messages()[0];
    EXPECT_NE(Messages()[0].find("damaged"), std::string::npos) << Messages()[0];

    // The vendors again, free now: the grid comes.
    Choose(List(_niLinkWiz2::IDC_LIST), "AP - Vendor ");
    Next();
    EXPECT_EQ(wizard->ActiveIndex(), _niLinkWizard::STEP_RECORD);
    EXPECT_NE(wizard->RecordStep()->Grid(), nullptr);
}
