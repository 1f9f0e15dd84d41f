// View controls made on windows: a form merged on the grid's control edits the same
// focused row; row buttons follow the focus; labels show custom descriptions; Close and
// CommitData answer false while a pending edit cannot be written.
#include "../KwdmTestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "kwcommon/attachments/kwioAttachments.h"

#include <fstream>

using namespace kwdmtest;

namespace {

template <class T> T* Make(QWidget* parent, int id) {
    auto* widget = new T(parent); // owned by the parent
    widget->setProperty("ctrlId", id);
    return widget;
}

} // namespace

TEST_F(GridTest, AFormMergedOnTheGridEditsTheSameRow) {
    MakeIssues(6);
    Define();
    bool refuse = false;
    view->SetNotifyCreate([&](kwdmCallbackManager& callbacks) {
        callbacks.SetRowCallback(KWDM_ROW_WRITE, "issue", [&](kwdmCallbackInfo&) -> short { return refuse ? 1 : 0; });
    });
    ASSERT_TRUE(Create());
    auto* first = Make<QPushButton>(window.get(), 500);
    auto* next = Make<QPushButton>(window.get(), 502);
    // Row buttons of another view merged on the grid's control move the grid's focus.
    kwdmViewDef* buttons = manager.NewView("Buttons", query, 2, 2);
    buttons->AddControl(std::make_unique<kwdmRowButtonDef>(500, kwdmRowButtonDef::FIRST));
    buttons->AddControl(std::make_unique<kwdmRowButtonDef>(502, kwdmRowButtonDef::NEXT));
    kwdmViewCtrl rowButtons(*buttons, *control, 0, 3, nullptr);
    ASSERT_TRUE(rowButtons.Create(window.get(), nullptr, 3));
    EXPECT_FALSE(first->isEnabled()) << "on the first row there is no going back";
    next->click();
    EXPECT_EQ(source->Focus(), 1);
    EXPECT_TRUE(first->isEnabled());

    // The form: a line edit on the description, a list on the status, a label with a code.
    kwdmViewDef* formDef = manager.NewView("Issues Form", query, 3, 3);
    formDef->AddControl(std::make_unique<kwdmEditDef>(100, root->Column("FORMESS"), true));
    formDef->AddControl(std::make_unique<kwdmEditDef>(199, root->Column("ISSUE")));
    formDef->AddControl(std::make_unique<kwdmCustomListDef>(104, root->Column("STATUS")));
    formDef->AddControl(std::make_unique<kwdmTextLabelDef>(600));
    QDialog dialog;
    auto* description = Make<QLineEdit>(&dialog, 100);
    auto* number = Make<QLineEdit>(&dialog, 199);
    auto* status = Make<QComboBox>(&dialog, 104);
    auto* label = Make<QLabel>(&dialog, 600);
    label->setText("&<265F>:");
    kwdmViewCtrl form(*formDef, *control, 0, 3, std::make_unique<kwdmAudit>());
    ASSERT_TRUE(form.Create(&dialog, nullptr, 3));
    EXPECT_EQ(label->text(), "&Status:") << "the term code shows the company's description";
    EXPECT_EQ(number->text(), "2") << "the form shows the grid's focused row";
    EXPECT_EQ(status->findText("On-Hold"), 2) << "the status list is the company's list 265";

    description->setText("Form: wrong vendor on the check");
    description->setModified(true);
    EXPECT_TRUE(form.WriteActiveColumn());
    EXPECT_EQ(TextAt(1, "FORMESS"), "Form: wrong vendor on the check") << "the grid's row has it";
    EXPECT_TRUE(source->FocusedRow().Changed());

    refuse = true;
    EXPECT_FALSE(control->CommitData()) << "a pending edit that cannot be written";
    EXPECT_FALSE(control->Close(0)) << "keeps the view open";
    EXPECT_TRUE(control->IsCreated());
    refuse = false;
    EXPECT_TRUE(control->Close(0));
    EXPECT_FALSE(form.IsCreated()) << "the merged form closed with it";
}

TEST_F(GridTest, TheAttachmentsButtonOpensTheFocusedIssuesAttachments) {
    MakeIssues(3);
    Define();
    gridDef->AddColumn(std::make_unique<kwdmAttachmentsButtonDef>(0, "IATTACH"), 1, 14, 19906, 0, 0xFFFFFF);
    view->AddControl(std::make_unique<kwdmAttachmentsButtonDef>(505, "IATTACH"));
    const std::string note = company.Path("note.txt");
    std::ofstream(note) << "the vendor's letter";
    int shown = 0;
    kwdmAttachmentsQueryColumn::SetRunner([&](kwioAttachments& attachments, QWidget*) {
        ++shown;
        return attachments.Add(note) == XIO_OK;
    });
    ASSERT_TRUE(Create());
    auto* attach = Make<QPushButton>(window.get(), 505);
    kwdmViewDef* buttons = manager.NewView("Attach", query, 2, 2);
    buttons->AddControl(std::make_unique<kwdmAttachmentsButtonDef>(505, "IATTACH"));
    kwdmViewCtrl merged(*buttons, *control, 0, 3, nullptr);
    ASSERT_TRUE(merged.Create(window.get(), nullptr, 3));
    const int column = Model().columnCount() - 1;
    ASSERT_TRUE(Model().IsAttachments(column));
    EXPECT_EQ(Model().data(Model().index(1, column), kwdmTableModel::AttachmentsRole).toInt(), 0);

    ASSERT_TRUE(source->MoveFocus(1));
    attach->click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Model().data(Model().index(1, column), kwdmTableModel::AttachmentsRole).toInt(), 1)
        << "the grid shows the issue's new attachment";
    source->Refresh(1, 1, 0);
    EXPECT_EQ(Model().data(Model().index(1, column), kwdmTableModel::AttachmentsRole).toInt(), 1) << "it was written";
    EXPECT_EQ(Model().data(Model().index(0, column), kwdmTableModel::AttachmentsRole).toInt(), 0);
    ASSERT_TRUE(source->MoveFocus(3));
    EXPECT_FALSE(attach->isEnabled()) << "the new row has no attachments yet";
    kwdmAttachmentsQueryColumn::SetRunner({});
}
