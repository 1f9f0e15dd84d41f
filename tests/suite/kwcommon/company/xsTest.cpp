// Operators of the company and the current operator.
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/xs.h"
#include "TestCompany.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

TEST(Operators, LookupIgnoresLetterCase) {
    TestCompany company(false);

    xs_oper_def def{};
    ASSERT_EQ(xs_find_oper_def("admin", &def), XIO_OK) << "ids are found without regard to case";
    EXPECT_STREQ(def.id, "ADMIN") << "the id comes back as the company wrote it";
    EXPECT_EQ(def.privilege, 1) << "ADMIN is the privileged operator";
    EXPECT_NE(std::strchr(def.email, '@'), nullptr);
    ASSERT_EQ(xs_find_oper_def("Dana", &def), XIO_OK);
    EXPECT_EQ(def.privilege, 0);
    EXPECT_EQ(xs_find_oper_def("NOBODY", &def), XIO_NO_RECORD);
    EXPECT_EQ(xs_find_oper_def("", nullptr), XIO_NO_RECORD);
    EXPECT_EQ(xs_find_oper_def("lee", nullptr), XIO_OK)
        << "a lookup without a record still answers";

    EXPECT_FALSE(xs_security_on()) << "operator security is off in the demo company";
}

TEST(Operators, CurrentOperator) {
    TestCompany company(false);
    xs_oper_def def{};

    kwCompany::SetCurrentOperatorId("lee");
    ASSERT_EQ(xs_get_oper_def(&def), XIO_OK);
    EXPECT_STREQ(def.id, "LEE");
    EXPECT_STRNE(def.name, "LEE") << "a known operator has a name of its own";

    const std::string stranger = "a-login-name-much-longer-than-twenty";
    kwCompany::SetCurrentOperatorId(stranger);
    std::memset(&def, 'x', sizeof(def));
    EXPECT_EQ(xs_get_oper_def(&def), XIO_NO_RECORD) << "an operator the company does not have";
    EXPECT_EQ(std::string(def.id), stranger.substr(0, 20)) << "the id is cut to 20 characters";
    EXPECT_STREQ(def.name, def.id) << "the id stands in for the name";
    EXPECT_EQ(def.privilege, 0) << "an unknown operator is never privileged";
    EXPECT_STREQ(def.email, "");
    EXPECT_EQ(xs_get_oper_def(nullptr), XIO_FAILED);
}

TEST(Operators, MissingOrMalformedFile) {
    TestCompany company(false);
    const std::string path = company.Path("operators.json");
    xs_oper_def def{};

    WriteAll(path, R"({ "security": true, "operators": [
        { "id": "ann", "name": "Ann", "privilege": 1, "email": "ann@example.com" },
        { "id": "ANN", "name": "Second Ann" } ] })");
    ASSERT_EQ(xs_find_oper_def("Ann", &def), XIO_OK);
    EXPECT_STREQ(def.name, "Ann") << "an id listed twice counts once, the first";
    EXPECT_EQ(xs_all_operators().size(), 1u);
    EXPECT_TRUE(xs_security_on());

    // Each malformed file, and the place its log line names.
    const std::pair<const char*, const char*> malformed[] = {
        {"{ \"operators\": [ { \"id\": \"ann\" } ", "not valid JSON"},
        {"{ \"security\": \"yes\" }", "security must be true or false"},
        {"{ \"security\": null }", "security must be true or false, not null"},
        {"{ \"operators\": [ { \"id\": \"an-id-longer-than-twenty-characters\" } ] }", "operators[0].id"},
        {"{ \"operators\": [ { \"name\": \"no id\" } ] }", "operators[0] has no \"id\""},
        {"{ \"operators\": [ { \"id\": 7 } ] }", "operators[0].id must be a text, not 7"},
        {"{ \"operators\": [ { \"id\": \"bob\", \"privilege\": \"high\" } ] }", "operators[0].privilege"},
        {"{ \"operators\": [ { \"id\": \"bob\", \"email\": [] } ] }", "operators[0].email must be a text"},
        {"{ \"operators\": [ { \"id\": \"bob\", \"denied\": [7010] } ] }", "operators[0].denied must be a JSON object"},
        {"{ \"operators\": [ { \"id\": \"bob\", \"denied\": { \"QV\": [\"7010\"] } } ] }",
         "operators[0].denied.QV[0] must be a whole number"},
        {"{ \"operators\": { \"id\": \"bob\" } }", "operators must be a list"},
    };
    for (const auto& [text, place] : malformed) {
        WriteAll(path, text);
        EXPECT_EQ(xs_find_oper_def("ann", &def), XIO_NO_RECORD) << "malformed: " << text;
        EXPECT_TRUE(xs_all_operators().empty()) << "malformed: " << text;
        EXPECT_FALSE(xs_security_on()) << "malformed: " << text;
        EXPECT_NE(LastLine(ReadAll(kwCompany::LogFile())).find("operators.json: " + std::string(place)),
                  std::string::npos)
            << "the log names the file and the place: " << LastLine(ReadAll(kwCompany::LogFile()));
    }

    WriteAll(path, R"({ "security": true, "operators": [
        { "id": "DANA", "denied": { "qv": [7010, 7020], "AP": [] } } ] })");
    EXPECT_TRUE(xs_command_denied("dana", "QV", 7020)) << "ids and application codes in any case";
    EXPECT_FALSE(xs_command_denied("DANA", "QV", 7500));
    EXPECT_FALSE(xs_command_denied("DANA", "AP", 7010));
    EXPECT_FALSE(xs_command_denied("LEE", "QV", 7010)) << "an operator the file does not name";

    std::remove(path.c_str());
    EXPECT_TRUE(xs_all_operators().empty()) << "no file, no operators";
    kwCompany::SetCurrentOperatorId("ADMIN");
    EXPECT_EQ(xs_get_oper_def(&def), XIO_NO_RECORD);
    EXPECT_EQ(def.privilege, 0);
}
