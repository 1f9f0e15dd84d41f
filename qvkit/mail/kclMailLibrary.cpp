// Loading the mail service. RTLD_NODELETE keeps it mapped even when the last handle goes:
// its windows and the function pointers handed out must outlive any one caller.
#include "qvkit/mail/kclMailLibrary.h"

#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>

namespace {
struct LibraryCloser {
    void operator()(void* handle) const {
        if (handle) dlclose(handle);
    }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

struct LoaderState {
    std::map<std::string, LibraryHandle> loaded; // by file name as asked for
    std::string lastError;
};

LoaderState& State() {
    static LoaderState state;
    return state;
}

std::string FolderOfExecutable() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

std::string FolderOfThisLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&FolderOfThisLibrary), &info) == 0 || !info.dli_fname)
        return {};
    return std::filesystem::path(info.dli_fname).parent_path().string();
}

void* Open(const std::string& file, std::string* error) {
    const int flags = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;
    if (file.find('/') == std::string::npos) {
        for (const std::string& folder : {FolderOfExecutable(), FolderOfThisLibrary()}) {
            if (folder.empty()) continue;
            const std::string path = folder + "/" + file;
            if (access(path.c_str(), F_OK) != 0) continue;
            if (void* handle = dlopen(path.c_str(), flags)) return handle;
            const char* reason = dlerror();
            *error = reason ? reason : path + ": cannot be loaded";
            return nullptr;
        }
    }
    void* handle = dlopen(file.c_str(), flags);
    if (!handle) {
        const char* reason = dlerror();
        *error = reason ? reason : file + ": cannot be loaded";
    }
    return handle;
}
} // namespace

std::string kclMailLibrary::FileName(std::string_view logicalName) {
    std::string upper(logicalName);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (upper == kLogicalName || upper == "MAPI32") return "libmapi.so";
    return std::string(logicalName);
}

void* kclMailLibrary::Handle() {
    LoaderState& state = State();
    const std::string file = FileSeam() ? FileSeam()() : FileName(kLogicalName);
    auto it = state.loaded.find(file);
    if (it != state.loaded.end()) return it->second.get();
    void* handle = Open(file, &state.lastError);
    if (!handle) return nullptr;
    state.loaded.emplace(file, LibraryHandle(handle));
    return handle;
}

void* kclMailLibrary::Symbol(const char* name) {
    void* handle = Handle();
    return handle ? dlsym(handle, name) : nullptr;
}

const std::string& kclMailLibrary::LastError() {
    return State().lastError;
}

kwSeam<std::string()>& kclMailLibrary::FileSeam() {
    static kwSeam<std::string()> seam;
    return seam;
}
