// Comma-separated values as RFC 4180 has them, for exports that spreadsheets and other
// programs read: UTF-8 text, records ended by CR LF, a field quoted when it holds a comma,
// a double quote, a CR or a LF, and a double quote inside a quoted field doubled. Bytes
// that are no UTF-8 (text stored before the program checked its input) are written as
// U+FFFD, so the output is always valid UTF-8.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

class qvCsvWriter {
public:
    explicit qvCsvWriter(std::ostream& out) : _out(out) {}

    // One record: the fields separated by commas, then CR LF.
    void WriteRow(const std::vector<std::string>& fields);

    // One field as it stands in a record.
    static std::string Field(std::string_view text);

private:
    std::ostream& _out;
};
