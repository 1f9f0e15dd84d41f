// The inquiry library's exported calls (xi.h).
#include "kwinq/xi.h"

#include "kwinq/kwInqChooser.h"
#include "kwinq/kwInqDefinitions.h"
#include "kwinq/kwInqWindow.h"

#include "kwcommon/x_message.h"
#include "kwcommon/x_value_def.h"

#include <cstring>

namespace {
std::string Text(const char* text, size_t max) { return text ? std::string(text, strnlen(text, max)) : std::string(); }

// text into a caller's buffer of size bytes, cut on a character boundary.
void Put(char* buffer, size_t size, const std::string& text) {
    if (!buffer || size == 0) return;
    const std::string cut = x_utf8_cut(text, size - 1);
    std::memcpy(buffer, cut.data(), cut.size());
    buffer[cut.size()] = '\0';
}
} // namespace

extern "C" short xi_list_inquiry(char* application, const char* text, short /*flags*/, char* name, short nameSize) {
    if (!application || !name || nameSize < 2) return 0;
    std::string error;
    kwInqDefinitions::Company(&error);
    kwInqChooser chooser(Text(text, 256), Text(application, 2), Text(name, static_cast<size_t>(nameSize)));
    if (!chooser.HasInquiries()) {
        xw_message_box(XW_INFO, "Inquiries", error.empty() ? "No inquiries are defined for the installed applications."
                                                           : error);
        return 0;
    }
    if (chooser.DoModal() != kwDialog::IDOK || chooser.ChosenName().empty()) return 0;
    Put(application, 3, chooser.ChosenApplication());
    Put(name, static_cast<size_t>(nameSize), chooser.ChosenName());
    return 1;
}

extern "C" short xi_driving_record(const char* application, const char* name, char* fileAbbrev, short* recordType,
                                   short size) {
    if (!application || !name || !fileAbbrev || size < 4) return 0;
    const auto definitions = kwInqDefinitions::Company();
    const kwInqDefinition* inquiry = definitions->FindInquiry(Text(application, 2), Text(name, 31));
    if (!inquiry) return 0;
    Put(fileAbbrev, static_cast<size_t>(size), inquiry->file);
    if (recordType) *recordType = inquiry->recordType;
    return 1;
}

extern "C" short xi_run_inquiry(const char* application, const char* name, short programNumber,
                                const xi_value_def* values, short count, short /*flags*/) {
    if (!application || !name) return 0;
    return kwInqOpenWindow(Text(application, 2), Text(name, 31), programNumber, values, values ? count : 0) ? 1 : 0;
}
