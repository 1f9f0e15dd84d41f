// Help pages are opened in the desktop's viewer for HTML.
#include "kwapp/widgets/kwHelp.h"

#include <QDesktopServices>
#include <QUrl>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

std::string kwHelp::Folder() {
    if (const char* env = std::getenv("QV_HELP_DIR"); env && *env) return env;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return (exe.parent_path() / "help").string();
}

bool kwHelp::Available() {
    const std::string folder = Folder();
    std::error_code ec;
    return !folder.empty() && fs::is_regular_file(fs::path(folder) / "index.html", ec);
}

std::string kwHelp::TopicFile(unsigned int helpId) {
    const std::string folder = Folder();
    if (folder.empty()) return {};
    const fs::path file = helpId == 0 ? fs::path(folder) / "index.html"
                                      : fs::path(folder) / (std::to_string(helpId) + ".html");
    std::error_code ec;
    return fs::is_regular_file(file, ec) ? file.string() : std::string();
}

bool kwHelp::ShowTopic(unsigned int helpId) {
    if (!Available()) return false;
    std::string file = TopicFile(helpId);
    if (file.empty()) file = TopicFile(0);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file)));
}
