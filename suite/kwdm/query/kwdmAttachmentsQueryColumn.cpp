// The attachments column and the seam to the attachments dialog.
#include "kwdm/query/kwdmAttachmentsQueryColumn.h"

#include "kwcommon/attachments/kwioAttachments.h"

namespace {
kwdmAttachmentsQueryColumn::Runner& TheRunner() {
    static kwdmAttachmentsQueryColumn::Runner runner;
    return runner;
}
} // namespace

kwdmAttachmentsQueryColumn::kwdmAttachmentsQueryColumn(const std::string& name, short recordType)
    : kwdmQueryColumn(name, "Attachments", READ_ONLY), _recordType(recordType) {}

kwdmAttachmentsQueryColumn::~kwdmAttachmentsQueryColumn() = default;

int kwdmAttachmentsQueryColumn::CountFor(short file, short recordType) {
    // Read without taking the list: counting must not keep another user from changing it.
    kwioAttachments attachments(file, recordType);
    if (attachments.Fetch(false) != XIO_OK) return 0;
    return static_cast<int>(attachments.Count());
}

void kwdmAttachmentsQueryColumn::SetRunner(Runner runner) { TheRunner() = std::move(runner); }

const kwdmAttachmentsQueryColumn::Runner& kwdmAttachmentsQueryColumn::GetRunner() { return TheRunner(); }
