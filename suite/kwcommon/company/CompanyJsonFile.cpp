// Stamping the company's JSON settings files, so each is parsed once per change.
#include "kwcommon/company/CompanyJsonFile.h"

#include "kwcommon/x_text.h"

#include <sys/stat.h>

namespace kwcompany {

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return stamp;
    stamp.exists = true;
    stamp.device = static_cast<uint64_t>(info.st_dev);
    stamp.inode = static_cast<uint64_t>(info.st_ino);
    stamp.size = static_cast<int64_t>(info.st_size);
    stamp.modifiedNs =
        static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return x_equal_nocase(a, b); }

} // namespace kwcompany
