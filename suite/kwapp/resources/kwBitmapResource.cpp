// Bitmaps are painted, not stored: each module registers a painter per id and the icon is
// drawn at the sizes the toolbar asks for.
#include "kwapp/resources/kwBitmapResource.h"

#include "kwapp/resources/kwDynLinkLibrary.h"

#include <QPainter>
#include <QPixmap>

#include <map>
#include <mutex>
#include <utility>

namespace {
std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

struct Bitmaps {
    std::mutex mutex;
    std::map<std::pair<std::string, unsigned short>, kwBitmapPainter> painters;
};

Bitmaps& TheBitmaps() {
    static Bitmaps bitmaps;
    return bitmaps;
}

kwBitmapPainter FindPainter(unsigned short id, const std::string& module) {
    Bitmaps& bitmaps = TheBitmaps();
    std::lock_guard<std::mutex> guard(bitmaps.mutex);
    const std::vector<std::string> order =
        module.empty() ? kwDynLinkLibrary::SearchOrder() : std::vector<std::string>{module};
    for (const std::string& name : order) {
        auto found = bitmaps.painters.find({Upper(name), id});
        if (found != bitmaps.painters.end()) return found->second;
    }
    return nullptr;
}
} // namespace

void kwBitmapResource::Register(const std::string& module, const kwBitmapEntry* entries,
                                size_t count) {
    Bitmaps& bitmaps = TheBitmaps();
    std::lock_guard<std::mutex> guard(bitmaps.mutex);
    for (size_t i = 0; i < count; ++i)
        if (entries[i].paint) bitmaps.painters[{Upper(module), entries[i].id}] = entries[i].paint;
}

void kwBitmapResource::Unregister(const std::string& module) {
    Bitmaps& bitmaps = TheBitmaps();
    std::lock_guard<std::mutex> guard(bitmaps.mutex);
    const std::string upper = Upper(module);
    std::erase_if(bitmaps.painters, [&](const auto& item) { return item.first.first == upper; });
}

bool kwBitmapResource::Exists(unsigned short id, const std::string& module) {
    return id != 0 && FindPainter(id, module) != nullptr;
}

QIcon kwBitmapResource::Load(unsigned short id, const std::string& module) {
    if (id == 0) return {};
    kwBitmapPainter paint = FindPainter(id, module);
    if (!paint) return {};
    return Render(paint);
}

QIcon kwBitmapResource::Render(const std::function<void(QPainter&, const QRectF&)>& paint) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
