// Link equality.
#include "qvcore/store/LinkedRecord.h"

bool LinkedRecord::operator==(const LinkedRecord& other) const {
    return keyKindCodes == other.keyKindCodes && keyQualifiers == other.keyQualifiers &&
           keyValues == other.keyValues && applAbbrev == other.applAbbrev && xrefRecType == other.xrefRecType &&
           dictName == other.dictName && recType == other.recType && fileMask == other.fileMask;
}
