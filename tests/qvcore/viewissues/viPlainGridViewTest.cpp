// The View Issues grid in its window with other processes at the same file: two
// workstations editing one issue, and a 100,000-issue file scrolled to the end and back
// while another process adds issues.
#include "ViewIssuesFixture.h"

#include "kwdm/model/kwdmTableModel.h"

#include <QDir>
#include <QKeyEvent>
#include <QScrollBar>

#include <sys/wait.h>
#include <unistd.h>

using namespace vitest;

namespace {

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(widget, &release);
    QApplication::processEvents();
}

// One byte through a pipe, either way.
void Send(int fd, char what) { ASSERT_EQ(write(fd, &what, 1), 1); }
char Receive(int fd) {
    char what = 0;
    return read(fd, &what, 1) == 1 ? what : 0;
}

class GridWindow : public ViewIssuesTest {
protected:
    void Show() {
        view->resize(900, 500);
        view->show();
        QApplication::processEvents();
    }
    // The issue numbers of the rows on screen, top to bottom.
    std::vector<long> Visible() {
        kwdmGridView* table = GridView();
        const kwdmTableModel& model = *table->Model();
        std::vector<long> numbers;
        const int top = table->rowAt(0);
        const int bottom = table->rowAt(table->viewport()->height() - 1);
        for (int row = top; row >= 0 && row <= (bottom < 0 ? model.rowCount() - 1 : bottom); ++row) {
            const QString text = model.data(model.index(row, model.ColumnOf(*source->Node().Column("ISSUE")))).toString();
            if (!text.isEmpty()) numbers.push_back(text.toLong());
        }
        return numbers;
    }
    static bool Consecutive(const std::vector<long>& numbers) {
        for (size_t i = 1; i < numbers.size(); ++i)
            if (numbers[i] != numbers[i - 1] + 1) return false;
        return !numbers.empty();
    }
};

} // namespace

TEST_F(GridWindow, TwoWorkstationsEditingOneIssueOverwriteNothing) {
    Store();
    const double shared = Store();
    Store();
    OpenWindow();
    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t child = fork();
    if (child == 0) {
        // The other workstation.
        qvIssueFile other(7010);
        if (!other.Open()) _exit(2);
        const short f = other.Number();
        auto lockShared = [&] {
            xio_clr_record(f, 1);
            const x_value_def key = x_value_def::OfNumber(shared);
            xio_put_field(f, 0, xio_num(f, 0, 0, "ISSUE"), &key);
            return xio_rd_record(f, 1, 0, 1);
        };
        Receive(toChild[0]);                          // the grid is editing the issue
        Send(toParent[1], lockShared() == XIO_LOCKED ? 'L' : 'x');
        Receive(toChild[0]);                          // the grid wrote it
        Send(toParent[1], lockShared() == XIO_OK ? 'H' : 'x'); // now this one edits it
        Receive(toChild[0]);
        const x_value_def status = x_value_def::OfText("Escalated");
        xio_put_field(f, 0, xio_num(f, 0, 0, "STATUS"), &status);
        Send(toParent[1], xio_rep_record(f, 1) == XIO_OK ? 'W' : 'x');
        _exit(0); // the lock goes with the process
    }
    ASSERT_TRUE(source->MoveFocus(RowOf(shared)));
    ASSERT_TRUE(Edit("FORMESS", "Checked with the bank"));
    Send(toChild[1], 'g');
    EXPECT_EQ(Receive(toParent[0]), 'L') << "the other workstation cannot take an issue being edited here";
    ASSERT_TRUE(source->MoveFocus(0));
    EXPECT_EQ(Stored(shared)->Value(QV_FORMESS).Format(), "Checked with the bank");

    Send(toChild[1], 'g');
    ASSERT_EQ(Receive(toParent[0]), 'H');
    ASSERT_TRUE(source->MoveFocus(RowOf(shared)));
    xw_clear_shown_messages();
    ASSERT_TRUE(Edit("FORMESS", "Bank confirmed the deposit"));
    ASSERT_FALSE(xw_shown_messages().empty());
    EXPECT_NE(xw_shown_messages()[0].text.find("in use by another user"), std::string::npos);
    EXPECT_FALSE(source->MoveFocus(0)) << "not written while the other holds it";
    EXPECT_EQ(Cell("FORMESS"), "Bank confirmed the deposit") << "the edit is kept";

    Send(toChild[1], 'g');
    EXPECT_EQ(Receive(toParent[0]), 'W');
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    xw_clear_shown_messages();
    EXPECT_FALSE(source->MoveFocus(0)) << "the other's change arrived meanwhile: the user looks first";
    EXPECT_EQ(Cell("STATUS"), "Escalated");
    EXPECT_EQ(Cell("FORMESS"), "Bank confirmed the deposit");
    EXPECT_TRUE(source->MoveFocus(0)) << "the retry writes";
    EXPECT_EQ(Stored(shared)->Value(QV_STATUS).Format(), "Escalated") << "theirs is kept";
    EXPECT_EQ(Stored(shared)->Value(QV_FORMESS).Format(), "Bank confirmed the deposit") << "and so is ours";
}

TEST_F(GridWindow, AHundredThousandIssuesScrollToTheEndAndBackWhileAnotherProcessAddsIssues) {
    file.Close();
    IssueGeneratorOptions options;
    options.count = 100000;
    std::string error;
    ASSERT_TRUE(GenerateIssues(options, &error)) << error;
    ASSERT_TRUE(file.Open());
    OpenWindow();
    Show();
    ASSERT_EQ(source->RecordCount(), 100000);
    EXPECT_TRUE(source->Indexed());

    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t child = fork();
    if (child == 0) {
        qvIssueFile other(7098);
        if (!other.Open()) _exit(2);
        // A test's writes need not wait for the disk (the grid reads them all the same).
        xio_set_durability(other.Number(), XIO_FAST);
        Send(started[1], 's');
        for (int i = 0; i < 150; ++i) {
            qvIssue issue(other.Number(), 7098, true);
            issue.Value(QV_FORMESS).Set("Added by another workstation");
            if (!issue.AddRecord()) _exit(3);
            xio_unlock_record(other.Number(), 1, 1);
            usleep(2000);
        }
        _exit(0);
    }
    ASSERT_EQ(Receive(started[0]), 's');
    kwdmGridView* table = GridView();
    table->setFocus();
    for (int round = 0; round < 4; ++round) {
        Key(table, Qt::Key_End, Qt::ControlModifier);
        const std::vector<long> end = Visible();
        EXPECT_TRUE(Consecutive(end)) << "round " << round << ": the last page, in order, each issue once";
        EXPECT_GE(end.back(), 100000);
        EXPECT_EQ(table->currentIndex().row(), static_cast<int>(source->RecordCount()) - 1);

        table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 2);
        QApplication::processEvents();
        const std::vector<long> middle = Visible();
        EXPECT_TRUE(Consecutive(middle)) << "round " << round << ": a jump to the middle";
        EXPECT_NEAR(static_cast<double>(middle.front()), source->RecordCount() / 2.0, 100.0);

        Key(table, Qt::Key_Home, Qt::ControlModifier);
        const std::vector<long> home = Visible();
        ASSERT_FALSE(home.empty());
        EXPECT_EQ(home.front(), 1) << "round " << round;
        EXPECT_TRUE(Consecutive(home));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    document->RefreshData();
    EXPECT_EQ(source->RecordCount(), 100150) << "the other process's issues show after the refresh";
    Key(table, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Visible().back(), 100150);
    EXPECT_LE(source->Rows().CachedRows(), kwdmRowSet::kMaxBlocks * kwdmRowSet::kBlockRows)
        << "a bounded window of rows, whatever the file's size";

    const QString shots = QCoreApplication::applicationDirPath() + "/screenshots";
    QDir().mkpath(shots);
    EXPECT_TRUE(view->grab().save(shots + "/view-issues-grid.png"));
}
