// The application's resource chain: the modules whose menus, accelerators and bitmaps the
// framework searches. The main program comes first, then every library that linked itself
// in (a library's link object, made by its init entry), in linking order, and last the
// framework's own resources.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* KWAPP_MODULE = "KWAPP.DLL";

class kwDynLinkLibrary {
public:
    // Links the module into the chain, or answers its link when it is linked already. The
    // chain owns the link; it stays until Detach.
    static kwDynLinkLibrary* Attach(const std::string& module, const std::string& path);
    // Takes the module out of the chain (the library is being unloaded).
    static void Detach(const std::string& module);
    static kwDynLinkLibrary* Find(const std::string& module);
    // The modules searched, in order: the main module, the linked libraries, the framework.
    static std::vector<std::string> SearchOrder();

    const std::string& Module() const { return _module; }
    const std::string& Path() const { return _path; }

    kwDynLinkLibrary(const kwDynLinkLibrary&) = delete;
    kwDynLinkLibrary& operator=(const kwDynLinkLibrary&) = delete;
    ~kwDynLinkLibrary();

private:
    kwDynLinkLibrary(std::string module, std::string path);

    std::string _module;
    std::string _path;
};
