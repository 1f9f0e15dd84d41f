// Finding and loading libraries by name at run time.
#include "kwcommon/xdll.h"

#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace {
std::string FolderOfExecutable() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}
} // namespace

std::string xdll_file_name(std::string_view logicalName) {
    if (logicalName.find('/') != std::string_view::npos || EndsWith(logicalName, ".so") ||
        logicalName.find(".so.") != std::string_view::npos)
        return std::string(logicalName);
    std::string base(logicalName);
    for (char& c : base)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (EndsWith(base, ".dll")) base.resize(base.size() - 4);
    return "lib" + base + ".so";
}

xdll_library::~xdll_library() { Unload(); }

xdll_library::xdll_library(xdll_library&& other) noexcept
    : _handle(std::exchange(other._handle, nullptr)), _file(std::move(other._file)) {}

xdll_library& xdll_library::operator=(xdll_library&& other) noexcept {
    if (this != &other) {
        Unload();
        _handle = std::exchange(other._handle, nullptr);
        _file = std::move(other._file);
    }
    return *this;
}

bool xdll_library::Load(std::string_view name, std::string* error) {
    Unload();
    const std::string file = xdll_file_name(name);
    std::string wanted = file;
    if (file.find('/') == std::string::npos) {
        const std::string folder = FolderOfExecutable();
        if (!folder.empty() && ::access((folder + "/" + file).c_str(), F_OK) == 0) wanted = folder + "/" + file;
    }
    void* handle = ::dlopen(wanted.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = ::dlerror();
        if (error) *error = reason ? std::string(reason) : wanted + ": cannot be loaded";
        return false;
    }
    _handle = handle;
    _file = wanted;
    return true;
}

void xdll_library::Unload() {
    if (_handle) ::dlclose(_handle);
    _handle = nullptr;
    _file.clear();
}

void* xdll_library::Symbol(const char* name) const {
    return _handle && name ? ::dlsym(_handle, name) : nullptr;
}
