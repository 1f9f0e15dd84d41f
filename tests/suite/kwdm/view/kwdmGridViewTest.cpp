// The grid in a real QTableView, offscreen, driven by keys: typing and moving down writes
// the row, a write refused keeps the typed text and the row, a value that is not valid
// comes back into its cell for correcting, Esc undoes the row, Ctrl+End goes to the last
// issue. A grab of the grid is saved for looking at.
#include "../KwdmTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>

using namespace kwdmtest;

namespace {

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
    QApplication::processEvents();
}

void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) Key(widget, c.unicode(), Qt::NoModifier, QString(c));
}

class GridView : public GridTest {
protected:
    void Open(bool refuseWrites = false) {
        Define(175, 0, {"ISSUE", "FORMESS", "STATUS", "DUEDATE", "RESPONS"});
        root->Column("ISSUE")->SetStyle(kwdmQueryColumn::READ_ONLY);
        view->SetNotifyCreate([this, refuseWrites](kwdmCallbackManager& callbacks) {
            callbacks.SetRowCallback(KWDM_ROW_WRITE, "issue", [this, refuseWrites](kwdmCallbackInfo&) -> short {
                return refuseWrites && refusing ? 1 : 0;
            });
        });
        ASSERT_TRUE(Create());
        window->show();
        QApplication::processEvents();
    }
    // Focus on a cell and type into it (starting the editor, as a user does).
    void TypeInto(int row, int column, const QString& text) {
        grid->setFocus();
        grid->setCurrentIndex(Model().index(row, column));
        QApplication::processEvents();
        Key(grid, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(qobject_cast<QLineEdit*>(editor), nullptr) << "an editor opened";
        static_cast<QLineEdit*>(editor)->selectAll();
        Type(editor, text);
    }
    QString Shown(int row, int column) const { return Model().data(Model().index(row, column)).toString(); }
    std::string Stored(double issue, const char* field) {
        xio_clr_record(File(), 1);
        const x_value_def key = x_value_def::OfNumber(issue);
        xio_put_field(File(), 0, xio_num(File(), 0, 0, "ISSUE"), &key);
        std::string text;
        if (xio_rd_record(File(), 1, 0, 0) == XIO_OK) xio_get_long_text(File(), xio_num(File(), 0, 0, field), &text);
        return text;
    }
    bool refusing = true;
};

} // namespace

TEST_F(GridView, TypingAndMovingDownWritesTheRow) {
    MakeIssues(50);
    Open();
    TypeInto(2, 1, "Bank fee charged twice");
    Key(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(grid->currentIndex().row(), 3) << "the focus moved down";
    EXPECT_EQ(source->Focus(), 3);
    EXPECT_EQ(Stored(3, "FORMESS"), "Bank fee charged twice") << "leaving the row wrote it";
    EXPECT_EQ(Shown(2, 1), "Bank fee charged twice");

    // Esc undoes a row's changes before they are written.
    TypeInto(3, 1, "Not meant");
    Key(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(source->FocusedRow().Changed());
    Key(grid, Qt::Key_Escape);
    EXPECT_FALSE(source->FocusedRow().Changed());
    EXPECT_EQ(Shown(3, 1).toStdString(), Stored(4, "FORMESS"));

    // Ctrl+End: the last issue; the new row after it.
    Key(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->currentIndex().row(), 49);
    EXPECT_EQ(Shown(49, 0), "50");
    EXPECT_EQ(Model().rowCount(), 51);
    EXPECT_EQ(Model().headerData(50, Qt::Vertical).toString(), "*") << "the new row is marked";

    const QString shots = QCoreApplication::applicationDirPath() + "/screenshots";
    QDir().mkpath(shots);
    EXPECT_TRUE(window->grab().save(shots + "/kwdm-grid.png"));
}

TEST_F(GridView, ARefusedWriteKeepsTheTypedTextAndTheRow) {
    MakeIssues(10);
    Open(true);
    TypeInto(1, 1, "Deposit missing from the register");
    xw_clear_shown_messages();
    Key(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(grid->currentIndex().row(), 1) << "the row keeps the focus";
    EXPECT_EQ(Shown(1, 1), "Deposit missing from the register") << "the typed text is kept";
    EXPECT_FALSE(kwdmtest::Shown().empty()) << "the user was told why";
    EXPECT_NE(Stored(2, "FORMESS"), "Deposit missing from the register");

    refusing = false;
    Key(grid, Qt::Key_Down);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_EQ(Stored(2, "FORMESS"), "Deposit missing from the register") << "written once it may be";
}

TEST_F(GridView, AValueThatIsNotValidComesBackIntoItsCell) {
    MakeIssues(5);
    Open();
    TypeInto(0, 3, "31/31/2024");
    xw_clear_shown_messages();
    Key(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(ShownContains("is not a valid")) << "refused with a message";
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "the cell is edited again";
    EXPECT_EQ(editor->text(), "31/31/2024") << "with what the user typed";
    EXPECT_FALSE(grid->CommitEditor()) << "and it is not taken while it stays wrong";
    editor->setText("12/31/2024");
    EXPECT_TRUE(grid->CommitEditor());
    EXPECT_EQ(Shown(0, 3), "12/31/2024");
}
