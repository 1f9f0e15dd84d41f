// An issue's links to records of other applications, kept twice: as link records in the
// issue file and as cross-reference records in each application's own file (its code
// followed by "Z"), so that the application finds the issues that name its records. And
// the issue's attachments.
#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvErrorMessage.h"
#include "qvcore/store/qvGet_kwData.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/attachments/kwioAttachments.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/values/kwChoice.h"
#include "kwcommon/x_log.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

#include <memory>

namespace {

constexpr const char* kModule = "QVCORE.DLL";

// Fields of the link record. FILEABB and RECNUM are found by their place after AISSUE,
// as every version of the issue dictionary has kept them there.
struct LinkRecordFields {
    short issue = 0;
    short fileAbbrev = 0;
    short recNum = 0;
    short recDesc = 0;
    short dataDesc = 0;
};

LinkRecordFields LinkFieldsOf(short file) {
    LinkRecordFields fields;
    fields.issue = xio_num(file, 0, 0, "AISSUE");
    fields.fileAbbrev = static_cast<short>(fields.issue + 1);
    fields.recNum = static_cast<short>(fields.issue + 2);
    fields.recDesc = xio_num(file, 0, 0, "RECDESC");
    fields.dataDesc = xio_num(file, 0, 0, "DATADES");
    return fields;
}

void PutText(short file, short field, const std::string& text) {
    x_value_def value;
    value.SetText(text);
    xio_put_field(file, 0, field, &value);
}

void PutNumber(short file, short field, double number) {
    x_value_def value;
    value.SetNumber(number);
    xio_put_field(file, 0, field, &value);
}

x_value_def GetField(short file, short field) {
    x_value_def value;
    xio_get_field(file, 0, field, &value);
    return value;
}

std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// Cross-reference files are opened quietly: one that is absent, in use or damaged is
// skipped without asking the user anything, and none is ever made here. A file that
// holds links is opened for reading only when links are only read. A write that had to
// skip its file is noted in the log, since the application then misses a cross-reference.
short OpenCrossReference(kwioDataFile& xref, const std::string& abbrev, short program, bool forChange) {
    const short status = xref.PromptedOpen(abbrev, program, "", forChange ? 0 : 1, false, true, false);
    if (status != XIO_OK && status != XIO_ABSENT && forChange) {
        const std::string text = "The cross-reference file " + abbrev + " was skipped: " + xio_status_text(status);
        x_log(program, text.c_str());
    }
    return status;
}

// The choice items of a field, so a choice value shows its text rather than nothing.
std::vector<std::string> ChoiceItems(short file, const xio_fld_def& def) {
    std::vector<std::string> items;
    char text[X_VALUE_TEXT_MAX + 1];
    for (short item = 1; item <= def.itemCount; ++item) {
        if (xio_get_item_alpha(file, def.number, item, text, sizeof(text)) != XIO_OK) break;
        items.emplace_back(text);
    }
    return items;
}

} // namespace

short qvIssue::FindLinkField(short kindCode, short qualifier, short* index) const {
    // Without a file nothing is known of the fields' kinds, so nothing can match.
    if (!_file) return 0;
    for (short n = kFirstLinkField; n < kValueCount; ++n) {
        if (_kinds[n] != kindCode || _qualifiers[n] != qualifier || !FieldNumber(n)) continue;
        if (index) *index = n;
        return FieldNumber(n);
    }
    return 0;
}

namespace {

// Fills the key of a cross-reference record from the issue's link fields in the issue
// file's buffer; the last field takes the issue number. false when the cross-reference
// file has no such record type.
bool FillCrossReference(const qvIssue& issue, short issueFile, short xref, short type) {
    xio_rec_def rec{};
    if (xio_get_rec_def(xref, type, &rec, 1) != XIO_OK || rec.fieldCount < 1) return false;
    xio_clr_record(xref, type);
    for (short i = 0; i + 1 < rec.fieldCount; ++i) {
        xio_fld_def def{};
        const short field = static_cast<short>(rec.firstField + i);
        if (xio_get_fld_def(xref, field, &def, 1, 1) != XIO_OK) continue;
        const short linkField = issue.FindLinkField(def.kind, def.qualifier);
        if (!linkField) continue;
        const x_value_def value = GetField(issueFile, linkField);
        xio_put_field(xref, 0, field, &value);
    }
    PutNumber(xref, static_cast<short>(rec.firstField + rec.fieldCount - 1), issue.Number());
    return true;
}

} // namespace

bool qvIssue::AddLink(const LinkedRecord& link) {
    if (!_file) return false;
    PutFields(1, kValueCount);

    const LinkRecordFields fields = LinkFieldsOf(_file);
    const std::string fileAbbrev = x_utf8_cut(link.applAbbrev + "Z", X_VALUE_TEXT_MAX);
    xio_clr_record(_file, QV_RECORD_LINK);
    PutNumber(_file, fields.issue, Number());
    PutText(_file, fields.fileAbbrev, fileAbbrev);
    PutNumber(_file, fields.recNum, link.xrefRecType);
    PutText(_file, fields.recDesc, link.recDesc);
    PutText(_file, fields.dataDesc, link.dataDesc);
    const short linkStatus = xio_wr_record(_file, QV_RECORD_LINK, 0);
    if (linkStatus) xio_io_error(_file, linkStatus);

    // The application's own record of the link; the link stays even when its file is
    // not there.
    kwioDataFile xref;
    if (OpenCrossReference(xref, fileAbbrev, _program, true) != XIO_OK) return linkStatus == XIO_OK;
    FillCrossReference(*this, _file, xref.FileNum(), link.xrefRecType);
    const short xrefStatus = xio_wr_record(xref.FileNum(), link.xrefRecType, 0);
    // Told against the cross-reference file, so the message names the file that failed.
    if (xrefStatus) xio_io_error(xref.FileNum(), xrefStatus);
    xref.Close();
    // A link record that was not written is no link, whatever the application's file says.
    return linkStatus == XIO_OK && xrefStatus == XIO_OK;
}

namespace {

// Removes the cross-reference record of the link record in the issue file's buffer.
void RemoveCrossReference(const qvIssue& issue, short issueFile, const LinkRecordFields& fields) {
    const std::string abbrev = TrimRight(GetField(issueFile, fields.fileAbbrev).AsText());
    const short type = static_cast<short>(GetField(issueFile, fields.recNum).AsNumber());
    kwioDataFile xref;
    if (abbrev.empty() || OpenCrossReference(xref, abbrev, issue.ProgramNumber(), true) != XIO_OK) return;
    if (!FillCrossReference(issue, issueFile, xref.FileNum(), type)) return;
    short status = xio_rd_record(xref.FileNum(), type, 0, 1);
    if (status == XIO_OK) status = xio_del_record(xref.FileNum(), type);
    // A record that is gone already is what was wanted; anything else leaves a stale
    // cross-reference and is worth telling.
    if (status != XIO_OK && status != XIO_NO_RECORD) xio_io_error(xref.FileNum(), status);
    xref.Close();
}

bool BelongsTo(short issueFile, const LinkRecordFields& fields, double issue) {
    return GetField(issueFile, fields.issue).AsNumber() == issue;
}

// The next link record of the walk, read with lock. A record locked by another user that
// belongs to another issue ends the walk like the end of the file: it is none of ours.
short ReadLinkForChange(short file, const LinkRecordFields& fields, double issue, bool first) {
    const short status =
        first ? xio_rd_ge(file, QV_RECORD_LINK, QV_KEY_LINK, 1) : xio_rd_next(file, QV_RECORD_LINK, QV_KEY_LINK, 1);
    if (status != XIO_LOCKED) return status;
    const short peek =
        first ? xio_rd_ge(file, QV_RECORD_LINK, QV_KEY_LINK, 0) : xio_rd_next(file, QV_RECORD_LINK, QV_KEY_LINK, 0);
    if (peek == XIO_OK && !BelongsTo(file, fields, issue)) return XIO_NO_RECORD;
    return XIO_LOCKED;
}

} // namespace

bool qvIssue::DeleteLinks() {
    if (!_file) return false;
    PutFields(1, 2);
    short status = xio_rd_record(_file, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 1);
    if (status) {
        xio_io_error(_file, status);
        return false;
    }

    const LinkRecordFields fields = LinkFieldsOf(_file);
    const double issue = Number();
    bool ok = true;
    xio_clr_record(_file, QV_RECORD_LINK);
    PutNumber(_file, fields.issue, issue);
    status = ReadLinkForChange(_file, fields, issue, true);
    while (status == XIO_OK) {
        if (!BelongsTo(_file, fields, issue)) {
            xio_unlock_record(_file, QV_RECORD_LINK, 1);
            break;
        }
        RemoveCrossReference(*this, _file, fields);
        status = xio_del_record(_file, QV_RECORD_LINK);
        if (status) {
            xio_unlock_record(_file, QV_RECORD_LINK, 1);
            break;
        }
        status = ReadLinkForChange(_file, fields, issue, false);
    }
    if (status != XIO_OK && status != XIO_NO_RECORD) {
        xio_io_error(_file, status);
        ok = false;
    }
    xio_unlock_record(_file, QV_RECORD_ISSUE, 1);
    if (ok) ClearLinkFields(kFirstLinkField, kValueCount);
    return ok;
}

bool qvIssue::ReadLinks(std::vector<LinkedRecord*>& list) {
    if (!_file) return false;
    // The key values come from the stored issue: they are the ones its cross-reference
    // records were written with. An issue not stored yet lends its own values.
    PutFields(1, 2);
    if (xio_rd_record(_file, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0) != XIO_OK) PutFields(1, kValueCount);

    const LinkRecordFields fields = LinkFieldsOf(_file);
    const double issue = Number();
    xio_clr_record(_file, QV_RECORD_LINK);
    PutNumber(_file, fields.issue, issue);
    short status = xio_rd_ge(_file, QV_RECORD_LINK, QV_KEY_LINK, 0);
    while (status == XIO_OK && BelongsTo(_file, fields, issue)) {
        auto link = std::make_unique<LinkedRecord>();
        link->applAbbrev = TrimRight(GetField(_file, fields.fileAbbrev).AsText()).substr(0, 2);
        link->xrefRecType = static_cast<int16_t>(GetField(_file, fields.recNum).AsNumber());
        link->recDesc = TrimRight(GetField(_file, fields.recDesc).AsText());
        link->dataDesc = GetField(_file, fields.dataDesc).AsText();

        kwioDataFile xref;
        xio_rec_def rec{};
        if (OpenCrossReference(xref, link->applAbbrev + "Z", _program, false) == XIO_OK &&
            xio_get_rec_def(xref.FileNum(), link->xrefRecType, &rec, 1) == XIO_OK) {
            for (short i = 0; i + 1 < rec.fieldCount; ++i) {
                xio_fld_def def{};
                if (xio_get_fld_def(xref.FileNum(), static_cast<short>(rec.firstField + i), &def, 1,
                                    1) != XIO_OK)
                    continue;
                short index = 0;
                const short linkField = FindLinkField(def.kind, def.qualifier, &index);
                if (!linkField) continue;
                link->keyKindCodes.push_back(def.kind);
                link->keyQualifiers.push_back(def.qualifier);
                std::string text;
                std::unique_ptr<kwData> value = qvGet_kwData(def);
                if (auto* choice = dynamic_cast<kwChoice*>(value.get()))
                    choice->SetItems(ChoiceItems(xref.FileNum(), def));
                if (value && value->FromXval(GetField(_file, linkField)))
                    text = value->Format();
                else
                    text = Value(index).Format();
                if (def.formatFlag && xk_multi_section(def.kind))
                    text = xk_format_field(def.kind, def.qualifier, text);
                link->keyValues.push_back(text);
            }
        }
        xref.Close();
        list.push_back(link.release());
        status = xio_rd_next(_file, QV_RECORD_LINK, QV_KEY_LINK, 0);
    }
    if (status != XIO_OK && status != XIO_NO_RECORD) {
        xio_io_error(_file, status);
        return false;
    }
    return true;
}

short qvIssue::Attachments() {
    if (!_file) return XIO_BAD_FILE_NUMBER;
    if (!_attachments) _attachments = std::make_shared<kwioAttachments>(_file, QV_RECORD_ISSUE);
    // The list belongs to the issue whose number is in the record buffer.
    PutFields(1, 2);
    const short status = _attachments->Fetch();
    if (status == XIO_IN_USE)
        qvErrorMessage(500, _program, kModule);
    else if (status != XIO_OK)
        xio_io_error(_file, status);
    return status;
}
