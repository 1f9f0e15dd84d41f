// The text of an issue's notification mail: the issue's main values, one per line, under the
// company's own names for the custom fields.
#include "qvcore/store/qvIssue.h"

#include "qvkit/text/kclTermCode.h"

#include <string>

namespace {
// "<264F>" and so on: the custom field's name with its first letter in capitals. Only the
// label goes through the term-code replacement; a value such as "<<urgent>>" is shown as typed.
std::string CustomFieldLabel(short code) {
    return kclRepTermCode("<" + std::to_string(code) + "F>");
}
} // namespace

const std::string& qvIssue::NotifyText() {
    const auto value = [this](int n) { return Value(n).Format(); };
    std::string text;
    text += "\r\nIssue number:\t\t" + value(QV_ISSUE) + "\r\n\r\n";
    text += "Message: " + value(QV_FORMESS) + "\r\n\r\n";
    text += "Due date:\t\t" + value(QV_DUEDATE) + "\r\n\r\n";
    text += CustomFieldLabel(264) + ":\t\t" + value(QV_FOLLOWU) + "\r\n";
    text += CustomFieldLabel(263) + ":\t\t" + value(QV_URGENCY) + "\r\n";
    text += CustomFieldLabel(265) + ":\t\t\t" + value(QV_STATUS) + "\r\n\r\n";
    text += CustomFieldLabel(266) + ":\t\t" + value(QV_PROBLEM) + "\r\n";
    text += CustomFieldLabel(262) + ":\t\t" + value(QV_CLASSIF) + "\r\n";
    text += "Entered by:\t\t" + value(QV_OPERCRE) + "\r\n\r\n";
    _notifyText = std::move(text);
    return _notifyText;
}
