// x_dll_version and x_min_data_version: what the upgrade host asks the library first.
#include "qvcore/upgrade/qvUpgrade.h"
#include "qvcore/upgrade/qvVersionResource.h"

#include "kwcommon/values/kwVersion.h"
#include "kwcommon/x_value_def.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"
#include "qvkit/qvVersion.h"

#include <cstring>
#include <string>

namespace {
constexpr const char* kFallbackName = "qvcore Library";
constexpr const char* kFallbackVersion = "XX.XX.XX";

const qvVersionResource kResource{QVCORE_LIBRARY_DESCRIPTION, QV_VERSION};

// Copies text into a buffer of size bytes (ending zero included), cut on a character
// boundary; a buffer of no size is left alone.
void CopyCut(const std::string& text, char* buffer, int size) {
    if (!buffer || size <= 0) return;
    const std::string cut = x_utf8_cut(text, static_cast<size_t>(size - 1));
    std::memcpy(buffer, cut.c_str(), cut.size() + 1);
}
} // namespace

const qvVersionResource* qvReadVersionResource() {
    if (!kResource.fileVersion || !*kResource.fileVersion) return nullptr;
    return &kResource;
}

void qvCopyDllVersion(const qvVersionResource* resource, char* name, int nameSize, char* version,
                      int versionSize) {
    std::string description = kFallbackName;
    std::string normalised = kFallbackVersion;
    if (resource) {
        if (resource->fileDescription && *resource->fileDescription) description = resource->fileDescription;
        const kwBase::Version parsed(resource->fileVersion ? resource->fileVersion : "");
        if (parsed.Valid()) normalised = parsed.ToString();
    }
    CopyCut(description, name, nameSize);
    CopyCut(normalised, version, versionSize);
}

extern "C" void x_dll_version(char* name, int nameSize, char* version, int versionSize) {
    qvCopyDllVersion(qvReadVersionResource(), name, nameSize, version, versionSize);
}

extern "C" void x_min_data_version(char* buffer, int size) {
    CopyCut(qvLiteral(QVL_LOWEST_DATA_VERSION, -1, QVCORE_MODULE).str(), buffer, size);
}
