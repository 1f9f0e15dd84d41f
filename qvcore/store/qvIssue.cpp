// Issues as typed values, and their reading and writing through the record manager.
#include "qvcore/store/qvIssue.h"

#include "qvcore/store/qvChoice.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/store/qvNextIssueNumber.h"

#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/values/kwNum.h"
#include "kwcommon/values/kwText.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"
#include "kwcommon/xs.h"

#include <cstring>
#include <functional>

namespace {

const char* const kFieldNames[qvIssue::kValueCount] = {
    "",        "ISSUE",   "FORMESS", "RULEID",  "CLASSIF", "URGENCY", "FOLLOWU", "STATUS",  "PROBLEM",
    "REVIEWE", "INQNAME", "RESPONS", "EMAIL",   "DUEDATE", "NOTDATE", "IOPERID", "OPERCRE", "DATECRE",
    "TIMECRE", "OPERCLO", "DATECLO", "TIMECLO", "OPERCHG", "DATECHG", "TIMECHG", "APVND",   "APINVOI",
    "ARCUST",  "ARSTYPE", "ARDATE",  "ARSEQ",   "ARASEQ",  "ARDEPDT", "ARDEPID", "ARCDATE", "ARCTIME",
    "ARCSEQ",  "ARCONT",  "BLGDATE", "BLGSEQ",  "CMBANK",  "CMTRUN",  "CMTSEQ",  "CNC",     "CNCI",
    "CNCO",    "EQEQUIP", "EQTYPE",  "GLACCT",  "GLAPRFX", "GLBPRFX", "GLCPRFX", "GLPRTNR", "JCJOB",
    "JCEXTRA", "JCPHASE", "JCCAT",   "JCDRAW",  "JCCO",    "JCCOITM", "JCSUB",   "JCITEM",  "PMPROP",
    "PMUNIT",  "PMTENAN", "PMLEASE", "PMREV",   "PREMPID", "PRUNION", "PRLOCID", "PRPDEND", "PRCKSEQ",
};

// Widths when no file is open.
int DefaultWidth(int n) {
    switch (n) {
    case QV_NOTIFY_OTHERS: return 75;
    case QV_FORMESS: return 1000;
    case QV_RULEID: return 10;
    case QV_CLASSIF:
    case QV_URGENCY:
    case QV_FOLLOWU:
    case QV_STATUS:
    case QV_PROBLEM: return 20;
    case QV_INQNAME: return 35;
    case QV_RESPONS: return 30;
    case QV_DUEDATE:
    case QV_NOTDATE: return 10;
    case QV_IOPERID:
    case QV_OPERCRE:
    case QV_OPERCLO:
    case QV_OPERCHG: return 20;
    case QV_DATECRE:
    case QV_DATECLO:
    case QV_DATECHG: return 10;
    case QV_TIMECRE:
    case QV_TIMECLO:
    case QV_TIMECHG: return 8;
    default: return 0;
    }
}

bool IsChoiceField(int n) { return n == QV_ARSTYPE || n == QV_PRCKSEQ; }

} // namespace

const char* qvIssue::FieldName(int n) { return n >= 1 && n < kValueCount ? kFieldNames[n] : ""; }

qvIssue::qvIssue(short fileNumber, short programNumber, bool takeNumber) : _file(fileNumber), _program(programNumber) {
    for (int n = 1; n < kValueCount; ++n) {
        if (_file) _fieldNumbers[n] = xio_num(_file, 0, 0, kFieldNames[n]);
        xio_fld_def def{};
        if (_file && _fieldNumbers[n] && xio_get_fld_def(_file, _fieldNumbers[n], &def, 1, 1) == XIO_OK) {
            _widths[n] = def.width != 0 ? def.width : def.width2;
            _kinds[n] = def.kind;
            _qualifiers[n] = def.qualifier;
        } else {
            _widths[n] = DefaultWidth(n);
        }
    }
    _widths[0] = 75;
    MakeValues();
    if (takeNumber && _file) Value(QV_ISSUE).Set(std::to_string(static_cast<long long>(qvNextIssueNumber(_file).Next())));
}

qvIssue::~qvIssue() = default;

void qvIssue::MakeValues() {
    // A sectioned key is held as shown, with its separators: wider than it is stored.
    auto text = [this](int n) {
        int width = std::max(0, _widths[n]);
        if (xk_multi_section(_kinds[n])) width = std::max<int>(width, xk_width(_kinds[n], _qualifiers[n]));
        return std::make_unique<kwAlpha>(static_cast<size_t>(width));
    };
    auto listText = [&](int n, short list) {
        auto value = text(n);
        value->Set(xk_get_custom_list_default(list));
        return value;
    };
    auto noDate = [] { return std::make_unique<kwDate>(std::string_view()); };
    xs_oper_def oper{};
    xs_get_oper_def(&oper);

    _values[QV_NOTIFY_OTHERS] = std::make_unique<kwAlpha>();
    _values[QV_ISSUE] = std::make_unique<kwDouble>(0.0, 0);
    _values[QV_FORMESS] = std::make_unique<kwText>(static_cast<size_t>(std::max(0, _widths[QV_FORMESS])));
    _values[QV_RULEID] = text(QV_RULEID);
    _values[QV_CLASSIF] = listText(QV_CLASSIF, 262);
    _values[QV_URGENCY] = listText(QV_URGENCY, 263);
    _values[QV_FOLLOWU] = listText(QV_FOLLOWU, 264);
    _values[QV_STATUS] = listText(QV_STATUS, 265);
    _values[QV_PROBLEM] = text(QV_PROBLEM);
    _values[QV_REVIEWE] = std::make_unique<kwBool>(false);
    _values[QV_INQNAME] = text(QV_INQNAME);
    _values[QV_RESPONS] = text(QV_RESPONS);
    _values[QV_EMAIL] = std::make_unique<kwBool>(false);
    _values[QV_DUEDATE] = std::make_unique<kwDate>();
    _values[QV_NOTDATE] = noDate();
    _values[QV_IOPERID] = text(QV_IOPERID);
    _values[QV_OPERCRE] = text(QV_OPERCRE);
    _values[QV_OPERCRE]->Set(oper.id);
    _values[QV_DATECRE] = std::make_unique<kwDate>();
    _values[QV_TIMECRE] = std::make_unique<kwTime>(kwTime::Now());
    for (int n : {QV_OPERCLO, QV_OPERCHG}) _values[n] = text(n);
    for (int n : {QV_DATECLO, QV_DATECHG}) _values[n] = noDate();
    for (int n : {QV_TIMECLO, QV_TIMECHG}) _values[n] = std::make_unique<kwTime>();

    for (int n = kFirstLinkField; n < kValueCount; ++n) {
        switch (n) {
        case QV_ARSTYPE:
        case QV_PRCKSEQ: _values[n] = std::make_unique<qvChoice>(_file, FieldNumber(n)); break;
        case QV_ARDATE:
        case QV_ARDEPDT:
        case QV_ARCDATE:
        case QV_BLGDATE:
        case QV_PRPDEND: _values[n] = noDate(); break;
        case QV_ARCTIME: _values[n] = std::make_unique<kwTime>(); break;
        case QV_ARSEQ:
        case QV_ARASEQ:
        case QV_BLGSEQ:
        case QV_JCCOITM:
        case QV_JCITEM:
        case QV_PMREV: _values[n] = std::make_unique<kwNum<short>>(0); break;
        case QV_CMTRUN:
        case QV_CMTSEQ:
        case QV_GLPRTNR: _values[n] = std::make_unique<kwNum<long>>(0); break;
        default: _values[n] = text(n); break;
        }
    }
}

double qvIssue::Number() const {
    x_value_def value;
    Value(QV_ISSUE).ToXval(value);
    return value.AsNumber();
}

bool qvIssue::IsFormattedKey(int n) const {
    if (!xk_multi_section(_kinds[n])) return false;
    xio_fld_def def{};
    return xio_get_fld_def(_file, FieldNumber(n), &def, 1, 1) == XIO_OK && def.formatFlag &&
           xk_multi_section(def.kind);
}

bool qvIssue::PutFields(int first, int end) {
    return MoveFields(first, end, [this](int n, short field) {
        if (n == QV_FORMESS) {
            xio_put_long_text(_file, field, Value(n).Format());
            return;
        }
        x_value_def value;
        Value(n).ToXval(value);
        // Sectioned keys are stored without their separators.
        if (IsFormattedKey(n))
            value.SetText(xk_unformat_field(_kinds[n], _qualifiers[n], x_utf8_cut(value.AsText(), X_VALUE_TEXT_MAX)));
        xio_put_field(_file, 0, field, &value);
    });
}

bool qvIssue::GetFields(int first, int end) {
    return MoveFields(first, end, [this](int n, short field) {
        if (n == QV_FORMESS) {
            std::string text;
            xio_get_long_text(_file, field, &text);
            Value(n).Set(text);
            return;
        }
        x_value_def value;
        xio_get_field(_file, 0, field, &value);
        if (IsFormattedKey(n)) value.SetText(xk_format_field(_kinds[n], _qualifiers[n], value.AsText()));
        if (!Value(n).FromXval(value) && value.IsText()) Value(n).Set(value.AsText());
    });
}

bool qvIssue::MoveFields(int first, int end, const std::function<void(int, short)>& move) {
    if (!_file) return false;
    first = std::max(first, 1);
    end = std::min(end, kValueCount);
    for (int n = first; n < end; ++n)
        if (const short field = FieldNumber(n)) move(n, field);
    return true;
}

bool qvIssue::ReadRecord(double number) {
    if (!_file) return false;
    xio_clr_record(_file, QV_RECORD_ISSUE);
    x_value_def key;
    key.SetNumber(number);
    xio_put_field(_file, 0, FieldNumber(QV_ISSUE), &key);
    const short status = xio_rd_record(_file, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0);
    if (status) {
        if (status != XIO_NO_RECORD) xio_io_error(_file, status);
        return false;
    }
    return GetFields(1, kValueCount);
}

bool qvIssue::AddRecord() {
    if (!_file) return false;
    xio_clr_record(_file, QV_RECORD_ISSUE);
    PutFields(1, kValueCount);
    short status = xio_wr_record(_file, QV_RECORD_ISSUE, 0);
    if (status) {
        xio_io_error(_file, status);
        return false;
    }
    status = xio_lock_record(_file, QV_RECORD_ISSUE);
    if (status) {
        xio_io_error(_file, status);
        return false;
    }
    return true;
}

bool qvIssue::ReplaceRecord() {
    if (!_file) return false;
    PutFields(1, 2);
    short status = xio_rd_record(_file, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 1);
    if (status) {
        xio_io_error(_file, status);
        return false;
    }
    PutFields(2, kValueCount);
    status = xio_rep_record(_file, QV_RECORD_ISSUE);
    if (status) xio_io_error(_file, status);
    xio_unlock_record(_file, QV_RECORD_ISSUE, 1);
    return status == XIO_OK;
}

bool qvIssue::DeleteRecord() {
    if (!_file) return false;
    const short status = xio_del_record(_file, QV_RECORD_ISSUE);
    if (status) {
        xio_io_error(_file, status);
        return false;
    }
    return true;
}

bool qvIssue::ClearLinkFields(int first, int end) {
    first = std::max(first, 0);
    end = std::min(end, kValueCount);
    for (int n = first; n < end; ++n) Value(n).Set(IsChoiceField(n) ? "1" : "");
    return true;
}
