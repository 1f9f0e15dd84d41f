// qvadmin dict show ABBR and file dump ABBR: a dictionary's definitions and a file's records,
// or the issues a saved query selects.
#include "AdminCommand.h"
#include "AdminSelection.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvIssueSelection.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"

#include <cstdio>
#include <ostream>

namespace {

const char* TypeName(short type) {
    switch (type) {
    case XIO_TEXT: return "text";
    case XIO_NUMBER: return "number";
    case XIO_YESNO: return "yes/no";
    case XIO_DATE: return "date";
    case XIO_TIME: return "time";
    case XIO_PHONE: return "phone";
    case XIO_SSN: return "ssn";
    default: return "choice";
    }
}

bool ParseShort(const std::string& text, short* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || parsed < -32768 || parsed > 32767) return false;
    *value = static_cast<short>(parsed);
    return true;
}

} // namespace

int AdminDictShow(AdminContext& context) {
    if (context.args.size() != 1) {
        context.err << "usage: qvadmin [--data DIR] dict show ABBR\n";
        return kAdminUserError;
    }
    kwioDictFile dict;
    const short status = dict.Open(context.args[0]);
    if (status) {
        context.err << "qvadmin: cannot open the dictionary of " << context.args[0] << ": " << xio_status_text(status)
                    << "\n";
        return status == XIO_ABSENT ? kAdminUserError : kAdminDataError;
    }
    const short f = dict.FileNum();
    xio_def def{};
    xio_get_def(f, &def, 0);
    auto& out = context.out;
    out << "file\t" << def.abbrev << "\t" << def.description << "\tdefault file " << def.defaultFileName
        << "\tdata version " << def.dataVersion << "\tkeys " << def.keyCount << "\n";
    const short headerFirst = static_cast<short>(def.fieldCount - def.headerFieldCount + 1);
    for (short type = 1; type <= 255; ++type) {
        xio_rec_def rec{};
        if (xio_get_rec_def(f, type, &rec, 1)) continue;
        out << "record type " << rec.number << "\t" << rec.name << "\t" << rec.description << "\tfields "
            << rec.fieldCount << "\tfirst " << rec.firstField << "\n";
        out << "  no\tname\ttype\twidth\twidth2\tkind\tqualifier\tflags\tdescription\n";
        auto showField = [&](short number) {
            xio_fld_def fd{};
            xio_get_fld_def(f, number, &fd, 1, 1);
            std::string flags;
            if (fd.longText) flags += "L";
            if (fd.caseFlag) flags += "C";
            if (fd.monthYear) flags += "M";
            if (fd.listFlag) flags += "l";
            if (fd.listOnly) flags += "o";
            if (fd.formatFlag) flags += "F";
            if (fd.hidden) flags += "H";
            out << "  " << fd.number << "\t" << fd.name << "\t" << fd.type << " " << TypeName(fd.type) << "\t"
                << fd.width << "\t" << fd.width2 << "\t" << fd.kind << "\t" << fd.qualifier << "\t"
                << (flags.empty() ? "-" : flags) << "\t" << fd.description;
            for (short item = 1; item <= fd.itemCount; ++item) {
                char text[128];
                xio_get_item_alpha(f, number, item, text, sizeof(text));
                out << (item == 1 ? "\titems: " : ", ") << text;
            }
            out << "\n";
        };
        for (short n = rec.firstField; n < rec.firstField + rec.fieldCount; ++n) showField(n);
        for (short key = 0; key <= def.keyCount; ++key) {
            xio_key_def kd{};
            if (xio_get_key_def(f, key, &kd, type)) continue;
            out << "  key " << kd.number << "\t" << kd.name << "\t";
            for (int i = 0; i < kd.fieldCount; ++i) {
                xio_fld_def fd{};
                xio_get_fld_def(f, kd.fields[i], &fd, 1, 1);
                out << (i ? ", " : "") << fd.name;
            }
            out << (kd.unique ? "\tunique" : "") << (kd.internal ? "\tinternal" : "")
                << (kd.userOrder ? "\torder" : "") << "\n";
        }
    }
    if (def.headerFieldCount > 0) {
        out << "header\n";
        for (short n = headerFirst; n <= def.fieldCount; ++n) {
            xio_fld_def fd{};
            xio_get_fld_def(f, n, &fd, 1, 1);
            out << "  " << fd.number << "\t" << fd.name << "\t" << fd.type << " " << TypeName(fd.type) << "\n";
        }
    }
    return kAdminOk;
}

int AdminFileDump(AdminContext& context) {
    static const char* usage =
        "usage: qvadmin [--data DIR] file dump ABBR [--type N] [--key K]\n"
        "       qvadmin [--data DIR] file dump QVI --query NAME [--operator ID]\n";
    std::string abbrev;
    short type = 1, key = 0;
    bool typed = false, keyed = false;
    AdminSelectionOptions selecting;
    std::string error;
    if (!AdminTakeSelectionOptions(context.args, &selecting, &error)) {
        context.err << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    for (size_t i = 0; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        if ((arg == "--type" || arg == "--key") && i + 1 < context.args.size()) {
            short* target = arg == "--type" ? &type : &key;
            (arg == "--type" ? typed : keyed) = true;
            if (!ParseShort(context.args[++i], target)) {
                context.err << "qvadmin: " << arg << " takes a number\n";
                return kAdminUserError;
            }
        } else if (abbrev.empty() && arg[0] != '-') {
            abbrev = arg;
        } else {
            context.err << usage;
            return kAdminUserError;
        }
    }
    if (abbrev.empty()) {
        context.err << usage;
        return kAdminUserError;
    }
    // A saved query selects issues: its order takes the place of a key.
    if (selecting.Selecting() && (!x_equal_nocase(abbrev, "QVI") || keyed || (typed && type != 1))) {
        context.err << "qvadmin: --query and --operator select issues of QVI, in the query's order (no --type or "
                       "--key)\n";
        return kAdminUserError;
    }
    kwioDataFile file;
    short status = file.PromptedOpen(abbrev, 1, "", 1, false, true, false);
    if (status == XIO_ABSENT) return kAdminOk; // no file yet: no records
    if (status) {
        context.err << "qvadmin: cannot open " << abbrev << ": " << xio_status_text(status) << "\n";
        return kAdminDataError;
    }
    const short f = file.FileNum();
    xio_rec_def rec{};
    if (xio_get_rec_def(f, type, &rec, 1)) {
        context.err << "qvadmin: " << abbrev << " has no record type " << type << "\n";
        return kAdminUserError;
    }
    xio_key_def kd{};
    if (xio_get_key_def(f, key, &kd, type)) {
        context.err << "qvadmin: record type " << type << " of " << abbrev << " has no key " << key << "\n";
        return kAdminUserError;
    }
    auto& out = context.out;
    for (short n = rec.firstField; n < rec.firstField + rec.fieldCount; ++n) {
        xio_fld_def fd{};
        xio_get_fld_def(f, n, &fd, 1, 1);
        out << (n == rec.firstField ? "" : "\t") << fd.name;
    }
    out << "\n";
    auto dump = [&](short) {
        for (short n = rec.firstField; n < rec.firstField + rec.fieldCount; ++n) {
            xio_fld_def fd{};
            xio_get_fld_def(f, n, &fd, 1, 1);
            std::string text;
            if (fd.type == XIO_TEXT || fd.type == XIO_PHONE) {
                xio_get_long_text(f, n, &text);
                for (char& c : text)
                    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
            } else {
                x_value_def v;
                xio_get_field(f, n, n, &v);
                text = v.AsText();
            }
            out << (n == rec.firstField ? "" : "\t") << text;
        }
        out << "\n";
        return true;
    };
    if (selecting.Selecting()) {
        Prefs::Load(); // the responsible-person filter's switches
        qvIssueSelection selection(f, kAdminViewProgram);
        if (const int code = AdminPrepareSelection(selection, selecting, context.err)) return code;
        status = selection.Walk(dump);
        if (status == XIO_OK) status = XIO_NO_RECORD;
    } else {
        xio_clr_record(f, type);
        for (status = xio_rd_first(f, type, key, 0); status == 0; status = xio_rd_next(f, type, key, 0)) dump(f);
    }
    if (status != XIO_NO_RECORD) {
        context.err << "qvadmin: reading " << abbrev << " failed: " << xio_status_text(status) << "\n";
        return kAdminDataError;
    }
    return kAdminOk;
}
