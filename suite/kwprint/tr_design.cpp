// The design printer's entry points: handles, one print run (design, records, passes,
// output put in place) and the default-printer seam.
#include "kwprint/tr_design.h"

#include "kwprint/trFieldText.h"
#include "kwprint/trReportDesign.h"
#include "kwprint/trReportRenderer.h"
#include "kwprint/trTemplate.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/paths/kwPath.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <memory>
#include <vector>

namespace {

constexpr int kPdfResolution = 1200;
constexpr int kProgressEvery = 50; // records between progress reports within a page

// The handles given and not yet ended.
std::set<short>& Handles() {
    static std::set<short> handles;
    return handles;
}

tr_default_printer_proc& DefaultPrinterSeam() {
    static tr_default_printer_proc seam;
    return seam;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string BufferText(const char* buffer, size_t size) { return std::string(buffer, strnlen(buffer, size)); }

void CopyInto(char* target, size_t size, const std::string& text) {
    const std::string cut = x_utf8_cut(text, size - 1);
    std::memset(target, 0, size);
    std::memcpy(target, cut.data(), cut.size());
}

QPageSize::PageSizeId PageSizeOf(const std::string& name) {
    if (name == "Legal") return QPageSize::Legal;
    if (name == "Executive") return QPageSize::Executive;
    if (name == "A4") return QPageSize::A4;
    if (name == "A5") return QPageSize::A5;
    return QPageSize::Letter;
}

QPageLayout PageLayoutOf(const trReportDesign& design) {
    // The design keeps its own margins: the device's page starts at the paper's corner.
    return QPageLayout(QPageSize(PageSizeOf(design.pageSize)),
                       design.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
}

bool UsesPageCount(const trReportDesign& design) {
    for (const trBand* band : {&design.pageHeader, &design.pageFooter}) {
        for (const trItem& item : band->items) {
            std::vector<trTemplatePart> parts;
            if (!trParseTemplate(item.text, &parts, nullptr)) continue;
            for (const trTemplatePart& part : parts)
                if (part.placeholder && part.text == "pages") return true;
        }
    }
    return false;
}

// A failure: its status and words.
struct Failure {
    short status = XIO_OK;
    std::string text;
};

class PrintRun {
public:
    explicit PrintRun(tr_print_def& def) : _def(def) {}

    Failure Run();
    int Pages() const { return _pages; }
    int64_t Records() const { return _printed; }
    const std::string& Output() const { return _output; }

private:
    Failure LoadDesign();
    Failure CheckFile();
    // One pass over the records. Answers a failure's status, XIO_CANCELLED, or 0.
    Failure Walk(trReportRenderer& renderer, short phase);
    short Read(bool first);
    bool Progress(short phase, int64_t read, const trReportRenderer& renderer, int pagesTotal);
    Failure PrintTo(trSurface surface, int pagesTotal);
    Failure PrintPdf(const std::string& target, int pagesTotal);
    Failure PrintPrinter(const std::string& name, int pagesTotal);

    tr_print_def& _def;
    short _file = 0;
    short _recordType = 1;
    std::string _designPath;
    std::string _designFileName;
    std::optional<trReportDesign> _design;
    trFieldText _fields;
    trRunFacts _facts;
    int _pages = 0;
    int64_t _printed = 0;
    std::string _output;
};

Failure PrintRun::LoadDesign() {
    const std::string name = BufferText(_def.designName, sizeof _def.designName);
    if (name.empty()) return {XIO_ABSENT, "No report design was named."};
    std::error_code ec;
    if (std::filesystem::is_regular_file(name, ec)) {
        _designPath = name;
    } else if (!kwPath::LocateReport(name, _designPath, true)) {
        return {XIO_ABSENT, "The report design \"" + name + "\" was not found in the reports folder " +
                                kwPath::Reports("") + "."};
    }
    _designFileName = std::filesystem::path(_designPath).filename().string();
    std::string error;
    _design = trReportDesign::Load(_designPath, &error);
    if (!_design) return {XIO_CORRUPT, "The report design cannot be used. " + error};
    return {};
}

Failure PrintRun::CheckFile() {
    _file = _def.fileNumber;
    xio_def file{};
    if (_file <= 0 || xio_get_def(_file, &file, 0) != XIO_OK || file.path[0] == '\0')
        return {XIO_BAD_FILE_NUMBER, "The file to print from is not open."};
    const std::string abbrev = Upper(BufferText(file.abbrev, sizeof file.abbrev));
    const std::string named = Upper(BufferText(_def.fileName, sizeof _def.fileName));
    if (!named.empty() && named != abbrev)
        return {XIO_FAILED, "The file to print from is " + abbrev + ", not " + named + "."};
    if (Upper(_design->file) != abbrev) {
        return {XIO_FAILED, _designFileName + ": the design prints the file " + Upper(_design->file) + ", not " +
                                abbrev + "."};
    }
    _recordType = _def.recordType > 0 ? _def.recordType : _design->recordType;
    xio_rec_def type{};
    if (xio_get_rec_def(_file, _recordType, &type, 0) != XIO_OK)
        return {XIO_BAD_RECORD_TYPE, _designFileName + ": the file has no record type " + std::to_string(_recordType) + "."};
    std::string error;
    if (!_fields.Bind(*_design, _designFileName, _file, _recordType, _def.orderKey, &error)) return {XIO_FAILED, error};
    return {};
}

short PrintRun::Read(bool first) {
    if (_def.read) return _def.read(_def.job, _file, _recordType, first ? 1 : 0);
    return first ? xio_rd_first(_file, _recordType, _def.orderKey, 0) : xio_rd_next(_file, _recordType, _def.orderKey, 0);
}

bool PrintRun::Progress(short phase, int64_t read, const trReportRenderer& renderer, int pagesTotal) {
    if (!_def.progress) return true;
    tr_progress progress;
    progress.phase = phase;
    progress.recordsRead = read;
    progress.recordsPrinted = _printed;
    progress.pagesMade = renderer.Pages();
    progress.pagesTotal = pagesTotal;
    return _def.progress(_def.progressData, &progress) != 0;
}

Failure PrintRun::Walk(trReportRenderer& renderer, short phase) {
    int64_t read = 0;
    _printed = 0;
    int lastPages = 0;
    const int pagesTotal = phase == 2 ? _pages : 0;
    for (short status = Read(true);; status = Read(false)) {
        if (status == XIO_NO_RECORD) break;
        if (status != XIO_OK) return {status, xio_error_text(_file, status)};
        ++read;
        if (!_def.select || _def.select(_def.job, _def.eventData, _file, status)) {
            renderer.AddRecord();
            ++_printed;
            if (!renderer.DeviceOk()) return {XIO_IO_ERROR, "The printer refused a page."};
        }
        if (renderer.Pages() != lastPages || read % kProgressEvery == 0) {
            lastPages = renderer.Pages();
            if (!Progress(phase, read, renderer, pagesTotal)) return {XIO_CANCELLED, ""};
        }
    }
    renderer.Finish();
    if (!renderer.DeviceOk()) return {XIO_IO_ERROR, "The printer refused a page."};
    if (!Progress(phase, read, renderer, pagesTotal)) return {XIO_CANCELLED, ""};
    return {};
}

Failure PrintRun::PrintTo(trSurface surface, int pagesTotal) {
    auto renderer = trReportRenderer::Make(*_design, _fields, _facts, surface, pagesTotal);
    Failure failure = Walk(*renderer, 2);
    _pages = renderer->Pages();
    return failure;
}

Failure PrintRun::PrintPdf(const std::string& target, int pagesTotal) {
    const std::string temporary = kwStoredFile::TemporaryPath(target);
    Failure failure;
    {
        QFile file(QString::fromStdString(temporary));
        if (!file.open(QIODevice::WriteOnly)) {
            return {XIO_IO_ERROR, "The PDF file \"" + target + "\" cannot be written: " +
                                      file.errorString().toStdString() + "."};
        }
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(PageLayoutOf(*_design));
        writer.setTitle(QString::fromStdString(_facts.title));
        writer.setCreator(QString::fromStdString(xw_application_name()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            failure = {XIO_IO_ERROR, "The PDF file \"" + target + "\" cannot be written."};
        } else {
            failure = PrintTo({&painter, &writer, kPdfResolution / 72.0}, pagesTotal);
            painter.end();
        }
        file.close();
        if (!failure.status && file.error() != QFileDevice::NoError) {
            failure = {XIO_IO_ERROR, "The PDF file \"" + target + "\" cannot be written: " +
                                         file.errorString().toStdString() + "."};
        }
    }
    if (failure.status) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return failure;
    }
    std::string error;
    if (!kwStoredFile::PlaceFile(temporary, target, kwStoredFile::Place::Replace, &error))
        return {XIO_IO_ERROR, error};
    _output = target;
    return {};
}

Failure PrintRun::PrintPrinter(const std::string& name, int pagesTotal) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
    // An unknown name must not fall back to whatever printer the system would choose.
    if (info.isNull()) return {XIO_ABSENT, "The printer \"" + name + "\" is not known to this computer."};
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(PageLayoutOf(*_design));
    printer.setDocName(QString::fromStdString(_facts.title));
    printer.setCreator(QString::fromStdString(xw_application_name()));
    QPainter painter;
    if (!painter.begin(&printer)) return {XIO_IO_ERROR, "The printer \"" + name + "\" cannot print now."};
    Failure failure = PrintTo({&painter, &printer, printer.resolution() / 72.0}, pagesTotal);
    if (failure.status) printer.abort();
    painter.end();
    if (!failure.status) _output = name;
    return failure;
}

Failure PrintRun::Run() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {XIO_FAILED, "Printing needs the program's display services, which are not running."};
    if (Failure failure = LoadDesign(); failure.status) return failure;
    if (Failure failure = CheckFile(); failure.status) return failure;

    // One date and time for every page, in both passes.
    _facts.company = kwCompany::Name();
    _facts.title = _design->title;
    _facts.date = xd_format_date(xd_get_date(), xd_date_format());
    const int seconds = xd_get_time();
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", seconds / 3600, seconds / 60 % 60);
    _facts.time = time;
    _facts.operatorId = kwCompany::CurrentOperatorId();

    int pagesTotal = 0;
    if (UsesPageCount(*_design)) {
        auto counter = trReportRenderer::Make(*_design, _fields, _facts, trSurface{}, 0);
        if (Failure failure = Walk(*counter, 1); failure.status) return failure;
        pagesTotal = counter->Pages();
        _pages = pagesTotal;
    }

    if (_def.pdfPath && *_def.pdfPath) return PrintPdf(_def.pdfPath, pagesTotal);
    const tr_printer_target target = tr_default_printer(_design->title);
    if (!target.printerName.empty()) return PrintPrinter(target.printerName, pagesTotal);
    if (target.pdfPath.empty()) return {XIO_FAILED, "There is no printer to print on."};
    return PrintPdf(target.pdfPath, pagesTotal);
}

// The wait indicator for as long as a print runs.
struct WaitIndicator {
    WaitIndicator() { x_wait_on("Printing..."); }
    ~WaitIndicator() { x_wait_off(); }
    WaitIndicator(const WaitIndicator&) = delete;
    WaitIndicator& operator=(const WaitIndicator&) = delete;
};

} // namespace

short tr_init_design(short /*flags*/) {
    auto& handles = Handles();
    for (short handle = 1; handle < 32767; ++handle) {
        if (handles.insert(handle).second) return handle;
    }
    return 0;
}

short tr_term_design(short handle) { return Handles().erase(handle) ? 1 : 0; }

short tr_print_design(short handle, tr_print_def* def) {
    if (!def) return 0;
    Failure failure;
    PrintRun run(*def);
    if (!Handles().count(handle)) {
        failure = {XIO_FAILED, "The print was not started (no design handle)."};
    } else {
        WaitIndicator wait;
        failure = run.Run();
    }
    if (tr_print_result* result = def->result) {
        result->status = failure.status;
        result->pages = failure.status ? 0 : run.Pages();
        result->records = failure.status ? 0 : run.Records();
        CopyInto(result->output, sizeof result->output, run.Output());
        CopyInto(result->error, sizeof result->error, failure.text);
    }
    if (failure.status == XIO_OK) {
        tr_term_design(handle);
        return 1;
    }
    if (failure.status != XIO_CANCELLED) {
        x_log(0, ("Printing failed: " + failure.text).c_str());
        if (!(def->flags & TR_QUIET)) xw_wr_message(0, XW_ERROR, failure.text.c_str(), 0);
    }
    return 0;
}

void tr_set_default_printer(tr_default_printer_proc finder) { DefaultPrinterSeam() = std::move(finder); }

tr_printer_target tr_default_printer(const std::string& title) {
    if (DefaultPrinterSeam()) return DefaultPrinterSeam()(title);
    tr_printer_target target;
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull()) {
        target.printerName = printer.printerName().toStdString();
        return target;
    }
    // No print server: a new PDF in the user's documents, named after the report and time.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) folder = QDir::homePath();
    QString name = QString::fromStdString(title.empty() ? std::string("Report") : title);
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    name += QDateTime::currentDateTime().toString(QStringLiteral(" yyyy-MM-dd HH.mm.ss")) + QStringLiteral(".pdf");
    target.pdfPath = QDir(folder).filePath(name).toStdString();
    return target;
}
