// The attachments column of a query node: not a field but whether the row's record has
// attachments (kwioAttachments of the node's file and record type, by its key 0), shown
// as a mark in the grid and opened by the attachments button. The dialog that edits
// them belongs to the application framework and is reached through one seam.
#pragma once

#include "kwdm/query/kwdmQueryColumn.h"

#include <functional>

class QWidget;
class kwioAttachments;

class kwdmAttachmentsQueryColumn : public kwdmQueryColumn {
public:
    // name: the column's name ("IATTACH"); recordType: the records whose attachments count.
    kwdmAttachmentsQueryColumn(const std::string& name, short recordType);
    ~kwdmAttachmentsQueryColumn() override;

    bool Computed() const override { return true; }
    short RecordType() const { return _recordType; }

    // How many attachments the record in the file's buffer has (0 when none or unreadable).
    static int CountFor(short file, short recordType);

    // Shows the attachments (fetched for change) to the user; true when they changed and
    // should be written. Installed by the application (its attachments dialog); without
    // one the attachments cannot be opened.
    using Runner = std::function<bool(kwioAttachments& attachments, QWidget* parent)>;
    static void SetRunner(Runner runner);
    static const Runner& GetRunner();

private:
    short _recordType;
};
