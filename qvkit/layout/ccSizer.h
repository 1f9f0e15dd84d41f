// Docking layout for resizable windows: a tree of sizers, built once, each taking a band
// of its gravity's side out of the area its earlier siblings left free, replayed on every
// resize. Sizes are pixels of the window's coordinate system (see kclDialogUnits.h for
// dialog units).
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

class ccSizer {
public:
    enum GRAV_TYPE { GRAV_NONE = 0, GRAV_LEFT = 1, GRAV_RIGHT = 2, GRAV_TOP = 3, GRAV_BOTTOM = 4 };

    // A window rectangle with exclusive right and bottom edges, so that a band of size n
    // is exactly right - left == n wide and bands meet without gaps or overlap.
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;

        int Width() const { return right - left; }
        int Height() const { return bottom - top; }
        static Rect FromQRect(const QRect& rect);
        // An inverted rectangle (a band larger than the space left) becomes empty.
        QRect ToQRect() const;
        bool operator==(const Rect&) const = default;
    };

    // With a parent, the sizer appends itself to the parent's children; the parent owns it
    // from then on, so children are made with new and never deleted by their maker.
    ccSizer(GRAV_TYPE gravity, int size, ccSizer* parent);
    ccSizer(QWidget* window, GRAV_TYPE gravity, int size, ccSizer* parent);
    // Destroys the children, the last created first, so deleting the root deletes the tree.
    // A child deleted on its own leaves its parent's list.
    virtual ~ccSizer();
    ccSizer(const ccSizer&) = delete;
    ccSizer& operator=(const ccSizer&) = delete;

    // Lays out the whole tree in the root window's client area. Passed up to the root; a
    // root without a window does nothing.
    void UpdateSize();

    virtual void AddChild(ccSizer* child);
    // Takes this sizer's band out of free, moves the window there, then lays out the
    // children inside the band.
    virtual void SetSize(Rect& free);
    // Narrows own (the free area on entry) to this sizer's band.
    virtual void CalculateRectangle(Rect& own);
    // Removes the band own from free.
    virtual void AdjustRectangle(Rect& free, const Rect& own);

    int Size() const { return _size; }
    GRAV_TYPE Gravity() const { return _gravity; }
    QWidget* Window() const { return _window; }
    ccSizer* Parent() const { return _parent; }
    const std::vector<ccSizer*>& Children() const { return _children; }

protected:
    int _size;
    QPointer<QWidget> _window; // a window closed elsewhere is skipped, not touched
    ccSizer* _parent;
    GRAV_TYPE _gravity;
    std::vector<ccSizer*> _children; // owned, in creation order

private:
    void MoveWindow(const Rect& own);
    const ccSizer* Root() const;
};
