// Report design files: the shipped designs load, a saved design reads back the same, and
// every kind of damage is refused with the file's name and the place in it.
#include "TestCompany.h"
#include "TestFiles.h"

#include "kwprint/trReportDesign.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

std::string Shipped(const std::string& name) { return TestCompany::DemoFolder() + "/reports/" + name + ".RPT"; }

} // namespace

TEST(trReportDesign, ShippedDesignsLoadAndSaveReadsBackTheSame) {
    TestCompany company(false);
    for (const char* name : {"QV Form View", "QV Table View"}) {
        std::string error;
        const auto design = trReportDesign::Load(Shipped(name), &error);
        ASSERT_TRUE(design) << error;
        EXPECT_EQ(design->file, "QVI");
        const std::string copy = company.Path(std::string("reports/") + name + " copy.RPT");
        ASSERT_TRUE(design->Save(copy, &error)) << error;
        const auto again = trReportDesign::Load(copy, &error);
        ASSERT_TRUE(again) << error;
        EXPECT_EQ(again->ToJson(), design->ToJson()) << name << ": every value survives a save";
    }
    const auto form = trReportDesign::Load(Shipped("QV Form View"), nullptr);
    EXPECT_EQ(form->kind, trReportDesign::Kind::Form);
    EXPECT_TRUE(form->newPagePerRecord);
    const auto table = trReportDesign::Load(Shipped("QV Table View"), nullptr);
    EXPECT_EQ(table->kind, trReportDesign::Kind::Columnar);
    EXPECT_TRUE(table->landscape);
    EXPECT_EQ(table->group.by, "order");

    std::string error;
    EXPECT_FALSE(trReportDesign::Load(company.Path("reports/missing.RPT"), &error));
    EXPECT_NE(error.find("missing.RPT"), std::string::npos) << error;
}

TEST(trReportDesign, DamageIsRefusedNamingTheFileAndThePlace) {
    const nlohmann::json table = nlohmann::json::parse(ReadAll(Shipped("QV Table View")));
    const nlohmann::json form = nlohmann::json::parse(ReadAll(Shipped("QV Form View")));
    struct Case {
        const nlohmann::json* base;
        std::string pointer; // JSON pointer of the value changed; "" replaces the whole design
        nlohmann::json value;
        std::string expected;
    };
    const Case cases[] = {
        {&table, "", nlohmann::json::array(), "d.RPT: a design must be a JSON object"},
        {&table, "/version", 2, "d.RPT: version: the design was made for a newer design format (2)"},
        {&table, "/version", "1", "d.RPT: version: must be a whole number"},
        {&table, "/kind", "chart", "d.RPT: kind: must be \"form\" or \"columnar\""},
        {&table, "/file", nullptr, "d.RPT: file: must be a text"},
        {&table, "/columns/1/width", "wide", "d.RPT: columns[1].width: must be a number"},
        {&table, "/columns/1/width", 0, "d.RPT: columns[1].width: must lie between 1 and 2000"},
        {&table, "/columns/2/formula", "1+1", "d.RPT: columns[2]: a column shows either a \"field\" or a \"formula\""},
        {&table, "/columns", nlohmann::json::array(), "d.RPT: columns: must be a list of at least one column"},
        {&table, "/row/colour", "red", "d.RPT: row.colour: is not a key of this place in a design"},
        {&table, "/row/shade", "grey", "d.RPT: row.shade: must be a colour \"#rrggbb\""},
        {&table, "/summary", "{pages} issues", "d.RPT: summary: the placeholder {pages} is not known here"},
        {&table, "/pageHeader/items/0/text", "{company", "d.RPT: pageHeader.items[0].text: a \"{\" without its \"}\""},
        {&table, "/pageHeader/items/0/x", 9000, "d.RPT: pageHeader.items[0].x: must lie between 0 and 720"},
        {&table, "/pageHeader/items/1/width", 700, "d.RPT: pageHeader.items[1]: reaches past the printable width"},
        {&table, "/pageHeader/items/0/type", "field", "d.RPT: pageHeader.items[0]: a field prints only in a record's band"},
        {&table, "/font/size", 200, "d.RPT: font.size: must lie between 4 and 72"},
        {&table, "/page/size", "Foolscap", "d.RPT: page.size: must be Letter, Legal, Executive, A4 or A5"},
        {&table, "/page/margins", {300, 10, 10, 10}, "d.RPT: page.margins[0]: must lie between 0 and 216"},
        {&table, "/record", nlohmann::json::object(), "d.RPT: record: belongs to form designs only"},
        {&form, "/columns", nlohmann::json::array(), "d.RPT: columns: belongs to columnar designs only"},
        {&form, "/record/items/3/labelWidth", 500, "d.RPT: record.items[3].labelWidth: must lie between 0 and 245"},
        {&form, "/record/items/0/field", "ISSUE", "d.RPT: record.items[0].field: belongs to field items only"},
        {&form, "/record/items/0/text", "{field:}", "d.RPT: record.items[0].text: the placeholder {field:} is not known here"},
        {&form, "/record/newPage", "yes", "d.RPT: record.newPage: must be true or false"},
    };
    for (const Case& c : cases) {
        nlohmann::json design = *c.base;
        if (c.pointer.empty()) design = c.value;
        else if (c.value.is_null() && c.pointer == "/file") design["file"] = nullptr;
        else design[nlohmann::json::json_pointer(c.pointer)] = c.value;
        std::string error;
        EXPECT_FALSE(trReportDesign::Parse(design.dump(), "d.RPT", &error)) << c.pointer;
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << c.pointer << "\n  got:  " << error << "\n  want: " << c.expected;
    }
    std::string error;
    EXPECT_FALSE(trReportDesign::Parse("{ \"version\": 1, ", "d.RPT", &error));
    EXPECT_EQ(error.rfind("d.RPT: not a valid design (JSON error at byte", 0), 0u) << error;
}
