// Universal path form on a platform without drives or mapped network shares.
#include "qvkit/paths/kwUniversalName.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string kwUniversalName(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    const bool folderForm = path.size() > 1 && path.back() == '/';
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();

    std::error_code error;
    fs::path canonical = fs::weakly_canonical(fs::path(trimmed), error);
    if (error) canonical = fs::path(trimmed).lexically_normal();
    std::string result = canonical.string();
    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    if (folderForm && result != "/") result += '/';
    return result;
}
