// RFC 4180 records: quoting, doubled quotes, CR LF record ends, and text that is no UTF-8.
#include "qvcore/export/qvCsvWriter.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(CsvWriter, FieldsAreQuotedOnlyWhenTheyMustBe) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"with, comma", "\"with, comma\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"carriage\rreturn", "\"carriage\rreturn\""},
        {"  blanks kept  ", "  blanks kept  "},
        {"Gr\xC3\xBC\xC3\x9F" "e", "Gr\xC3\xBC\xC3\x9F" "e"},
        {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},
        {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) EXPECT_EQ(qvCsvWriter::Field(c.text), c.field) << c.text;

    std::ostringstream out;
    qvCsvWriter writer(out);
    writer.WriteRow({"1", "with, comma \"and quote\"", ""});
    writer.WriteRow({});
    writer.WriteRow({"last"});
    EXPECT_EQ(out.str(), "1,\"with, comma \"\"and quote\"\"\",\r\n\r\nlast\r\n") << "records end in CR LF";
}
