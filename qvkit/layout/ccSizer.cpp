// The docking sizer tree.
#include "qvkit/layout/ccSizer.h"

#include <algorithm>

ccSizer::Rect ccSizer::Rect::FromQRect(const QRect& rect) {
    return Rect{rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

QRect ccSizer::Rect::ToQRect() const {
    return QRect(left, top, std::max(0, Width()), std::max(0, Height()));
}

ccSizer::ccSizer(GRAV_TYPE gravity, int size, ccSizer* parent)
    : ccSizer(nullptr, gravity, size, parent) {}

ccSizer::ccSizer(QWidget* window, GRAV_TYPE gravity, int size, ccSizer* parent)
    : _size(size), _window(window), _parent(parent), _gravity(gravity) {
    if (_parent) _parent->AddChild(this);
}

ccSizer::~ccSizer() {
    while (!_children.empty()) {
        ccSizer* child = _children.back();
        _children.pop_back();
        child->_parent = nullptr;
        delete child;
    }
    if (_parent) {
        auto& siblings = _parent->_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void ccSizer::AddChild(ccSizer* child) {
    if (child && std::find(_children.begin(), _children.end(), child) == _children.end()) {
        _children.push_back(child);
    }
}

const ccSizer* ccSizer::Root() const {
    const ccSizer* sizer = this;
    while (sizer->_parent)
        sizer = sizer->_parent;
    return sizer;
}

void ccSizer::UpdateSize() {
    if (_parent) {
        _parent->UpdateSize();
        return;
    }
    if (!_window) return;
    Rect free = Rect::FromQRect(_window->rect());
    SetSize(free);
}

void ccSizer::SetSize(Rect& free) {
    Rect own = free;
    CalculateRectangle(own);
    if (_parent && _window) MoveWindow(own);
    AdjustRectangle(free, own);
    for (ccSizer* child : _children)
        child->SetSize(own);
}

void ccSizer::MoveWindow(const Rect& own) {
    QRect target = own.ToQRect();
    // Bands are in the root window's client coordinates; a window placed inside another
    // child window needs them in its own parent's.
    const QWidget* root = Root()->_window;
    QWidget* parentWidget = _window->parentWidget();
    if (root && parentWidget && parentWidget != root) {
        target.moveTopLeft(parentWidget->mapFromGlobal(root->mapToGlobal(target.topLeft())));
    }
    _window->setGeometry(target);
    _window->update();
}

void ccSizer::CalculateRectangle(Rect& own) {
    if (_size == 0) return;
    switch (_gravity) {
    case GRAV_LEFT:
        own.right = own.left + _size;
        break;
    case GRAV_RIGHT:
        own.left = own.right - _size;
        break;
    case GRAV_TOP:
        own.bottom = own.top + _size;
        break;
    case GRAV_BOTTOM:
        own.top = own.bottom - _size;
        break;
    case GRAV_NONE:
        break;
    }
}

void ccSizer::AdjustRectangle(Rect& free, const Rect& own) {
    switch (_gravity) {
    case GRAV_LEFT:
        free = Rect{own.right, own.top, free.right, free.bottom};
        break;
    case GRAV_RIGHT:
        free = Rect{free.left, free.top, own.left, own.bottom};
        break;
    case GRAV_TOP:
        free = Rect{own.left, own.bottom, free.right, free.bottom};
        break;
    case GRAV_BOTTOM:
        free = Rect{free.left, free.top, own.right, own.top};
        break;
    case GRAV_NONE:
        break;
    }
}
