// The library's calls as callers that load it by name reach them: the chooser, the driving
// record and the inquiry window filtered by the values passed.
#include "kwinq/xi.h"

#include "KwinqTestSupport.h"

#include "kwinq/kwInqChooser.h"
#include "kwinq/kwInqWindow.h"

#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/view/kwdmGridView.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using kwinqtest::InquiryTest;

template <class T> T* Control(QWidget* root, int id) {
    for (T* widget : root->findChildren<T*>())
        if (widget->property("ctrlId").toInt() == id) return widget;
    return nullptr;
}

xi_value_def Value(const char* field, const char* text) {
    xi_value_def value{};
    std::snprintf(value.field, sizeof value.field, "%s", field);
    std::snprintf(value.text, sizeof value.text, "%s", text);
    return value;
}

// Invoices of a vendor, walked through the record manager.
int64_t InvoicesOf(const std::string& vendor) {
    kwioDataFile file;
    if (file.PromptedOpen("API", 1, "", 1, false, true, false) != 0) return -1;
    const short number = xio_num(file.FileNum(), 0, 0, "IVENDOR");
    int64_t count = 0;
    for (short status = xio_rd_first(file.FileNum(), 1, 0, 0); status == 0;
         status = xio_rd_next(file.FileNum(), 1, 0, 0)) {
        x_value_def value;
        xio_get_field(file.FileNum(), 0, number, &value);
        std::string text = value.AsText();
        while (!text.empty() && text.back() == ' ') text.pop_back();
        count += text == vendor;
    }
    return count;
}

} // namespace

TEST(InquiryLibrary, LoadedByNameItExportsEveryCallUnderItsPlainName) {
    void* library = ::dlopen(QV_BIN_DIR "/libkwinq.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    for (const char* name : {"xi_list_inquiry", "xi_driving_record", "xi_run_inquiry", "xi_num_pulldown"})
        EXPECT_NE(::dlsym(library, name), nullptr) << name;
    // The same library as the one linked: one set of commands and windows.
    EXPECT_EQ(::dlsym(library, "xi_num_pulldown"), reinterpret_cast<void*>(&xi_num_pulldown));
    ::dlclose(library);
}

TEST_F(InquiryTest, DrivingRecordOfAKnownInquiryOnly) {
    char file[4] = "XYZ";
    short type = -1;
    EXPECT_NE(xi_driving_record("ap", "vendor INVOICES", file, &type, sizeof file), 0);
    EXPECT_STREQ(file, "API");
    EXPECT_EQ(type, 1);
    EXPECT_NE(xi_driving_record("JC", "Job phases", file, &type, sizeof file), 0);
    EXPECT_STREQ(file, "JCJ");
    EXPECT_EQ(type, 3);

    std::strcpy(file, "XYZ");
    type = -1;
    EXPECT_EQ(xi_driving_record("GL", "Vendor invoices", file, &type, sizeof file), 0) << "another application's";
    EXPECT_EQ(xi_driving_record("AP", "Vendor invoices", file, &type, 3), 0) << "a buffer too small for the answer";
    EXPECT_STREQ(file, "XYZ") << "nothing written when there is no answer";
    EXPECT_EQ(type, -1);
}

TEST_F(InquiryTest, ChooserStartsAtTheCurrentInquiryAndAnswersTheChoice) {
    char application[16] = "ap";
    char name[31] = "Vendor invoices";
    std::string seenApplication, seenInquiry;
    {
        auto cancel = kwInqChooser::RunnerSeam().Replace([&](kwInqChooser& dialog) {
            seenApplication = Control<QComboBox>(&dialog, kwInqChooser::IDC_APPLICATION)->currentText().toStdString();
            seenInquiry = Control<QListWidget>(&dialog, kwInqChooser::IDC_INQUIRIES)->currentItem()->text().toStdString();
            EXPECT_EQ(dialog.Applications().front().first, "AP") << "by name: Accounts Payable first";
            for (const auto& [code, title] : dialog.Applications())
                EXPECT_NE(code, "QV") << "an application without inquiries is not offered";
            Control<QPushButton>(&dialog, kwDialog::IDCANCEL)->click();
            return dialog.Result();
        });
        EXPECT_EQ(xi_list_inquiry(application, "", 0, name, sizeof name), 0);
    }
    EXPECT_EQ(seenApplication, "AP - Accounts Payable");
    EXPECT_EQ(seenInquiry, "Vendor invoices");
    EXPECT_STREQ(application, "ap") << "cancel changes nothing";
    EXPECT_STREQ(name, "Vendor invoices");

    auto choose = kwInqChooser::RunnerSeam().Replace([&](kwInqChooser& dialog) {
        dialog.SelectApplication("GL");
        EXPECT_EQ(Control<QListWidget>(&dialog, kwInqChooser::IDC_INQUIRIES)->count(), 1);
        EXPECT_NE(Control<QLabel>(&dialog, kwInqChooser::IDC_DRIVING)->text().indexOf("GLA"), -1);
        dialog.show();
        QCoreApplication::processEvents();
        dialog.grab().save(QStringLiteral(QV_BIN_DIR "/../kwinq-chooser.png"));
        Control<QPushButton>(&dialog, kwDialog::IDOK)->click();
        return dialog.Result();
    });
    EXPECT_EQ(xi_list_inquiry(application, "", 0, name, sizeof name), 1);
    EXPECT_STREQ(application, "GL");
    EXPECT_STREQ(name, "Chart of accounts");
}

TEST_F(InquiryTest, InquiryWindowListsTheRecordsOfThePassedValuesReadOnly) {
    const int64_t expected = InvoicesOf("ACME");
    ASSERT_GT(expected, 0);
    const xi_value_def values[] = {Value("IVENDOR", "ACME"), Value("INVOICE", "ignored: no key field"),
                                   Value("IDESC", "no key either")};
    ASSERT_EQ(xi_run_inquiry("AP", "Vendor invoices", 7010, values, 3, 31), 1) << testing::PrintToString(Messages());
    auto* window = qobject_cast<kwInqWindow*>(frame->MdiArea()->activeSubWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "AP - Vendor invoices");
    kwdmDataSource* source = window->ViewCtrl()->RootDataBuffer();
    ASSERT_TRUE(WaitFor([&] { return !source->Counting(); }));
    EXPECT_EQ(source->RecordCount(), expected) << "ACME's invoices only";
    EXPECT_FALSE(source->HasNewRow()) << "no row for new records";
    EXPECT_EQ(window->Filter().size(), 1u) << "only the inquiry's key fields filter";
    kwdmGridView* grid = window->ViewCtrl()->GridView();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->columnCount(), 7);
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 2)) & Qt::ItemIsEditable) << "read only";
    EXPECT_NE(Control<QLabel>(window, kwInqWindow::IDC_COUNT)->text().indexOf(QString::number(expected)), -1);
    window->resize(700, 380);
    QCoreApplication::processEvents();
    window->grab().save(QStringLiteral(QV_BIN_DIR "/../kwinq-window.png"));
    window->close();

    // Without values: every record; an inquiry that is not defined is told.
    ASSERT_EQ(xi_run_inquiry("AP", "Vendors", 7010, nullptr, 0, 0), 1);
    window = qobject_cast<kwInqWindow*>(frame->MdiArea()->activeSubWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Filter().empty());
    window->close();
    EXPECT_EQ(xi_run_inquiry("AP", "No such inquiry", 7010, nullptr, 0, 0), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "The inquiry \"No such inquiry\" of AP is not defined.");
}
