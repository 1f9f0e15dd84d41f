// The View Issues document: the query and its two views defined once per object manager,
// the read-only columns, the responsible-person filter for each kind of operator, the
// grid's columns from the preferences, the saved query's order and conditions, and the
// close check while printing.
#include "ViewIssuesFixture.h"

#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/viewissues/viAutoFilter.h"

#include "kwdm/model/kwdmTableModel.h"
#include "kwdm/definitions/kwdmGridDef.h"
#include "kwdm/definitions/kwdmViewDef.h"

#include "kwcommon/conditions/xc_conditions.h"

using namespace vitest;

TEST_F(ViewIssuesTest, TheQueryAndItsViewsAreDefinedOncePerObjectManager) {
    OpenWindow();
    kwdmObjectManager* manager = task.DocMgr();
    kwdmQuery* query = manager->FindQuery(viDocument::QueryName);
    ASSERT_NE(query, nullptr);
    ASSERT_NE(manager->FindView(viDocument::GridViewName), nullptr);
    ASSERT_NE(manager->FindView(viDocument::FormViewName), nullptr);
    kwdmQueryNode* root = query->Root();
    EXPECT_EQ(root->Name(), "issue");
    EXPECT_EQ(root->Style(), 175);
    EXPECT_EQ(root->Columns().size(), 72u) << "every issue field and the attachments column";
    EXPECT_EQ(root->Column("NOSUCH"), nullptr);
    int readOnly = 0;
    for (const auto& column : root->Columns())
        if (column->ReadOnly() && !column->Computed()) ++readOnly;
    EXPECT_EQ(readOnly, 60) << "the 59 stamped, numbered and linked columns, and RESPONS for an operator with an id";
    EXPECT_FALSE(root->Column("STATUS")->ReadOnly());
    EXPECT_EQ(root->Column("STATUS")->Label(), "Status");
    EXPECT_EQ(root->Filter(), nullptr) << "the privileged ADMIN sees every issue by default";

    // A second window on the same manager finds them; a cleared manager defines them anew.
    ASSERT_TRUE(CloseWindow());
    OpenWindow();
    EXPECT_EQ(task.DocMgr()->FindQuery(viDocument::QueryName), query);
    ASSERT_TRUE(CloseWindow());
    task.ClearDocument();
    EXPECT_EQ(task.DocMgr()->FindQuery(viDocument::QueryName), nullptr);
}

TEST_F(ViewIssuesTest, TheResponsiblePersonFilterFollowsTheOperatorAndTheOptions) {
    const double dana = Store([](qvIssue& i) { i.Value(QV_RESPONS).Set("Dana Whitfield"); });
    const double nobody = Store();
    const double lee = Store([](qvIssue& i) { i.Value(QV_RESPONS).Set("Lee Okafor"); });
    const double lowercase = Store([](qvIssue& i) { i.Value(QV_RESPONS).Set("dana whitfield"); });
    const double padded = Store([](qvIssue& i) { i.Value(QV_RESPONS).Set("Dana Whitfield  "); });
    const std::vector<double> all{dana, nobody, lee, lowercase, padded};

    struct Case {
        const char* operatorId;
        bool autoFilter, privileged;
        std::vector<double> shown;
        const char* why;
    };
    const Case cases[] = {
        {"DANA", true, false, {dana, nobody, padded}, "an ordinary operator sees hers and nobody's"},
        {"DANA", false, false, all, "AutoFilter off"},
        {"ADMIN", true, false, all, "a privileged operator sees all"},
        {"ADMIN", true, true, {nobody}, "unless AutoFilterPrivileged is on (Alex Rivera has none)"},
        {"", true, true, all, "an operator without an id sees all"},
    };
    for (const Case& c : cases) {
        Operator(c.operatorId);
        Prefs::SetAutoFilter(c.autoFilter);
        Prefs::SetAutoFilterPrivileged(c.privileged);
        task.ClearDocument();
        OpenWindow();
        std::vector<double> shown;
        for (double issue : all)
            if (RowOf(issue) >= 0) shown.push_back(issue);
        EXPECT_EQ(shown, c.shown) << c.why;
        EXPECT_EQ(source->Node().Column("RESPONS")->ReadOnly(), c.operatorId[0] != 0) << c.why;
        // The issue selection that printing and qvadmin walk agrees.
        qvIssueSelection selection(file.Number(), 7010);
        std::vector<double> selected;
        selection.Walk([&](short f) {
            x_value_def number;
            xio_get_field(f, 0, xio_num(f, 0, 0, "ISSUE"), &number);
            selected.push_back(number.AsNumber());
            return true;
        });
        EXPECT_EQ(selected, c.shown) << c.why;
        // The same rule for one record read from the file.
        for (double issue : all) {
            auto stored = Stored(issue);
            stored->PutFields(1, qvIssue::kValueCount);
            EXPECT_EQ(viPassesAutoFilter(file.Number()),
                      std::find(c.shown.begin(), c.shown.end(), issue) != c.shown.end())
                << c.why << ", issue " << issue;
        }
        ASSERT_TRUE(CloseWindow());
    }
}

TEST_F(ViewIssuesTest, TheGridShowsThePreferredColumnsAndTheSavedQuery) {
    for (int i = 0; i < 12; ++i)
        Store([i](qvIssue& issue) { issue.Value(QV_URGENCY).Set(i % 3 == 0 ? "Critical" : "Low"); });
    std::vector<std::string> columns{"ISSUE", "NOSUCH", "STATUS", "IATTACH", "URGENCY"};
    Prefs::PutGridColumns(columns);
    xc_cond_def critical{};
    const x_value_def value = x_value_def::OfText("Critical");
    ASSERT_EQ(xc_make_condition(file.Number(), xio_num(file.Number(), 0, 0, "URGENCY"), XC_EQUAL, &value, nullptr,
                                XC_AND, &critical),
              1);
    SaveQuery("Critical Ones", 5, {critical});
    Prefs::SetQueryName("critical ones");
    OpenWindow();
    const kwdmTableModel& model = *GridView()->Model();
    ASSERT_EQ(model.columnCount(), 4) << "a name the query does not know is left out";
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Issue number");
    EXPECT_TRUE(model.IsAttachments(2)) << "IATTACH at its place in the list";
    EXPECT_EQ(source->Index(), 5) << "the saved query's order";
    EXPECT_EQ(source->RecordCount(), 4) << "and its conditions";
    EXPECT_EQ(data->QueryName(), "critical ones");
    ASSERT_TRUE(CloseWindow());

    std::vector<std::string> none;
    Prefs::PutGridColumns(none);
    task.ClearDocument();
    OpenWindow();
    EXPECT_EQ(GridView()->Model()->columnCount(), 11) << "an empty list shows the default columns";
}

TEST_F(ViewIssuesTest, TheWindowStaysOpenWhilePrintingAndShutdownWritesThePendingEdit) {
    Store();
    OpenWindow();
    document->SetPrintAllowed(false);
    EXPECT_FALSE(document->SaveModified());
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "Can not close the View Issues window because the Print window is open");
    EXPECT_FALSE(document->Shutdown()) << "nor does the program's shutdown close it";
    EXPECT_TRUE(grid->IsCreated());
    document->SetPrintAllowed(true);

    // Shutting down writes the edit still pending.
    ASSERT_TRUE(source->MoveFocus(0));
    ASSERT_TRUE(Edit("FORMESS", "Still being typed"));
    EXPECT_TRUE(document->Shutdown()) << "a pending edit that can be written is written";
    EXPECT_EQ(Stored(1)->Value(QV_FORMESS).Format(), "Still being typed");
    EXPECT_TRUE(document->Shutdown()) << "a closed document shuts down at once";
}

TEST_F(ViewIssuesTest, RefreshShowsIssuesEnteredElsewhere) {
    Store();
    OpenWindow();
    EXPECT_EQ(source->RecordCount(), 1);
    Store();
    Store();
    task.RefreshData(); // no window of the task's own: nothing to refresh
    document->RefreshData();
    EXPECT_EQ(source->RecordCount(), 3);
    EXPECT_EQ(RowOf(3), 2);
}
