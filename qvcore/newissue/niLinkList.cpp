// An issue's link list and its storing. Parent links are found through the issue
// dictionary alone: its record types are the kinds of records an issue links to, so a
// record type whose key is the start of the new link's key is a parent's.
#include "qvcore/newissue/niLinkList.h"

#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvLinkTarget.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"

namespace {

// Completes a parent link with where its record is: the first data record type whose key
// is the issue record type's, its description, and the record's description (the field
// after the key) when the record is found. A parent not found keeps them empty.
void CompleteParent(LinkedRecord& link, const std::vector<xio_fld_def>& key, short programNumber) {
    qvDataRecordType found;
    std::string recDesc;
    if (!qvFindKeyedRecordType(link.applAbbrev, key, &found, &recDesc)) return;
    link.dictName = found.dictName;
    link.recType = found.recType;
    link.fileMask = found.fileMask;
    link.recDesc = recDesc;
    qvLinkedData data;
    if (data.Open(found.dictName, programNumber) != XIO_OK) return;
    if (data.Find(found.recType, link.keyValues) != XIO_OK) return;
    const std::string description = data.Description(found.recType);
    if (!description.empty()) link.dataDesc = description + " ";
}

} // namespace

int niFindSameLink(const std::vector<LinkedRecord*>& links, const LinkedRecord& link) {
    for (int i = static_cast<int>(links.size()) - 1; i >= 0; --i)
        if (*links[static_cast<size_t>(i)] == link) return i;
    return -1;
}

void niRemoveSameFirstKind(std::vector<LinkedRecord*>& links, const LinkedRecord& link) {
    if (link.keyKindCodes.empty() || link.keyQualifiers.empty()) return;
    for (int i = static_cast<int>(links.size()) - 1; i >= 0; --i) {
        LinkedRecord* other = links[static_cast<size_t>(i)];
        if (other->keyKindCodes.empty() || other->keyQualifiers.empty()) continue;
        if (other->keyKindCodes.front() != link.keyKindCodes.front() ||
            other->keyQualifiers.front() != link.keyQualifiers.front())
            continue;
        links.erase(links.begin() + i);
        delete other;
    }
}

std::vector<std::unique_ptr<LinkedRecord>> niParentLinks(const LinkedRecord& link, short programNumber) {
    std::vector<std::unique_ptr<LinkedRecord>> parents;
    const size_t count = link.keyValues.size();
    if (count < 2 || link.keyKindCodes.size() < count || link.keyQualifiers.size() < count) return parents;
    kwioDictFile issueDict;
    if (issueDict.Open(link.applAbbrev + "Z") != XIO_OK) return parents;
    xio_def def{};
    xio_get_def(issueDict.FileNum(), &def, 0);
    for (short type = 1; type <= def.recordTypeCount; ++type) {
        if (type == link.xrefRecType) continue;
        const std::vector<xio_fld_def> key = qvLinkedKeyFields(issueDict.FileNum(), type);
        const size_t k = key.size();
        if (k == 0 || k >= count) continue;
        bool matches = true;
        for (size_t i = 0; i < k && matches; ++i)
            matches = key[i].kind == link.keyKindCodes[i] && key[i].qualifier == link.keyQualifiers[i];
        if (!matches || link.keyValues[k - 1].empty()) continue;

        auto parent = std::make_unique<LinkedRecord>();
        parent->keyKindCodes.assign(link.keyKindCodes.begin(), link.keyKindCodes.begin() + static_cast<long>(k));
        parent->keyQualifiers.assign(link.keyQualifiers.begin(), link.keyQualifiers.begin() + static_cast<long>(k));
        parent->keyValues.assign(link.keyValues.begin(), link.keyValues.begin() + static_cast<long>(k));
        parent->applAbbrev = link.applAbbrev;
        parent->xrefRecType = type;
        CompleteParent(*parent, key, programNumber);
        parents.push_back(std::move(parent));
    }
    return parents;
}

niAddOutcome niAddLink(std::vector<LinkedRecord*>& links, std::unique_ptr<LinkedRecord> link, short programNumber,
                       int* index) {
    const int same = niFindSameLink(links, *link);
    if (same >= 0) {
        if (index) *index = same;
        return niAddOutcome::Duplicate;
    }
    niRemoveSameFirstKind(links, *link);
    for (std::unique_ptr<LinkedRecord>& parent : niParentLinks(*link, programNumber))
        links.push_back(parent.release());
    links.push_back(link.release());
    if (index) *index = static_cast<int>(links.size()) - 1;
    return niAddOutcome::Added;
}

niLinkedRecordState niCheckLinkedRecord(LinkedRecord& link, short programNumber) {
    kwioDictFile issueDict;
    if (issueDict.Open(link.applAbbrev + "Z") != XIO_OK) return niLinkedRecordState::Unknown;
    const std::vector<xio_fld_def> key = qvLinkedKeyFields(issueDict.FileNum(), link.xrefRecType);
    xio_rec_def rec{};
    // A link whose key values were not all read back (a key field the issue file keeps no
    // value of) cannot be looked up.
    if (key.empty() || key.size() != link.keyValues.size() ||
        xio_get_rec_def(issueDict.FileNum(), link.xrefRecType, &rec, 1) != XIO_OK)
        return niLinkedRecordState::Unknown;
    // Every data file that can hold the record, as the Link Wizard offers them: the record
    // is missing only when none of them has it.
    short linkGroup = rec.linkGroup;
    const std::vector<qvDataRecordType> candidates = qvFindDataRecordTypes(link.applAbbrev, key, &linkGroup);
    if (candidates.empty()) return niLinkedRecordState::Unknown;
    bool unknown = false;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const qvDataRecordType& candidate = candidates[i];
        if (i > 0 && candidate.dictName == candidates[i - 1].dictName && candidate.recType == candidates[i - 1].recType)
            continue; // another file type of the same records
        qvLinkedData data;
        const short opened = data.Open(candidate.dictName, programNumber);
        const short status = opened ? opened : data.Find(candidate.recType, link.keyValues);
        if (status == XIO_OK) {
            // Where the record is, when that names one file type: the link is then the same
            // as one made anew to that record.
            size_t lines = 0;
            for (const qvDataRecordType& other : candidates)
                lines += other.dictName == candidate.dictName && other.recType == candidate.recType;
            if (lines == 1 && link.dictName.empty()) {
                link.dictName = candidate.dictName;
                link.recType = candidate.recType;
                link.fileMask = candidate.fileMask;
            }
            return niLinkedRecordState::Present;
        }
        if (status != XIO_NO_RECORD && status != XIO_BAD_VALUE) unknown = true;
    }
    return unknown ? niLinkedRecordState::Unknown : niLinkedRecordState::Missing;
}

bool niStoreLinks(qvIssue& issue, const std::vector<LinkedRecord*>& links, bool* complete) {
    if (complete) *complete = false;
    if (!issue.DeleteLinks()) return false;
    for (const LinkedRecord* link : links) {
        for (size_t j = 0; j < link->keyValues.size() && j < link->keyKindCodes.size() &&
                           j < link->keyQualifiers.size();
             ++j) {
            short index = 0;
            const short field = issue.FindLinkField(link->keyKindCodes[j], link->keyQualifiers[j], &index);
            if (!field) continue; // the value stays in the link alone
            std::string value = link->keyValues[j];
            xio_fld_def def{};
            if (xio_get_fld_def(issue.FileNumber(), field, &def, 1, 1) == XIO_OK && def.formatFlag &&
                xk_multi_section(def.kind))
                value = xk_unformat_field(def.kind, def.qualifier, x_utf8_cut(value, 99));
            issue.Value(index).Set(value);
        }
    }
    bool all = true;
    for (const LinkedRecord* link : links)
        all = issue.AddLink(*link) && all;
    if (complete) *complete = all;
    return true;
}
