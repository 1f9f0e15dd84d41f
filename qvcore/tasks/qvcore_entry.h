// The library's entry points for the framework.
#pragma once

#include "qvcore/qvcore_export.h"

#include "qvcore/strings/qvcoreStrings.h"
#include "qvkit/qvVersion.h"

class kwDynLinkLibrary;

// The library's version as its load and unload lines report it.
inline constexpr const char* QVCORE_VERSION = QV_VERSION;

extern "C" {
// Links the library into the application's resource chain (once) and answers the link.
QVCORE_EXPORT kwDynLinkLibrary* qvcore_init_ext_dll();
}
