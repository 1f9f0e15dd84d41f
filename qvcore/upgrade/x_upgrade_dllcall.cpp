// x_upgrade_dllcall: the library's conversions of the issue record during a data upgrade.
#include "qvcore/upgrade/qvUpgrade.h"

#include "kwcommon/values/kwString.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"
#include "qvcore/upgrade/qvBankRegister.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
const kwBase::Version kArsTypeThreshold(4, 3, 0);
const kwBase::Version kBankRegisterThreshold(7, 0, 0);

constexpr const char* kMissingCheck = "<8I> number %.0f not found for bank %s.  Issue %.0f deleted.";

// A conversion applies when the record passes its threshold.
bool Passes(const x_upgrade_def& record, const kwBase::Version& threshold) {
    return record.oldVersion < threshold && !(record.newVersion < threshold);
}

void Report(x_upgrade_def* record, const std::string& text) {
    if ((record->context[0] != 0 || record->context[1] != 0) && record->report)
        record->report(record->context, text.c_str());
}

// A field of the record in a file's buffer; a field the dictionary lacks reads as empty.
x_value_def FieldValue(short file, const char* name) {
    x_value_def value;
    if (const short field = xio_num(file, 0, 0, name)) xio_get_field(file, 0, field, &value);
    return value;
}

void PutNumber(short file, const char* name, double number) {
    const x_value_def value = x_value_def::OfNumber(number);
    if (const short field = xio_num(file, 0, 0, name)) xio_put_field(file, 0, field, &value);
}

// Before 4.3.0 ARSTYPE counted its items from 0, which now means no item.
void ConvertArsType(const x_upgrade_def& record) {
    const short field = xio_num(record.newFile, 0, 0, "ARSTYPE");
    if (!field) return;
    x_value_def value;
    if (xio_get_field(record.newFile, 0, field, &value) == XIO_OK && value.AsNumber() == 0)
        PutNumber(record.newFile, "ARSTYPE", 1);
}

// The text of the missing-check message. The bank account is the user's text: its "<"
// are doubled so the term-code pass shows them as they are.
std::string MissingCheckText(double check, const std::string& bank, double issue) {
    std::string escaped;
    for (char c : bank) {
        if (c == '<') escaped += '<';
        escaped += c;
    }
    const int size = std::snprintf(nullptr, 0, kMissingCheck, check, escaped.c_str(), issue);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, kMissingCheck, check, escaped.c_str(), issue);
    return kwString::ReplaceTermCodes(text);
}

// Before 7.0.0 an issue named a bank transaction by its check number; now by the
// transaction's run and sequence in the register.
short ConvertBankRegisterLink(x_upgrade_def* record) {
    const double check = FieldValue(record->oldFile, "CMCHECK").AsNumber();
    if (check == 0) return X_UPGRADE_OK;
    const std::string bank = FieldValue(record->oldFile, "CMBANK").AsText();
    qvBankRegister bankRegister([record](const std::string& text) { Report(record, text); });
    if (const short opened = bankRegister.Open()) return opened;
    double run = 0, sequence = 0;
    const short found = bankRegister.FindCheck(bank, check, &run, &sequence);
    bankRegister.Close();
    if (found == XIO_NO_RECORD) {
        Report(record, MissingCheckText(check, bank, FieldValue(record->oldFile, "ISSUE").AsNumber()));
        return X_UPGRADE_DROP;
    }
    if (found != XIO_OK) return found;
    PutNumber(record->newFile, "CMTRUN", run);
    PutNumber(record->newFile, "CMTSEQ", sequence);
    return X_UPGRADE_OK;
}
} // namespace

extern "C" short x_upgrade_dllcall(x_upgrade_def* record) {
    if (!record) return X_UPGRADE_FAILED;
    const std::string abbrev(record->abbrev, strnlen(record->abbrev, sizeof record->abbrev));
    if (record->step != X_UPGRADE_STEP_CONVERT || record->recordType != 1 || !x_equal_nocase(abbrev, "QVI"))
        return X_UPGRADE_OK;
    if (Passes(*record, kArsTypeThreshold)) ConvertArsType(*record);
    if (Passes(*record, kBankRegisterThreshold)) return ConvertBankRegisterLink(record);
    return X_UPGRADE_OK;
}
