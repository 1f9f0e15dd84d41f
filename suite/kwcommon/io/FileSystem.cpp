// The file system of a data file's folder: statfs's type, and the mount options that
// tell whether locks reach the server (/proc/self/mountinfo).
#include "FileSystem.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/vfs.h>

namespace kwio {

namespace {

FileSystemProbe g_probe = nullptr;

struct KnownType {
    long type;
    const char* name;
};

constexpr KnownType kNetworkTypes[] = {
    {kNfsMagic, "nfs"},         {kSmbMagic, "smb"},          {kCifsMagic, "cifs"},      {kSmb2Magic, "smb2"},
    {0x01021997, "9p"},         {0x00C36400, "ceph"},        {0x5346414F, "afs"},       {0x73757245, "coda"},
    {0x01161970, "gfs2"},       {0x7461636F, "ocfs2"},       {0x0BD00BD0, "lustre"},
};

bool HasOption(const std::string& options, const std::string& wanted) {
    std::stringstream list(options);
    std::string option;
    while (std::getline(list, option, ',')) {
        if (option == wanted) return true;
    }
    return false;
}

// Mount points in mountinfo escape blanks and the like as \ooo.
std::string Unescape(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string octal = text.substr(i + 1, 3);
            if (octal.size() == 3 && octal.find_first_not_of("01234567") == std::string::npos) {
                plain += static_cast<char>(std::strtol(octal.c_str(), nullptr, 8));
                i += 3;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

// The options of the mount that holds path: the mount's own and its file system's.
std::string MountOptions(const std::string& path) {
    char resolved[PATH_MAX];
    const std::string real = ::realpath(path.c_str(), resolved) ? resolved : path;
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line, best, bestOptions;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point, options;
        if (!(fields >> id >> parent >> device >> root >> point >> options)) continue;
        std::string word, superOptions;
        while (fields >> word && word != "-") {
        }
        std::string type, source;
        fields >> type >> source >> superOptions;
        point = Unescape(point);
        const bool inside = real == point || point == "/" ||
                            (real.compare(0, point.size(), point) == 0 && real.size() > point.size() &&
                             real[point.size()] == '/');
        if (inside && point.size() >= best.size()) {
            best = point;
            bestOptions = options + "," + superOptions;
        }
    }
    return bestOptions;
}

bool SystemProbe(const std::string& folder, long* type, std::string* options) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) return false;
    *type = static_cast<long>(info.f_type);
    *options = MountOptions(folder);
    return true;
}

} // namespace

FileSystemInfo DescribeFileSystem(long type, const std::string& options) {
    FileSystemInfo info;
    info.type = type;
    info.options = options;
    for (const auto& known : kNetworkTypes) {
        if (known.type == type) {
            info.network = true;
            info.name = known.name;
        }
    }
    if (type == kNfsMagic)
        info.sharedLocks = !HasOption(options, "nolock") && !HasOption(options, "local_lock=all") &&
                           !HasOption(options, "local_lock=posix");
    else if (type == kSmbMagic || type == kCifsMagic || type == kSmb2Magic)
        info.sharedLocks = !HasOption(options, "nobrl");
    return info;
}

FileSystemInfo FileSystemOf(const std::string& folder) {
    long type = 0;
    std::string options;
    const bool known = g_probe ? g_probe(folder, &type, &options) : SystemProbe(folder, &type, &options);
    if (!known) return FileSystemInfo{};
    return DescribeFileSystem(type, options);
}

void SetFileSystemProbe(FileSystemProbe probe) { g_probe = probe; }

} // namespace kwio
