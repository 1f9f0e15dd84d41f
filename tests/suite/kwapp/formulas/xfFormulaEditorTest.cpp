// The formula editor: an application's formulas over its data files, added, changed and
// deleted; a formula that does not hold is refused with its position and the cursor there.
#include "kwapp/formulas/xfFormulaEditor.h"
#include "kwapp/formulas/xf_formula_setup.h"

#include "kwapp/widgets/kwCtrl.h"

#include "kwprint/trFormulaFile.h"

#include "kwcommon/x_message.h"

#include "TestApplication.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
template <class T> T* Ctrl(QWidget* root, int id) {
    T* control = kwFindCtrl<T>(root, id);
    EXPECT_NE(control, nullptr) << id;
    return control;
}
void Press(QWidget* root, int id) { Ctrl<QPushButton>(root, id)->click(); }
} // namespace

TEST(xfFormulaEditor, AddsChangesAndDeletesCheckedFormulas) {
    TestApplication();
    TestCompany company(false);
    xw_clear_shown_messages();
    xfFormulaEditor editor("QV");
    editor.show();
    EXPECT_EQ(editor.Files(), std::vector<std::string>{"QVI"});
    auto* name = Ctrl<QLineEdit>(&editor, xfFormulaEditor::IDC_NAME);
    auto* expression = Ctrl<QPlainTextEdit>(&editor, xfFormulaEditor::IDC_EXPRESSION);
    auto* list = Ctrl<QListWidget>(&editor, xfFormulaEditor::IDC_FORMULAS);
    EXPECT_GT(Ctrl<QListWidget>(&editor, xfFormulaEditor::IDC_FIELDS)->count(), 20) << "the issue's fields to pick from";

    name->setText("Overdue");
    expression->setPlainText("DUEDATE + FORMESS");
    Press(&editor, xfFormulaEditor::IDC_SAVE);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text,
              "The formula cannot be saved.\n\nPosition 9: \"+\" cannot take a date and a text (texts are joined with \"&\")");
    EXPECT_EQ(expression->textCursor().position(), 8) << "the cursor stands at the error";
    EXPECT_EQ(list->count(), 0) << "nothing saved";

    expression->setPlainText("if(DUEDATE < today(), \"overdue\", \"\")");
    xw_clear_shown_messages();
    Press(&editor, xfFormulaEditor::IDC_SAVE);
    EXPECT_TRUE(xw_shown_messages().empty());
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "Overdue");
    trFormulaFile::Entry stored;
    std::string error;
    ASSERT_TRUE(trFormulaFile::Find("QV", "Overdue", &stored, &error)) << error;
    EXPECT_EQ(stored.file, "QVI");

    // Changed under its own name, then a second one.
    name->setText("Late");
    Press(&editor, xfFormulaEditor::IDC_SAVE);
    EXPECT_FALSE(trFormulaFile::Find("QV", "Overdue", &stored, &error)) << "renamed, not copied";
    Press(&editor, xfFormulaEditor::IDC_NEW);
    name->setText("Issue plus one");
    expression->setPlainText("ISSUE + 1");
    Press(&editor, xfFormulaEditor::IDC_SAVE);
    EXPECT_EQ(list->count(), 2);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    editor.grab().save(folder + QStringLiteral("/xfFormulaEditor.png"));

    xw_script_answers({XW_ANSWER_YES});
    Press(&editor, xfFormulaEditor::IDC_DELETE);
    EXPECT_EQ(list->count(), 1);
    EXPECT_FALSE(trFormulaFile::Find("QV", "Issue plus one", &stored, &error));
    xw_clear_shown_messages();
}

TEST(xfFormulaEditor, SetupOpensTheEditorForTheDefinitionsApplication) {
    std::string opened;
    auto editor = xf_formula_editor_seam().Replace([&](const std::string& application) { opened = application; });
    xf_setup_def def{};
    EXPECT_NE(xf_formula_setup(&def, {}), 0) << "no application";
    def.kind = 7;
    def.mode = 'd';
    def.filler = ' ';
    def.application[0] = 'A';
    def.application[1] = 'P';
    EXPECT_EQ(xf_formula_setup(&def, {}), 0);
    EXPECT_EQ(opened, "AP");
}
