// Toolbar bitmaps of the suite's modules. A module registers a painter per bitmap id; the
// framework draws the image at the size it needs and finds an id through the resource
// chain, so a program can stand in for a library's image.
#pragma once

#include <functional>

#include <QIcon>

#include <cstddef>
#include <string>

class QPainter;
class QRectF;

using kwBitmapPainter = void (*)(QPainter& painter, const QRectF& box);

struct kwBitmapEntry {
    unsigned short id;
    kwBitmapPainter paint;
};

class kwBitmapResource {
public:
    kwBitmapResource() = delete;

    static void Register(const std::string& module, const kwBitmapEntry* entries, size_t count);
    static void Unregister(const std::string& module);

    // True when a module of the chain (or the named module) has the bitmap.
    static bool Exists(unsigned short id, const std::string& module = {});
    // The bitmap as an icon (16, 24 and 32 pixels); a null icon when no module has it.
    static QIcon Load(unsigned short id, const std::string& module = {});
    // An icon in the toolbar sizes, each pixmap drawn by paint into its box.
    static QIcon Render(const std::function<void(QPainter&, const QRectF&)>& paint);
};
