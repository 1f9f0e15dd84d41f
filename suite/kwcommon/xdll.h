// Run-time loading of the suite's libraries by name. A library is asked for by its
// logical name ("QVCORE.DLL") or its file name ("libqvcore.so") and found next to the
// executable first, then on the library path. A loaded library stays mapped for the life
// of the process (entry points handed out must outlive any one handle); the handle is
// released with its object.
#pragma once

#include <string>
#include <string_view>

// The file of a logical library name: "QVCORE.DLL" -> "libqvcore.so". A name that is
// already a file name (with a "/" or ending in ".so") is kept.
std::string xdll_file_name(std::string_view logicalName);

class xdll_library {
public:
    xdll_library() = default;
    ~xdll_library();
    xdll_library(const xdll_library&) = delete;
    xdll_library& operator=(const xdll_library&) = delete;
    xdll_library(xdll_library&& other) noexcept;
    xdll_library& operator=(xdll_library&& other) noexcept;

    // Loads the library; false with *error (when given) saying which file and why.
    bool Load(std::string_view name, std::string* error = nullptr);
    void Unload();
    bool IsLoaded() const { return _handle != nullptr; }
    // The file that was loaded (a path when found next to the executable).
    const std::string& File() const { return _file; }

    // An entry point by its plain name; null when the library lacks it.
    void* Symbol(const char* name) const;
    template <class Function>
    Function Entry(const char* name) const {
        return reinterpret_cast<Function>(Symbol(name));
    }

private:
    void* _handle = nullptr;
    std::string _file;
};
