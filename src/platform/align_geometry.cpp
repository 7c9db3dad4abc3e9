#include "platform/align_geometry.h"

#include <algorithm>

namespace zolvu {

namespace {
std::vector<AlignedBounds*> OfKind(std::vector<AlignedBounds>& children, TAlignKind kind) {
    std::vector<AlignedBounds*> picked;
    for (auto& child : children)
        if (child.align == kind) picked.push_back(&child);
    return picked;
}
}  // namespace

void ArrangeAligned(std::vector<AlignedBounds>& children, QSizeF oldSize, QSizeF newSize) {
    QRectF space(QPointF(0, 0), newSize);

    auto tops = OfKind(children, TAlignKind::Top);
    std::stable_sort(tops.begin(), tops.end(), [](auto* a, auto* b) { return a->bounds.top() < b->bounds.top(); });
    for (auto* c : tops) {
        c->bounds = QRectF(space.left(), space.top(), space.width(), c->bounds.height());
        space.setTop(space.top() + c->bounds.height());
    }

    auto bottoms = OfKind(children, TAlignKind::Bottom);
    std::stable_sort(bottoms.begin(), bottoms.end(),
                     [](auto* a, auto* b) { return a->bounds.bottom() > b->bounds.bottom(); });
    for (auto* c : bottoms) {
        const qreal h = c->bounds.height();
        c->bounds = QRectF(space.left(), space.bottom() - h, space.width(), h);
        space.setBottom(space.bottom() - h);
    }

    auto lefts = OfKind(children, TAlignKind::Left);
    std::stable_sort(lefts.begin(), lefts.end(), [](auto* a, auto* b) { return a->bounds.left() < b->bounds.left(); });
    for (auto* c : lefts) {
        const qreal w = c->bounds.width();
        c->bounds = QRectF(space.left(), space.top(), w, std::max<qreal>(space.height(), 0));
        space.setLeft(space.left() + w);
    }

    for (auto* c : OfKind(children, TAlignKind::Client))
        c->bounds =
            QRectF(space.topLeft(), QSizeF(std::max<qreal>(space.width(), 0), std::max<qreal>(space.height(), 0)));

    if (oldSize.width() > 0 && oldSize.height() > 0 && newSize.width() > 0 && newSize.height() > 0) {
        const qreal sx = newSize.width() / oldSize.width();
        const qreal sy = newSize.height() / oldSize.height();
        for (auto* c : OfKind(children, TAlignKind::Scale))
            c->bounds =
                QRectF(c->bounds.left() * sx, c->bounds.top() * sy, c->bounds.width() * sx, c->bounds.height() * sy);
    }
}

}  // namespace zolvu
