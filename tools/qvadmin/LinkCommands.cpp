// qvadmin issue link/links/unlink/notify: an issue's links to records of the suite's other
// applications, kept as the New Issue sheet keeps them, and its notification mail.
//
// A link is built as the Link Wizard builds it: the application's issue dictionary (its
// code followed by "Z", the dictionary of its cross-reference file) names the kinds of
// records an issue can point to, each a record type whose fields are the record's key
// fields and, last, the issue number. The data dictionary record type whose key 0 has the
// same kind codes and qualifiers in the same order holds the records (qvLinkTarget, which
// the wizard uses too). Like the wizard, which only offers records that exist, the command
// refuses key values that name no record of the application's data file; and the issue's
// list of links takes the new one by the sheet's rules (niLinkList).
#include "AdminCommand.h"
#include "AdminInput.h"

#include "qvcore/newissue/niLinkList.h"
#include "qvcore/newissue/niNotify.h"
#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/store/qvLinkTarget.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/values/kwChoice.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"
#include "kwcommon/xs.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>

namespace {

// Unlocks the issue record when the command ends, whichever way.
class IssueLock {
public:
    explicit IssueLock(short file) : _file(file) {}
    ~IssueLock() { xio_unlock_record(_file, QV_RECORD_ISSUE, 1); }
    IssueLock(const IssueLock&) = delete;
    IssueLock& operator=(const IssueLock&) = delete;

private:
    short _file;
};

// The issue named on the command line, read from the open issue file.
int ReadIssue(AdminContext& context, const std::string& text, qvIssue& issue) {
    double number = 0;
    std::string error;
    if (!AdminParseIssueNumber(text, &number, &error)) {
        context.err << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    if (!issue.ReadRecord(number)) {
        context.err << "qvadmin: there is no issue " << text << "\n";
        return kAdminUserError;
    }
    return kAdminOk;
}

// Locks the issue's record for a change, so nobody else edits it meanwhile, and takes its
// values afresh from the locked record.
int LockIssue(AdminContext& context, qvIssue& issue) {
    issue.PutFields(QV_ISSUE, QV_ISSUE + 1);
    const short status = xio_rd_record(issue.FileNumber(), QV_RECORD_ISSUE, 0, 1);
    if (status == XIO_LOCKED) {
        context.err << "qvadmin: issue " << issue.Value(QV_ISSUE).Format() << " is in use by another user\n";
        return kAdminDataError;
    }
    if (status) {
        context.err << "qvadmin: issue " << issue.Value(QV_ISSUE).Format()
                    << " cannot be read: " << xio_status_text(status) << "\n";
        return kAdminDataError;
    }
    issue.GetFields(1, qvIssue::kValueCount);
    return kAdminOk;
}

// Who changed the issue and when, as every written change of an issue records.
void StampChange(qvIssue& issue) {
    xs_oper_def oper{};
    xs_get_oper_def(&oper);
    issue.Value(QV_OPERCHG).Set(oper.id);
    if (auto* date = dynamic_cast<kwDate*>(&issue.Value(QV_DATECHG))) date->SetToday();
    if (auto* time = dynamic_cast<kwTime*>(&issue.Value(QV_TIMECHG))) time->SetNow();
}

std::vector<std::unique_ptr<LinkedRecord>> Links(qvIssue& issue, bool* ok) {
    std::vector<LinkedRecord*> list;
    *ok = issue.ReadLinks(list);
    std::vector<std::unique_ptr<LinkedRecord>> owned;
    for (LinkedRecord* link : list) owned.emplace_back(link);
    return owned;
}

std::string KeyText(const std::vector<std::string>& values) {
    std::string text;
    for (const std::string& value : values) text += (text.empty() ? "" : " ") + value;
    return text;
}

std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

struct LinkRequest {
    std::string app;
    std::string typeText;
    std::vector<std::string> keys;
    std::string dict;
    std::string fileType;
};

// The issue dictionary record type named by number or by name ("VENDOR ISSUE", "Vendor").
bool FindIssueRecordType(short dict, const std::string& text, short* type, xio_rec_def* rec) {
    xio_def def{};
    xio_get_def(dict, &def, 0);
    for (short t = 1; t <= def.recordTypeCount; ++t) {
        if (xio_get_rec_def(dict, t, rec, 1) != XIO_OK) continue;
        std::string shortName = rec->name;
        const size_t issueWord = x_init_caps(shortName).find("Issue");
        if (issueWord != std::string::npos) shortName = std::string(x_trim(shortName.substr(0, issueWord)));
        if (text == std::to_string(t) || x_equal_nocase(text, rec->name) || x_equal_nocase(text, shortName) ||
            x_equal_nocase(text, rec->description)) {
            *type = t;
            return true;
        }
    }
    return false;
}

std::string RecordTypeList(short dict, const std::string& app) {
    std::string list;
    xio_def def{};
    xio_get_def(dict, &def, 0);
    for (short t = 1; t <= def.recordTypeCount; ++t) {
        xio_rec_def rec{};
        if (xio_get_rec_def(dict, t, &rec, 1) == XIO_OK)
            list += (list.empty() ? "" : ", ") + std::to_string(t) + " " + app + " " + rec.description;
    }
    return list;
}

int ParseLinkRequest(AdminContext& context, LinkRequest* request) {
    static const char* usage =
        "usage: qvadmin issue link N --app XX --type T --key VALUE... [--dict DIC] [--file-type NAME]\n";
    bool inKeys = false;
    for (size_t i = 1; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        const bool option = arg == "--app" || arg == "--type" || arg == "--dict" || arg == "--file-type";
        if (option && i + 1 < context.args.size()) {
            inKeys = false;
            std::string& target = arg == "--app"    ? request->app
                                  : arg == "--type" ? request->typeText
                                  : arg == "--dict" ? request->dict
                                                    : request->fileType;
            target = context.args[++i];
        } else if (arg == "--key") {
            inKeys = true;
        } else if (inKeys) {
            request->keys.push_back(arg);
        } else {
            context.err << usage;
            return kAdminUserError;
        }
    }
    if (request->app.empty() || request->typeText.empty() || request->keys.empty()) {
        context.err << usage;
        return kAdminUserError;
    }
    for (char& c : request->app)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (char& c : request->dict)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (request->app.size() != 2 || !AdminIsUtf8(request->app)) {
        context.err << "qvadmin: --app takes an application's two-letter code (AP, AR, GL ...)\n";
        return kAdminUserError;
    }
    return kAdminOk;
}

} // namespace

int AdminIssueLink(AdminContext& context) {
    if (context.args.empty()) {
        context.err << "usage: qvadmin issue link N --app XX --type T --key VALUE...\n";
        return kAdminUserError;
    }
    LinkRequest request;
    if (const int code = ParseLinkRequest(context, &request)) return code;

    qvIssueFile file(kAdminIssueProgram);
    if (!file.Open()) return kAdminDataError;
    qvIssue issue(file.Number(), kAdminIssueProgram, false);
    if (const int code = ReadIssue(context, context.args[0], issue)) return code;
    if (const int code = LockIssue(context, issue)) return code;
    IssueLock unlock(file.Number());

    // The kinds of records the application links issues to.
    kwioDictFile issueDict;
    const std::string issueDictName = request.app + "Z";
    if (const short status = issueDict.Open(issueDictName)) {
        context.err << "qvadmin: " << request.app << " stores no issues: its issue dictionary " << issueDictName
                    << " cannot be opened (" << xio_status_text(status) << ")\n";
        return status == XIO_ABSENT ? kAdminUserError : kAdminDataError;
    }
    short xrefType = 0;
    xio_rec_def xrefRec{};
    if (!FindIssueRecordType(issueDict.FileNum(), request.typeText, &xrefType, &xrefRec)) {
        context.err << "qvadmin: " << request.app << " links issues to no record type " << AdminShown(request.typeText)
                    << "; its record types are " << RecordTypeList(issueDict.FileNum(), request.app) << "\n";
        return kAdminUserError;
    }
    // Its fields but the last (the issue number) are the linked record's key fields.
    std::vector<xio_fld_def> keyFields;
    for (short i = 0; i + 1 < xrefRec.fieldCount; ++i) {
        xio_fld_def def{};
        xio_get_fld_def(issueDict.FileNum(), static_cast<short>(xrefRec.firstField + i), &def, 1, 1);
        keyFields.push_back(def);
    }
    const std::string recordWords = request.app + " " + xrefRec.description;
    if (request.keys.size() != keyFields.size()) {
        std::string names;
        for (const xio_fld_def& def : keyFields) names += (names.empty() ? "" : ", ") + std::string(def.description);
        context.err << "qvadmin: a link to a " << recordWords << " takes " << keyFields.size() << " key value"
                    << (keyFields.size() == 1 ? "" : "s") << " (" << names << "); " << request.keys.size()
                    << " were given\n";
        return kAdminUserError;
    }

    // The record's key values go into the issue's link fields, checked in their formats.
    std::vector<short> linkIndexes;
    for (size_t i = 0; i < keyFields.size(); ++i) {
        short index = 0;
        if (!issue.FindLinkField(keyFields[i].kind, keyFields[i].qualifier, &index)) {
            context.err << "qvadmin: the issue file has no link field for " << request.app << " "
                        << keyFields[i].description << " (kind " << keyFields[i].kind << ", qualifier "
                        << keyFields[i].qualifier << ")\n";
            return kAdminDataError;
        }
        const std::string& value = request.keys[i];
        std::unique_ptr<kwData> probe = issue.Value(index).Clone();
        if (!AdminIsUtf8(value) || !probe->Set(value)) {
            context.err << "qvadmin: " << AdminShown(value) << " is not a valid " << keyFields[i].description;
            if (dynamic_cast<kwDate*>(probe.get())) context.err << ": give a date as " << kwCompany::DateFormat();
            if (const auto* choice = dynamic_cast<kwChoice*>(probe.get())) {
                context.err << ": give one of ";
                for (int n = 1; n <= choice->Count(); ++n) context.err << (n > 1 ? ", " : "") << choice->Item(n);
            }
            context.err << "\n";
            return kAdminUserError;
        }
        issue.Value(index).CopyFrom(*probe);
        linkIndexes.push_back(index);
    }

    // The data file that holds such records, as the wizard's third step finds it.
    short linkGroup = xrefRec.linkGroup;
    const std::vector<qvDataRecordType> candidates = qvFindDataRecordTypes(request.app, keyFields, &linkGroup);
    std::vector<qvDataRecordType> chosen;
    for (const qvDataRecordType& candidate : candidates) {
        if (!request.dict.empty() && request.dict != candidate.dictName) continue;
        if (!request.fileType.empty() && !x_equal_nocase(request.fileType, candidate.fileType) &&
            request.fileType != std::to_string(candidate.fileMask))
            continue;
        chosen.push_back(candidate);
    }
    if (chosen.size() != 1) {
        if (candidates.empty()) {
            context.err << "qvadmin: no data dictionary of " << request.app << " holds " << recordWords
                        << " records: the key fields match no record of the application\n";
            return kAdminDataError;
        }
        context.err << "qvadmin: choose the file of the " << recordWords << " with --dict and --file-type:";
        for (const qvDataRecordType& candidate : candidates)
            context.err << "\n  --dict " << candidate.dictName
                        << (candidate.fileType.empty() ? "" : " --file-type '" + candidate.fileType + "'") << "   "
                        << candidate.text;
        context.err << "\n";
        return kAdminUserError;
    }
    const qvDataRecordType target = chosen.front();

    // The record itself, found by the key values as the issue's link fields show them.
    qvLinkedData data;
    const short opened = data.Open(target.dictName, kAdminIssueProgram);
    std::vector<std::string> keyTexts;
    for (short index : linkIndexes) keyTexts.push_back(issue.Value(index).Format());
    const short found = opened ? opened : data.Find(target.recType, keyTexts);
    xio_rec_def dataRec{};
    if (opened == XIO_OK) xio_get_rec_def(data.FileNum(), target.recType, &dataRec, 1);
    if (found == XIO_NO_RECORD || found == XIO_ABSENT || found == XIO_BAD_VALUE) {
        const std::string what = dataRec.description[0] ? dataRec.description : xrefRec.description;
        context.err << "qvadmin: " << request.app << " has no " << what << " "
                    << AdminShown(KeyText(request.keys)) << " in " << target.text
                    << (found == XIO_ABSENT ? " (its data file is not there)" : "") << "\n";
        return kAdminUserError;
    }
    if (found != XIO_OK) {
        context.err << "qvadmin: " << target.text << " cannot be read: " << xio_status_text(found) << "\n";
        return kAdminDataError;
    }

    // The link as the wizard completes it: the key values as the record shows them, the
    // record type's name, and the column after the key as the data's description.
    const std::vector<xio_fld_def> dataKey = qvKeyFields(data.FileNum(), target.recType);
    auto link = std::make_unique<LinkedRecord>();
    for (size_t i = 0; i < keyFields.size(); ++i) {
        link->keyKindCodes.push_back(keyFields[i].kind);
        link->keyQualifiers.push_back(keyFields[i].qualifier);
        const std::string shown = i < dataKey.size() ? data.Shown(dataKey[i]) : keyTexts[i];
        issue.Value(linkIndexes[i]).Set(shown);
        link->keyValues.push_back(issue.Value(linkIndexes[i]).Format());
    }
    link->applAbbrev = request.app;
    link->xrefRecType = xrefType;
    link->dictName = target.dictName;
    link->recType = target.recType;
    link->fileMask = target.fileMask;
    link->recDesc = x_init_caps(dataRec.name);
    const std::string description = data.Description(target.recType);
    if (!description.empty()) link->dataDesc = description + " ";
    data.Close();

    // The issue's links take the new one by the New Issue sheet's rules: a link of the same
    // first key kind gives way, the links to its parent records come with it.
    bool ok = false;
    std::vector<std::unique_ptr<LinkedRecord>> owned = Links(issue, &ok);
    if (!ok) {
        context.err << "qvadmin: the links of issue " << context.args[0] << " cannot be read\n";
        return kAdminDataError;
    }
    for (const auto& existing : owned) {
        if (existing->applAbbrev == link->applAbbrev && existing->xrefRecType == link->xrefRecType &&
            existing->keyValues == link->keyValues) {
            context.err << "qvadmin: issue " << context.args[0] << " is already linked to " << recordWords << " "
                        << KeyText(link->keyValues) << "\n";
            return kAdminUserError;
        }
    }
    std::vector<LinkedRecord*> links;
    for (auto& existing : owned) links.push_back(existing.release());
    // The list owns its links from here on, whatever the rules delete or add.
    struct DeleteLinks {
        std::vector<LinkedRecord*>& list;
        ~DeleteLinks() {
            for (LinkedRecord* each : list) delete each;
        }
    } deleteLinks{links};
    const std::string linkText = link->recDesc + " " + KeyText(link->keyValues) +
                                 (link->dataDesc.empty() ? "" : " (" + TrimRight(link->dataDesc) + ")");
    niAddLink(links, std::move(link), kAdminIssueProgram, nullptr);
    StampChange(issue);
    bool complete = false;
    if (!niStoreLinks(issue, links, &complete) || !issue.ReplaceRecord() || !complete) {
        context.err << "qvadmin: the link could not be stored completely\n";
        return kAdminDataError;
    }
    context.out << "issue " << context.args[0] << " linked to " << request.app << " " << linkText << "\n";
    return kAdminOk;
}

int AdminIssueLinks(AdminContext& context) {
    if (context.args.size() != 1) {
        context.err << "usage: qvadmin issue links N\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminIssueProgram);
    if (!file.Open()) return kAdminDataError;
    qvIssue issue(file.Number(), kAdminIssueProgram, false);
    if (const int code = ReadIssue(context, context.args[0], issue)) return code;
    bool ok = false;
    for (const auto& link : Links(issue, &ok))
        context.out << link->applAbbrev << "\t" << link->recDesc << "\t" << KeyText(link->keyValues) << "\t"
                    << TrimRight(link->dataDesc) << "\n";
    return ok ? kAdminOk : kAdminDataError;
}

int AdminIssueUnlink(AdminContext& context) {
    if (context.args.size() != 1) {
        context.err << "usage: qvadmin issue unlink N\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminIssueProgram);
    if (!file.Open()) return kAdminDataError;
    qvIssue issue(file.Number(), kAdminIssueProgram, false);
    if (const int code = ReadIssue(context, context.args[0], issue)) return code;
    if (const int code = LockIssue(context, issue)) return code;
    IssueLock unlock(file.Number());
    bool ok = false;
    const size_t count = Links(issue, &ok).size();
    // The links and their cross-references go; then the issue is rewritten with its link
    // fields cleared, as the program stores it.
    if (!ok || !issue.DeleteLinks()) {
        context.err << "qvadmin: the links of issue " << context.args[0] << " could not be removed\n";
        return kAdminDataError;
    }
    StampChange(issue);
    if (!issue.ReplaceRecord()) {
        context.err << "qvadmin: issue " << context.args[0] << " could not be rewritten\n";
        return kAdminDataError;
    }
    context.out << "issue " << context.args[0] << ": " << count << (count == 1 ? " link" : " links") << " removed\n";
    return kAdminOk;
}

int AdminIssueNotify(AdminContext& context) {
    static const char* usage = "usage: qvadmin issue notify N [--edit] [--to NAMES]\n";
    if (context.args.empty()) {
        context.err << usage;
        return kAdminUserError;
    }
    bool changed = false;
    std::string others;
    for (size_t i = 1; i < context.args.size(); ++i) {
        if (context.args[i] == "--edit") {
            changed = true;
        } else if (context.args[i] == "--to" && i + 1 < context.args.size()) {
            others = context.args[++i];
        } else {
            context.err << usage;
            return kAdminUserError;
        }
    }
    if (!AdminIsUtf8(others)) {
        context.err << "qvadmin: --to is not valid UTF-8 text\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminIssueProgram);
    if (!file.Open()) return kAdminDataError;
    qvIssue issue(file.Number(), kAdminIssueProgram, false);
    if (const int code = ReadIssue(context, context.args[0], issue)) return code;
    if (!issue.Value(QV_NOTIFY_OTHERS).Set(others)) {
        context.err << "qvadmin: --to holds at most " << issue.Width(QV_NOTIFY_OTHERS) << " bytes\n";
        return kAdminUserError;
    }
    // An issue that names nobody goes to the company's own mailbox (its mail sender), so
    // the notice is not lost.
    if (x_trim(issue.Value(QV_RESPONS).Format()).empty() && x_trim(others).empty()) {
        const nlohmann::json& settings = kwCompany::Settings();
        const auto mail = settings.find("mail");
        std::string sender;
        if (mail != settings.end() && mail->is_object() && mail->contains("sender") && (*mail)["sender"].is_string())
            sender = (*mail)["sender"].get<std::string>();
        if (sender.empty()) {
            context.err << "qvadmin: issue " << context.args[0]
                        << " names nobody to notify: give recipients with --to\n";
            return kAdminUserError;
        }
        issue.Value(QV_NOTIFY_OTHERS).Set(sender);
        context.err << "qvadmin: issue " << context.args[0] << " has no responsible person: the notice goes to "
                    << sender << ", the company's mail sender\n";
    }
    bool ok = false;
    std::vector<std::unique_ptr<LinkedRecord>> owned = Links(issue, &ok);
    std::vector<LinkedRecord*> links;
    for (const auto& link : owned) links.push_back(link.get());

    const std::string storedEmail = issue.Value(QV_EMAIL).Format();
    issue.Value(QV_EMAIL).Set("Yes");
    const niMailOutcome outcome = niSendNotification(!changed, issue, links, true, false);
    // The stored issue tells whether its notice went out.
    const std::string email = niMailWentOut(outcome) ? "Yes" : "No";
    if (email != storedEmail && LockIssue(context, issue) == kAdminOk) {
        IssueLock unlock(file.Number());
        issue.Value(QV_EMAIL).Set(email);
        issue.ReplaceRecord();
    }
    switch (outcome) {
    case niMailOutcome::Sent: context.out << "sent\n"; return kAdminOk;
    case niMailOutcome::PutInOutbox: context.out << "put in the outbox\n"; return kAdminOk;
    case niMailOutcome::Cancelled:
        context.err << "qvadmin: not sent: the mail server did not accept the logon (set the user and password "
                       "of the company's mail settings)\n";
        return kAdminDataError;
    default:
        context.err << "qvadmin: the notice of issue " << context.args[0] << " was not sent\n";
        return kAdminDataError;
    }
}
