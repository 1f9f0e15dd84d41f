// Loading the suite's optional libraries by name. Libraries are never unloaded: a caller
// may keep a function's address (a dialog's callback, a window the library made) longer
// than it keeps the handle.
#include "kwcommon/xdll.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>

namespace {

struct LibraryCloser {
    void operator()(void* handle) const {
        if (handle) dlclose(handle);
    }
};

struct LoaderState {
    std::vector<std::string> searchFolders;           // empty: the usual places
    std::map<std::string, short> handles;             // by file name looked up
    std::vector<std::unique_ptr<void, LibraryCloser>> libraries; // handle - 1
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
    if (dladdr(reinterpret_cast<void*>(&FolderOfThisLibrary), &info) == 0 || !info.dli_fname) return {};
    return std::filesystem::path(info.dli_fname).parent_path().string();
}

std::string DlError(const std::string& fallback) {
    const char* reason = dlerror();
    return reason ? reason : fallback;
}

// RTLD_NODELETE keeps the code mapped even if a handle is ever closed.
void* Open(const std::string& file, const std::vector<std::string>& only, std::string* error) {
    const int flags = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;
    const std::vector<std::string> folders =
        only.empty() ? std::vector<std::string>{FolderOfExecutable(), FolderOfThisLibrary()} : only;
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string path = folder + "/" + file;
        if (access(path.c_str(), F_OK) != 0) continue;
        if (void* handle = dlopen(path.c_str(), flags)) return handle;
        *error = DlError(path + ": cannot be loaded");
        return nullptr;
    }
    if (!only.empty()) {
        *error = file + ": not found in the library folders";
        return nullptr;
    }
    void* handle = dlopen(file.c_str(), flags);
    if (!handle) *error = DlError(file + ": cannot be loaded");
    return handle;
}

} // namespace

std::string xdll_file_name(const std::string& logicalName) {
    std::string base = logicalName;
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos) {
        std::string suffix = base.substr(dot + 1);
        for (char& c : suffix)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (suffix == "DLL") base.erase(dot);
    }
    for (char& c : base)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return "lib" + base + ".so";
}

short xdll_load_dll(const char* logicalName) {
    LoaderState& state = State();
    state.lastError.clear();
    if (!logicalName || !*logicalName) {
        state.lastError = "no library named";
        return 0;
    }
    const std::string file = xdll_file_name(logicalName);
    if (auto it = state.handles.find(file); it != state.handles.end()) return it->second;
    void* handle = Open(file, state.searchFolders, &state.lastError);
    if (!handle) return 0;
    state.libraries.emplace_back(handle);
    const auto number = static_cast<short>(state.libraries.size());
    state.handles.emplace(file, number);
    return number;
}

void* xdll_get_function(short handle, const char* functionName) {
    LoaderState& state = State();
    if (handle < 1 || static_cast<size_t>(handle) > state.libraries.size() || !functionName) return nullptr;
    return dlsym(state.libraries[static_cast<size_t>(handle) - 1].get(), functionName);
}

const std::string& xdll_last_error() { return State().lastError; }

void xdll_set_search_folders(const std::vector<std::string>& folders) {
    LoaderState& state = State();
    state.searchFolders = folders;
    // What is looked up where changed: a name is found afresh (libraries already loaded
    // stay loaded for the addresses handed out).
    state.handles.clear();
}
