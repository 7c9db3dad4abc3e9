#pragma once
// Where a picture is drawn in fit mode: with r the larger of the width and
// height ratios of picture to area, r >= 1 shrinks the picture to its size
// divided by r (each side rounded to whole pixels), r < 1 keeps its own
// size; either way it is centred in the area. An empty picture or area
// gives an empty rectangle.

#include <QRectF>
#include <QSize>

namespace zolvu {

QRectF FitRect(QSize picture, QRectF area);

}  // namespace zolvu
