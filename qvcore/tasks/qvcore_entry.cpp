// Load and unload of the library: the debug line "<path> <version> process attach." when the
// library is loaded, the same with "process detach" when it is unloaded, and the link
// object's registration for as long as the library is loaded.
#include "qvcore/tasks/qvcore_entry.h"

#include "kwapp/app/kwRegistryProxy.h"
#include "kwapp/debug/kwDebugOutput.h"
#include "kwapp/resources/kwDynLinkLibrary.h"
#include "qvcore/tasks/qvcore_DynLinkObject.h"

#include <cstdio>
#include <dlfcn.h>

namespace {
void WriteLoadLine(const char* event) {
    char line[1024];
    std::snprintf(line, sizeof line, "%s %s %s.\n", qvcore_ModulePath().c_str(), QVCORE_VERSION, event);
    kwOutputDebugString(line);
}

__attribute__((constructor)) void qvcore_process_attach() { WriteLoadLine("process attach"); }

__attribute__((destructor)) void qvcore_process_detach() {
    WriteLoadLine("process detach");
    // The library's resources leave the chain with it.
    kwDynLinkLibrary::Detach(QVCORE_MODULE);
}

const kwRegistryProxy<qvcore_DynLinkObject> linkProxy(QVCORE_DYNLINK_TYPE, QVCORE_DYNLINK_NUMBER);
} // namespace

std::string qvcore_ModulePath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&qvcore_init_ext_dll), &info) && info.dli_fname)
        return info.dli_fname;
    return "QVCORE.DLL";
}

extern "C" kwDynLinkLibrary* qvcore_init_ext_dll() {
    return kwDynLinkLibrary::Attach(QVCORE_MODULE, qvcore_ModulePath());
}

qvcore_DynLinkObject::qvcore_DynLinkObject() {
    _link = qvcore_init_ext_dll();
    // A second load by the library's own path keeps it in memory for as long as the
    // framework holds this object, whoever else unloads it.
    const std::string path = qvcore_ModulePath();
    _self = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
}

qvcore_DynLinkObject::~qvcore_DynLinkObject() {
    if (_self) ::dlclose(_self);
}
