// The attachments dialog on a real attachment list: Add... through its file-chooser seam,
// Remove, Open through the desktop's handler (a test handler here), and the read-only list.
// The sheet's tests answer the whole dialog through its replacement seam.
#include "kwapp/suitedlg/kwAttachmentsDlg.h"

#include "kwcommon/attachments/kwioAttachments.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"

#include "SuiteDlgTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDesktopServices>
#include <QTextBrowser>
#include <QTreeWidget>

#include <fstream>

using namespace suitedlgtest;

namespace {
class AttachmentsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        xw_clear_shown_messages();
        source = company.Path("minutes.txt");
        std::ofstream(source) << "meeting minutes";
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler("file");
        xw_clear_shown_messages();
    }
    static QTreeWidget* List(kwAttachmentsDlg& dialog) {
        return qobject_cast<QTreeWidget*>(dialog.GetDlgItem(kwAttachmentsDlg::IDC_LIST));
    }
    static QAbstractButton* Button(kwAttachmentsDlg& dialog, int id) {
        return qobject_cast<QAbstractButton*>(dialog.GetDlgItem(id));
    }

    TestCompany company{false};
    std::string source;
};
} // namespace

TEST_F(AttachmentsDialog, AddRemoveAndOpenChangeTheListUntilItsOwnerWritesIt) {
    kwioAttachments attachments("QVI", 1, "17");
    ASSERT_EQ(attachments.Fetch(), XIO_OK);
    kwAttachmentsDlg dialog(attachments);
    EXPECT_FALSE(Button(dialog, kwAttachmentsDlg::IDC_REMOVE)->isEnabled())
        << "nothing to remove yet";

    auto cancelled = kwAttachmentsDlg::FileChooserSeam().Replace([](QWidget*) { return std::optional<std::string>(); });
    Button(dialog, kwAttachmentsDlg::IDC_ADD)->click();
    EXPECT_FALSE(dialog.Changed()) << "a cancelled chooser adds nothing";

    auto chosen = kwAttachmentsDlg::FileChooserSeam().Replace(
        [this](QWidget*) { return std::optional<std::string>(source); });
    Button(dialog, kwAttachmentsDlg::IDC_ADD)->click();
    EXPECT_TRUE(dialog.Changed());
    ASSERT_EQ(List(dialog)->topLevelItemCount(), 1);
    EXPECT_EQ(List(dialog)->topLevelItem(0)->text(0), "minutes.txt");
    EXPECT_EQ(List(dialog)->topLevelItem(0)->text(3), "not saved yet");
    EXPECT_EQ(attachments.Count(), 1u);
    dialog.show();
    QApplication::processEvents();
    Screenshot(&dialog, "suite-attachments");

    // Open hands the stored copy to the desktop.
    QTextBrowser desktop;
    QDesktopServices::setUrlHandler("file", &desktop, "setSource");
    Button(dialog, kwAttachmentsDlg::IDC_OPEN)->click();
    EXPECT_EQ(desktop.source().toLocalFile().toStdString(), attachments.OpenPath(0));
    EXPECT_NE(desktop.toPlainText().indexOf("meeting minutes"), -1)
        << "the copy holds the file's content";
    QDesktopServices::unsetUrlHandler("file");

    // A source that is gone is refused by the list, which tells the user.
    auto gone = kwAttachmentsDlg::FileChooserSeam().Replace(
        [this](QWidget*) { return std::optional<std::string>(company.Path("gone.txt")); });
    Button(dialog, kwAttachmentsDlg::IDC_ADD)->click();
    EXPECT_EQ(attachments.Count(), 1u);
    EXPECT_EQ(xw_shown_messages().size(), 1u);

    Button(dialog, kwAttachmentsDlg::IDC_REMOVE)->click();
    EXPECT_EQ(List(dialog)->topLevelItemCount(), 0);
    EXPECT_EQ(attachments.Count(), 0u);
    dialog.hide();

    // Nothing was written: another look at the record finds no attachments.
    attachments.Free();
    kwioAttachments again("QVI", 1, "17");
    ASSERT_EQ(again.Fetch(false), XIO_OK);
    EXPECT_EQ(again.Count(), 0u);
}

TEST_F(AttachmentsDialog, AListNotHeldForChangeCanOnlyBeLookedAt) {
    {
        kwioAttachments writer("QVI", 1, "18");
        ASSERT_EQ(writer.Fetch(), XIO_OK);
        ASSERT_EQ(writer.Add(source), XIO_OK);
        ASSERT_EQ(writer.Write(), XIO_OK);
    }
    kwioAttachments reader("QVI", 1, "18");
    ASSERT_EQ(reader.Fetch(false), XIO_OK);
    kwAttachmentsDlg dialog(reader);
    EXPECT_EQ(List(dialog)->topLevelItemCount(), 1);
    EXPECT_FALSE(Button(dialog, kwAttachmentsDlg::IDC_ADD)->isEnabled());
    EXPECT_FALSE(Button(dialog, kwAttachmentsDlg::IDC_REMOVE)->isEnabled());
    EXPECT_TRUE(Button(dialog, kwAttachmentsDlg::IDC_OPEN)->isEnabled());
    EXPECT_FALSE(dialog.AddFile(source));
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text,
              "The attachments cannot be changed now: they are open for reading only.");
    EXPECT_FALSE(dialog.Changed());
}
