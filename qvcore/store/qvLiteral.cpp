// Literals of the string tables.
#include "qvcore/store/qvLiteral.h"

#include "kwcommon/strings/kwStringTable.h"
#include "kwcommon/x_text.h"

#include <ostream>
#include <vector>

namespace {
// The byte offset of character `position` of a UTF-8 text (its end when the text is
// shorter), so the marker never lands inside a multi-byte character.
size_t ByteOffsetOfCharacter(const std::string& text, size_t position) {
    size_t offset = 0;
    for (size_t character = 0; character < position && offset < text.size(); ++character) {
        ++offset;
        while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80) {
            ++offset;
        }
    }
    return offset;
}
} // namespace

qvLiteral::qvLiteral(short id, short accessKeyPosition, const char* moduleName)
    : _text(KWLoadString(moduleName ? moduleName : "", id)) {
    if (accessKeyPosition < 0) return;
    const size_t offset = ByteOffsetOfCharacter(_text, static_cast<size_t>(accessKeyPosition));
    std::vector<char> buffer(_text.begin(), _text.end());
    buffer.resize(_text.size() + 2, '\0'); // room for "&" and the terminator
    x_strins(buffer.data(), static_cast<int>(buffer.size()), static_cast<int>(offset), "&");
    _text = buffer.data();
}

qvLiteral::~qvLiteral() {
    _text.clear();
    _text.shrink_to_fit();
}

void qvLiteral::DebugPrint(std::ostream& stream, bool newline) const {
    stream << "qvLiteral=" << _text;
    if (newline) stream << '\n';
}
