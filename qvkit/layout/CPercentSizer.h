// A sizer whose band is a percentage of the free area's width (left, right) or height
// (top, bottom) rather than a fixed number of pixels.
#pragma once

#include "qvkit/layout/ccSizer.h"

class CPercentSizer : public ccSizer {
public:
    CPercentSizer(GRAV_TYPE gravity, int percent, ccSizer* parent);
    CPercentSizer(QWidget* window, GRAV_TYPE gravity, int percent, ccSizer* parent);
    ~CPercentSizer() override = default;

    // percent / 100 of the free extent, truncated; percent 0 takes the whole area.
    void CalculateRectangle(Rect& own) override;
};
