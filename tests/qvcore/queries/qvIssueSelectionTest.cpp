// The issues a saved query selects for an operator: the responsible-person rule, the
// query's order and conditions, and what happens to orders and conditions the issue file
// no longer offers.
#include "QueryFileTestUtil.h"
#include "TestCompany.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/conditions/xc_alt_keys.h"
#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/xio.h"
#include "kwcommon/xs.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace qftest;

namespace {

xs_oper_def Operator(const char* id, const char* name, short privilege) {
    xs_oper_def oper{};
    std::snprintf(oper.id, sizeof(oper.id), "%s", id);
    std::snprintf(oper.name, sizeof(oper.name), "%s", name);
    oper.privilege = privilege;
    return oper;
}

class IssueSelection : public ::testing::Test {
protected:
    void SetUp() override {
        Prefs::SetDefaults();
        ASSERT_TRUE(file.Open());
        // number, status, responsible, due date
        Add("Open", "", "03/05/2026");
        Add("Open", "Dana Whitfield", "03/01/2026");
        Add("Closed", "Dana Whitfield", "03/02/2026");
        Add("Open", "Lee Okafor", "03/03/2026");
        Add("open", "dana whitfield", "03/04/2026");
        Add("On-Hold", "", "02/01/2026");
    }
    void TearDown() override { Prefs::SetDefaults(); }

    void Add(const char* status, const char* respons, const char* due) {
        qvIssue issue(file.Number(), 7098, true);
        ASSERT_TRUE(issue.Value(QV_STATUS).Set(status));
        ASSERT_TRUE(issue.Value(QV_RESPONS).Set(respons));
        ASSERT_TRUE(issue.Value(QV_DUEDATE).Set(due));
        ASSERT_TRUE(issue.AddRecord());
        xio_unlock_record(file.Number(), 1, 1);
    }

    xc_cond_def Condition(const char* field, short comparison, const char* value, short connector = XC_AND) {
        xc_cond_def condition{};
        const x_value_def v = x_value_def::OfText(value);
        EXPECT_EQ(xc_make_condition(file.Number(), xio_num(file.Number(), 0, 0, field), comparison, &v, nullptr,
                                    connector, &condition),
                  1)
            << field << " " << value;
        return condition;
    }

    void Save(const std::string& name, short order, std::vector<xc_cond_def> conditions) {
        query_file_info info;
        InitInfo(&info, 7020);
        ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
        ASSERT_EQ(SaveConditions(&info, name, order, std::move(conditions)), 1);
        _qfi_unlock(&info);
    }

    std::vector<int> Walk(qvIssueSelection& selection) {
        std::vector<int> numbers;
        const short issueField = xio_num(file.Number(), 0, 0, "ISSUE");
        EXPECT_EQ(selection.Walk([&](short f) {
            x_value_def v;
            xio_get_field(f, 0, issueField, &v);
            numbers.push_back(static_cast<int>(v.AsNumber()));
            return true;
        }),
                  0);
        return numbers;
    }

    TestCompany company{false};
    qvIssueFile file{7010};
};

} // namespace

TEST(ResponsiblePersonFilter, WhoIsFilteredAndWhatPasses) {
    Prefs::SetDefaults();
    const xs_oper_def dana = Operator("DANA", "Dana Whitfield", 0);
    const xs_oper_def admin = Operator("ADMIN", "Alex Rivera", 1);
    const xs_oper_def nobody = Operator("", "", 0);
    struct Case {
        bool autoFilter, privileged;
        bool danaFiltered, adminFiltered;
    } cases[] = {{true, false, true, false}, {false, true, false, true}, {true, true, true, true}, {false, false, false, false}};
    for (const Case& c : cases) {
        Prefs::SetAutoFilter(c.autoFilter);
        Prefs::SetAutoFilterPrivileged(c.privileged);
        EXPECT_EQ(qvAutoFilterApplies(dana), c.danaFiltered) << c.autoFilter << c.privileged;
        EXPECT_EQ(qvAutoFilterApplies(admin), c.adminFiltered) << c.autoFilter << c.privileged;
        EXPECT_FALSE(qvAutoFilterApplies(nobody)) << "an operator without an id sees every issue";
    }
    Prefs::SetDefaults();
    EXPECT_TRUE(qvPassesAutoFilter(dana, ""));
    EXPECT_TRUE(qvPassesAutoFilter(dana, "Dana Whitfield"));
    EXPECT_FALSE(qvPassesAutoFilter(dana, "dana whitfield")) << "the name compares exactly";
    EXPECT_FALSE(qvPassesAutoFilter(dana, "Lee Okafor"));
    EXPECT_TRUE(qvPassesAutoFilter(admin, "Lee Okafor")) << "privileged operators are not filtered by default";
}

TEST_F(IssueSelection, QueryOrderConditionsAndOperator) {
    Save("Open By Due", 2, {Condition("STATUS", XC_EQUAL, "Open")});
    qvIssueSelection selection(file.Number(), 7010);
    selection.UseOperator(Operator("DANA", "Dana Whitfield", 0));
    EXPECT_EQ(Walk(selection), (std::vector<int>{1, 2, 3, 6})) << "no query: what DANA may see, in the primary order";
    std::string error;
    ASSERT_TRUE(selection.UseQuery("open by due", &error)) << "names match without regard to case: " << error;
    EXPECT_EQ(selection.Order(), 2);
    EXPECT_EQ(selection.ConditionCount(), 1);
    EXPECT_EQ(Walk(selection), (std::vector<int>{2, 1}))
        << "open issues of DANA or nobody, by due date; STATUS compares without case, RESPONS with it";

    selection.UseOperator(Operator("ADMIN", "Alex Rivera", 1));
    EXPECT_EQ(Walk(selection), (std::vector<int>{2, 4, 5, 1})) << "a privileged operator sees every open issue";

    EXPECT_FALSE(selection.UseQuery("Nothing Like It", &error));
    EXPECT_NE(error.find("Nothing Like It"), std::string::npos) << error;
    ASSERT_TRUE(selection.UseQuery("<None>"));
    EXPECT_EQ(selection.ConditionCount(), 0);
    EXPECT_EQ(Walk(selection).size(), 6u);
}

TEST_F(IssueSelection, OrdersAndConditionsNoLongerOffered) {
    const std::vector<qvIssueOrder> orders = qvOfferedOrders(file.Number());
    ASSERT_EQ(orders.size(), 6u);
    EXPECT_EQ(orders[0].name, "ISSUE");
    EXPECT_EQ(orders[2].number, 2);
    EXPECT_EQ(orders[2].name, "DUE DATE");

    xc_cond_def gone = Condition("STATUS", XC_EQUAL, "Open");
    std::memset(gone.fieldName, 0, sizeof(gone.fieldName));
    std::memcpy(gone.fieldName, "NOFIELD", 7);
    Save("By Due", 2, {gone, Condition("STATUS", XC_NOT_EQUAL, "Closed")});
    ASSERT_EQ(xc_deactivate_alt_key("QVI", 2), 0);
    EXPECT_FALSE(qvIsOfferedOrder(file.Number(), 2));

    qvIssueSelection selection(file.Number(), 7010);
    selection.UseOperator(Operator("", "", 0));
    ASSERT_TRUE(selection.UseQuery("By Due"));
    EXPECT_EQ(selection.Order(), 0) << "a key switched off falls back to the primary order";
    EXPECT_TRUE(selection.OrderReplaced());
    EXPECT_EQ(selection.SkippedConditions(), 1) << "a condition on a field the file lacks is left out";
    EXPECT_EQ(Walk(selection), (std::vector<int>{1, 2, 4, 5, 6}));
}
