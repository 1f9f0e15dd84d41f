// The print hub: one run per xh_process_hub, the print dialog read in a loop, the
// program's callbacks called as xh.h lays out, and the end callback guaranteed once.
#include "kwapp/printhub/xh.h"

#include "kwapp/printhub/xhRangeDialog.h"
#include "kwprint/xr.h"
#include "kwapp/suitewin/xc_select_conditions.h"
#include "kwapp/suitewin/xw.h"
#include "kwapp/suitewin/xw_qt.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstring>
#include <vector>

namespace {

constexpr short kUnanswered = -1;

const char* const kConditionsPlain = "~Conditions...";
const char* const kConditionsSet = "*~Conditions...*";
const char* const kRangesPlain = "~Ranges...";
const char* const kRangesSet = "*  ~Ranges...  *";

std::string FixedText(const char* buffer, size_t size) { return std::string(buffer, strnlen(buffer, size)); }

// The folder the last PDF went to, offered again for the next.
std::string& LastPdfFolder() {
    static std::string folder;
    return folder;
}

std::optional<std::string> ChoosePdf(const std::string& suggested) {
    if (xh_pdf_chooser_seam()) return xh_pdf_chooser_seam()(suggested);
    const QString chosen = QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("Print to PDF File"),
                                                        QString::fromStdString(suggested),
                                                        QStringLiteral("PDF files (*.pdf)"));
    if (chosen.isEmpty()) return std::nullopt;
    std::string path = chosen.toStdString();
    if (!chosen.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += ".pdf";
    return path;
}

class Hub;

std::vector<Hub*>& Running() {
    static std::vector<Hub*> running;
    return running;
}

class Hub {
public:
    explicit Hub(xh_hub_def* block) : _block(block) {
        Take(*block);
        Running().push_back(this);
    }
    ~Hub() {
        std::erase(Running(), this);
        if (_window) xw_cls_window(_window);
        _window = 0;
        if (_ranges) xr_term_range(_ranges);
        if (_conditions) xc_term_conditions(_conditions, 1);
        End();
    }
    Hub(const Hub&) = delete;
    Hub& operator=(const Hub&) = delete;

    short Run();
    bool Owns(const xh_hub_def* block) const { return block == _block; }
    void Change(const xh_hub_def& block) {
        Take(block);
        Refresh(true);
    }

private:
    static short WindowProc(short window, short event, short p1, short p2, short p3, void* appData);
    short OnWindowEvent(short window, short event, short p1, short p2, short p3);

    void Take(const xh_hub_def& block);
    bool StartSets();
    short Send(short window, short event, short p1, short p2, short p3) {
        return _eventProc ? _eventProc(window, event, p1, p2, p3, _job) : 1;
    }
    short RunDialog();
    short RunDirect();
    // The print callback with the event data; answers the printer's status (kUnanswered
    // when the callback did not print through the printer).
    short Print(short window, short destination, const std::string& pdf);
    void End() {
        if (_ended) return;
        _ended = true;
        // The end callback may free the block and the job: nothing of either is used after.
        if (_endProc) _endProc(0, _job);
    }

    bool CurrentOnly() const;
    short Destination() const;
    void EnableField(short field, bool enabled);
    // Fields 4 and 5, their input and the buttons' emphasis from the sets; fillRange false
    // leaves what the user typed in fields 4 and 5.
    void Refresh(bool fillRange);
    bool TakeRangeFields();
    void EditConditions();
    void EditRanges();

    xh_hub_def* _block;
    short _taskId = 0, _screen = 0, _file = 0, _recordType = 1, _conditionFile = 0, _conditionRecordType = 1;
    std::string _group, _panel, _rangeField;
    bool _useConditions = true, _useRanges = true;
    xh_event_proc _eventProc = nullptr;
    xh_print_proc _printProc = nullptr;
    xh_end_proc _endProc = nullptr;
    void* _job = nullptr;

    short _window = 0, _ranges = 0, _conditions = 0;
    bool _refused = false; // the program answered 0 to the dialog's start
    bool _ended = false;
};

void Hub::Take(const xh_hub_def& block) {
    _taskId = block.taskId;
    _screen = block.screen;
    _group = FixedText(block.group, sizeof block.group);
    _panel = FixedText(block.panel, sizeof block.panel);
    _file = block.fileNumber;
    _recordType = block.recordType > 0 ? block.recordType : 1;
    _rangeField = FixedText(block.rangeField, sizeof block.rangeField);
    _conditionFile = block.conditionFile > 0 ? block.conditionFile : block.fileNumber;
    _conditionRecordType = block.conditionRecordType > 0 ? block.conditionRecordType : _recordType;
    _useConditions = block.useConditions != 0;
    _useRanges = block.useRanges != 0;
    _eventProc = block.eventProc;
    _printProc = block.printProc;
    _endProc = block.endProc;
    _job = block.job;
}

bool Hub::StartSets() {
    _ranges = xr_init_range(_file, _recordType);
    xc_cond_init_def init{};
    init.programNumber = _taskId;
    init.fileNumber = _conditionFile;
    init.recordType = _conditionRecordType;
    _conditions = xc_init_conditions(&init, 1);
    return _ranges && _conditions;
}

short Hub::Run() {
    if (!StartSets()) {
        const char* text = "Nothing can be printed: the file to print from is not open.";
        x_log(0, text);
        xw_wr_message(0, XW_ERROR, text, 0);
        return 0;
    }
    return _screen ? RunDialog() : RunDirect();
}

short Hub::RunDirect() {
    if (Send(0, XH_EVENT_START, _ranges, _conditions, 0) == 0) return 0;
    const short status = Print(0, XH_TO_DEFAULT_PRINTER, "");
    return status == XIO_OK ? 1 : 0;
}

short Hub::Print(short window, short destination, const std::string& pdf) {
    if (!_printProc) return kUnanswered;
    xh_print_event event;
    xh_init_print_event(&event, _ranges, _conditions);
    event.window = window;
    event.destination = destination;
    event.interactive = 1;
    std::strncpy(event.pdfPath, pdf.c_str(), sizeof event.pdfPath - 1);
    // The dialog steps aside while the printer works (it lets events in for its progress
    // and preview), so nothing changes the print's choices under it; the next read of a
    // dialog that stays shows it again.
    if (QWidget* dialog = xw_window_widget(window)) dialog->hide();
    _printProc(window, _job, &event);
    return event.status;
}

short Hub::RunDialog() {
    _window = xw_display_panel(_screen, _group.c_str(), _panel.c_str(), XW_PANEL_HIDDEN, &Hub::WindowProc, this);
    if (!_window || _refused) return 0;
    xw_window_def def{};
    if (xw_get_window_def(_window, &def) == XW_OK) {
        def.modal = 1;
        def.closeBox = 1;
        xw_chg_window(_window, &def);
    }
    for (;;) {
        xw_read_def read{};
        if (xw_rd_panel(_window, &read) != XW_OK) return 0;
        if (read.exitKey == XW_EXIT_CLOSE) return 0;
        if (read.exitKey != XW_EXIT_ENTER) continue; // a field that ends the read: handled at 108
        if (read.action != XW_ACTION_ACCEPT) return 0;
        const short destination = Destination();
        std::string pdf;
        if (destination == XH_TO_PDF) {
            QString folder = QString::fromStdString(LastPdfFolder());
            if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            if (folder.isEmpty()) folder = QDir::homePath();
            xw_window_def window{};
            xw_get_window_def(_window, &window);
            std::string name = FixedText(window.title, sizeof window.title);
            if (name.rfind("Print ", 0) == 0) name.erase(0, 6);
            if (name.empty()) name = "Report";
            const std::optional<std::string> chosen = ChoosePdf(QDir(folder).filePath(QString::fromStdString(name + ".pdf")).toStdString());
            if (!chosen || chosen->empty()) continue;
            pdf = *chosen;
            LastPdfFolder() = QFileInfo(QString::fromStdString(pdf)).absolutePath().toStdString();
        }
        const short status = Print(_window, destination, pdf);
        // A print that was cancelled or failed leaves the dialog up for another try.
        if (status == XIO_OK || status == kUnanswered) return status == XIO_OK ? 1 : 0;
    }
}

short Hub::WindowProc(short window, short event, short p1, short p2, short p3, void* appData) {
    return static_cast<Hub*>(appData)->OnWindowEvent(window, event, p1, p2, p3);
}

short Hub::OnWindowEvent(short window, short event, short p1, short p2, short p3) {
    switch (event) {
    case XW_EVENT_PANEL_SHOWN: {
        if (Send(window, XH_EVENT_START, _ranges, _conditions, 0) == 0) {
            _refused = true;
            return 1;
        }
        const x_value_def printer = x_value_def::OfNumber(XH_TO_PRINTER);
        xw_put_field(window, XH_FIELD_DESTINATION, &printer);
        xw_wr_fields(window, XH_FIELD_DESTINATION, XH_FIELD_DESTINATION);
        Send(window, XH_EVENT_SHOWN, p1, p2, p3);
        _window = window;
        Refresh(true);
        return 1;
    }
    case XW_EVENT_BUTTON:
        if (p1 == XH_BUTTON_CONDITIONS) {
            EditConditions();
            return 0;
        }
        if (p1 == XH_BUTTON_RANGES) {
            EditRanges();
            return 0;
        }
        return 1;
    case XW_EVENT_READ_END:
        if (p2 == XW_EXIT_ENTER && p3 == XW_ACTION_ACCEPT && !TakeRangeFields()) return 0;
        return Send(window, XH_EVENT_READ_END, p1, p2, p3);
    case XW_EVENT_FIELD_CHANGED: {
        if (p1 == XH_FIELD_CURRENT_ONLY) {
            // The program puts back the ranges and conditions it wants for the new state
            // (it copies its conditions again: kept ones would be there twice).
            xr_clear_range(_ranges);
            xc_clear_conditions(_conditions);
            xw_chg_button(window, XH_BUTTON_RANGES, kRangesPlain);
            xw_chg_button(window, XH_BUTTON_CONDITIONS, kConditionsPlain);
        }
        const short answer = Send(window, XH_EVENT_FIELD_CHANGED, p1, p2, p3);
        if (p1 == XH_FIELD_CURRENT_ONLY) Refresh(true);
        return answer;
    }
    default:
        return 1;
    }
}

bool Hub::CurrentOnly() const {
    x_value_def value;
    return xw_get_field(_window, XH_FIELD_CURRENT_ONLY, &value) == XW_OK && value.AsNumber() == 1;
}

short Hub::Destination() const {
    x_value_def value;
    if (xw_get_field(_window, XH_FIELD_DESTINATION, &value) != XW_OK) return XH_TO_PRINTER;
    const short item = static_cast<short>(value.AsNumber());
    return item >= XH_TO_PRINTER && item <= XH_TO_PDF ? item : static_cast<short>(XH_TO_PRINTER);
}

void Hub::EnableField(short field, bool enabled) {
    xw_field_def def{};
    if (xw_get_field_def(_window, field, &def) != XW_OK || (def.enabled != 0) == enabled) return;
    def.enabled = enabled ? 1 : 0;
    xw_chg_field(_window, field, &def);
}

void Hub::Refresh(bool fillRange) {
    if (!_window) return;
    const bool current = CurrentOnly();
    const bool editable = _useRanges && !current;
    if (fillRange) {
        xr_range_def range;
        const bool has = !_rangeField.empty() && xr_get_range(_ranges, _rangeField.c_str(), &range);
        const x_value_def from = x_value_def::OfNumber(has && range.hasFrom ? range.from.AsNumber() : 0);
        const x_value_def to = x_value_def::OfNumber(has && range.hasTo ? range.to.AsNumber() : 0);
        xw_put_field(_window, XH_FIELD_FROM, &from);
        xw_put_field(_window, XH_FIELD_TO, &to);
        xw_wr_fields(_window, XH_FIELD_FROM, XH_FIELD_TO);
    }
    EnableField(XH_FIELD_FROM, editable);
    EnableField(XH_FIELD_TO, editable);
    EnableField(XH_BUTTON_RANGES, editable);
    EnableField(XH_BUTTON_CONDITIONS, _useConditions);
    xw_chg_button(_window, XH_BUTTON_RANGES, xr_range_count(_ranges) > 0 ? kRangesSet : kRangesPlain);
    xw_chg_button(_window, XH_BUTTON_CONDITIONS,
                  xc_conditions_exist(_conditions, 0, 0) ? kConditionsSet : kConditionsPlain);
}

// Fields 4 and 5 into the range of the range field (nothing while the program's range of
// the current issue holds). false, with the user told, when they make no range.
bool Hub::TakeRangeFields() {
    if (!_useRanges || _rangeField.empty() || CurrentOnly()) return true;
    x_value_def from, to;
    xw_get_field(_window, XH_FIELD_FROM, &from);
    xw_get_field(_window, XH_FIELD_TO, &to);
    const double low = from.AsNumber(), high = to.AsNumber();
    if (low < 0 || high < 0 || (low > 0 && high > 0 && low > high)) {
        xw_wr_message(_window, XW_ERROR, "The range's first number is above its last one, or below zero.", 0);
        xw_set_active_field(_window, XH_FIELD_FROM);
        return false;
    }
    if (low == 0 && high == 0) {
        xr_del_range(_ranges, _rangeField.c_str());
    } else {
        if (low > 0) xr_put_field(_ranges, _rangeField.c_str(), XR_FROM, &from);
        if (high > 0) xr_put_field(_ranges, _rangeField.c_str(), XR_TO, &to);
        xr_put_range(_ranges);
    }
    return true;
}

void Hub::EditConditions() {
    xc_select_conditions(_conditions, XC_SELECT_MODAL, 0, "display", 0);
    Refresh(false);
}

void Hub::EditRanges() {
    // What the user typed in fields 4 and 5 is the range the dialog starts from.
    if (!TakeRangeFields()) return;
    if (xh_range_editor_seam()) {
        xr_range_def before;
        const bool had = xr_get_range(_ranges, _rangeField.c_str(), &before);
        if (!xh_range_editor_seam()(_ranges, _rangeField)) {
            xr_del_range(_ranges, _rangeField.c_str());
            if (had) {
                if (before.hasFrom) xr_put_field(_ranges, _rangeField.c_str(), XR_FROM, &before.from);
                if (before.hasTo) xr_put_field(_ranges, _rangeField.c_str(), XR_TO, &before.to);
                xr_put_range(_ranges);
            }
        }
    } else {
        xhRangeDialog dialog(_ranges, _rangeField, xw_window_widget(_window));
        dialog.DoModal();
    }
    Refresh(true);
}

} // namespace

short xh_process_hub(xh_hub_def* block) {
    if (!block) return 0;
    Hub hub(block);
    return hub.Run();
}

short xh_change_hub(const xh_hub_def* block) {
    if (!block) return 0;
    for (Hub* hub : Running()) {
        if (hub->Owns(block)) {
            hub->Change(*block);
            return 1;
        }
    }
    return 0;
}

xh_pdf_chooser& xh_pdf_chooser_seam() {
    static xh_pdf_chooser seam;
    return seam;
}

xh_range_editor& xh_range_editor_seam() {
    static xh_range_editor seam;
    return seam;
}
