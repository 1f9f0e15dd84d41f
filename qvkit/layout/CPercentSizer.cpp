// Percentage bands.
#include "qvkit/layout/CPercentSizer.h"

#include <algorithm>
#include <cstdint>

namespace {
// Integer arithmetic: a floating percentage (29 / 100.0 * 100) lands just under the whole
// pixel it means and loses it to truncation.
int PercentOf(int percent, int extent) {
    return static_cast<int>(static_cast<int64_t>(percent) * std::max(0, extent) / 100);
}
} // namespace

CPercentSizer::CPercentSizer(GRAV_TYPE gravity, int percent, ccSizer* parent)
    : ccSizer(gravity, percent, parent) {}

CPercentSizer::CPercentSizer(QWidget* window, GRAV_TYPE gravity, int percent, ccSizer* parent)
    : ccSizer(window, gravity, percent, parent) {}

void CPercentSizer::CalculateRectangle(Rect& own) {
    if (_size == 0) return;
    switch (_gravity) {
    case GRAV_LEFT:
        own.right = own.left + PercentOf(_size, own.Width());
        break;
    case GRAV_RIGHT:
        own.left = own.right - PercentOf(_size, own.Width());
        break;
    case GRAV_TOP:
        own.bottom = own.top + PercentOf(_size, own.Height());
        break;
    case GRAV_BOTTOM:
        own.top = own.bottom - PercentOf(_size, own.Height());
        break;
    case GRAV_NONE:
        break;
    }
}
