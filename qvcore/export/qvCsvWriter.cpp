// RFC 4180 records.
#include "qvcore/export/qvCsvWriter.h"

#include <ostream>

namespace {

// The length of the well-formed UTF-8 character at text[i], 0 when the bytes there are none.
size_t CharacterLength(std::string_view text, size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) return 1;
    size_t length = 0;
    unsigned long code = 0, least = 0;
    if ((c & 0xE0) == 0xC0)
        length = 2, code = c & 0x1F, least = 0x80;
    else if ((c & 0xF0) == 0xE0)
        length = 3, code = c & 0x0F, least = 0x800;
    else if ((c & 0xF8) == 0xF0)
        length = 4, code = c & 0x07, least = 0x10000;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

} // namespace

std::string qvCsvWriter::Field(std::string_view text) {
    std::string field;
    field.reserve(text.size() + 2);
    bool quote = false;
    for (size_t i = 0; i < text.size();) {
        const size_t length = CharacterLength(text, i);
        if (length == 0) {
            field += "\xEF\xBF\xBD"; // U+FFFD REPLACEMENT CHARACTER
            ++i;
            continue;
        }
        const char c = text[i];
        if (c == ',' || c == '"' || c == '\r' || c == '\n') quote = true;
        if (c == '"') field += '"';
        field.append(text.substr(i, length));
        i += length;
    }
    return quote ? "\"" + field + "\"" : field;
}

void qvCsvWriter::WriteRow(const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) _out << ',';
        _out << Field(fields[i]);
    }
    _out << "\r\n";
}
