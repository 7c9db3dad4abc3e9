#pragma once
// The alignment rules that place a parent's children whenever the parent's
// size changes. Kinds are handled in this order: Top, Bottom, Left, Client,
// Scale; within a kind, children are taken by their current position along
// that edge (Top from the top, Bottom from the bottom, Left from the left).
// Children with no alignment keep their bounds. Bounds are real numbers, so
// repeated scaling does not drift.

#include <QRectF>
#include <QSizeF>
#include <vector>

namespace zolvu {

enum class TAlignKind { None, Top, Bottom, Left, Client, Scale };

struct AlignedBounds {
    TAlignKind align = TAlignKind::None;
    QRectF bounds;
};

// Places the children of a parent that changed from oldSize to newSize.
// Scale multiplies left and width by the width ratio and top and height by
// the height ratio, only when all four sizes are above 0.
void ArrangeAligned(std::vector<AlignedBounds>& children, QSizeF oldSize, QSizeF newSize);

}  // namespace zolvu
