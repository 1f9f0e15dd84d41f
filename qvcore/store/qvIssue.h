// One issue: the unstored others-to-notify text (index 0) and the 71 fields of the issue
// record (indexes 1 to 71) as typed values, with their widths, kind codes and
// qualifiers, read from and written to the issue file.
#pragma once

#include "kwcommon/values/kwData.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class LinkedRecord;
class kwioAttachments;

// Field numbers of the issue record, by name.
enum qvIssueField : short {
    QV_NOTIFY_OTHERS = 0,
    QV_ISSUE = 1, QV_FORMESS, QV_RULEID, QV_CLASSIF, QV_URGENCY, QV_FOLLOWU, QV_STATUS, QV_PROBLEM,
    QV_REVIEWE, QV_INQNAME, QV_RESPONS, QV_EMAIL, QV_DUEDATE, QV_NOTDATE, QV_IOPERID, QV_OPERCRE,
    QV_DATECRE, QV_TIMECRE, QV_OPERCLO, QV_DATECLO, QV_TIMECLO, QV_OPERCHG, QV_DATECHG, QV_TIMECHG,
    QV_APVND, QV_APINVOI, QV_ARCUST, QV_ARSTYPE, QV_ARDATE, QV_ARSEQ, QV_ARASEQ, QV_ARDEPDT, QV_ARDEPID,
    QV_ARCDATE, QV_ARCTIME, QV_ARCSEQ, QV_ARCONT, QV_BLGDATE, QV_BLGSEQ, QV_CMBANK, QV_CMTRUN, QV_CMTSEQ,
    QV_CNC, QV_CNCI, QV_CNCO, QV_EQEQUIP, QV_EQTYPE, QV_GLACCT, QV_GLAPRFX, QV_GLBPRFX, QV_GLCPRFX,
    QV_GLPRTNR, QV_JCJOB, QV_JCEXTRA, QV_JCPHASE, QV_JCCAT, QV_JCDRAW, QV_JCCO, QV_JCCOITM, QV_JCSUB,
    QV_JCITEM, QV_PMPROP, QV_PMUNIT, QV_PMTENAN, QV_PMLEASE, QV_PMREV, QV_PREMPID, QV_PRUNION,
    QV_PRLOCID, QV_PRPDEND, QV_PRCKSEQ,
    QV_FIELD_END = 72,
};

class qvIssue {
public:
    static constexpr int kValueCount = 72;
    static constexpr short kFirstLinkField = QV_APVND;

    // The issue of an open issue file (fileNumber 0: none). With takeNumber and a file,
    // the next issue number is drawn at once.
    qvIssue(short fileNumber, short programNumber, bool takeNumber);
    virtual ~qvIssue();
    qvIssue(const qvIssue&) = delete;
    qvIssue& operator=(const qvIssue&) = delete;

    // The name of field n (1 to 71), "" outside.
    static const char* FieldName(int n);

    kwData& Value(int n) { return *_values.at(static_cast<size_t>(n)); }
    const kwData& Value(int n) const { return *_values.at(static_cast<size_t>(n)); }
    int Width(int n) const { return _widths.at(static_cast<size_t>(n)); }
    short KindCode(int n) const { return _kinds.at(static_cast<size_t>(n)); }
    short Qualifier(int n) const { return _qualifiers.at(static_cast<size_t>(n)); }
    double Number() const;
    short FileNumber() const { return _file; }
    short ProgramNumber() const { return _program; }

    // Puts fields first up to (not including) end into the file's record buffer.
    bool PutFields(int first, int end);
    // Takes fields first up to end from the file's record buffer.
    bool GetFields(int first, int end);
    // Reads issue `number` (without lock) into the values; false when absent.
    bool ReadRecord(double number);
    bool AddRecord();
    bool ReplaceRecord();
    bool DeleteRecord();
    // Empties the link fields of the range; the two choices go back to their first item.
    bool ClearLinkFields(int first, int end);

    // Links to records of other applications (link records here, cross-reference
    // records in the applications' own files).
    // The first link field (25..71) with this kind code and qualifier, 0 when none.
    short FindLinkField(short kindCode, short qualifier, short* index = nullptr) const;
    bool AddLink(const LinkedRecord& link);
    bool DeleteLinks();
    // Appends the issue's links to list; the caller owns the new elements.
    bool ReadLinks(std::vector<LinkedRecord*>& list);

    // The issue's attachments, fetched on first use; answers the data library's status.
    short Attachments();
    kwioAttachments* AttachmentList() const { return _attachments.get(); }

    // The text of the notification mail, rebuilt on every call.
    const std::string& NotifyText();

private:
    void MakeValues();
    // Calls move(index, field number) for each stored field of the range.
    bool MoveFields(int first, int end, const std::function<void(int, short)>& move);
    // A sectioned key shown with separators and stored without them.
    bool IsFormattedKey(int n) const;
    short FieldNumber(int n) const { return _fieldNumbers[static_cast<size_t>(n)]; }

    std::array<std::unique_ptr<kwData>, kValueCount> _values;
    std::array<int, kValueCount> _widths{};
    std::array<short, kValueCount> _kinds{};
    std::array<short, kValueCount> _qualifiers{};
    std::array<short, kValueCount> _fieldNumbers{};
    std::string _notifyText;
    // Shared only so the library's type can stay incomplete here; the issue is its one owner.
    std::shared_ptr<kwioAttachments> _attachments;
    short _file = 0;
    short _program = 0;
};
