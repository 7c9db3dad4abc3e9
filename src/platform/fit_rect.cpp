#include "platform/fit_rect.h"

#include <algorithm>
#include <cmath>

namespace zolvu {

QRectF FitRect(QSize picture, QRectF area) {
    if (picture.isEmpty() || area.width() <= 0 || area.height() <= 0) return {};
    const qreal r = std::max(picture.width() / area.width(), picture.height() / area.height());
    QSizeF drawn(picture);
    if (r >= 1) drawn = QSizeF(std::round(picture.width() / r), std::round(picture.height() / r));
    const QPointF origin(area.left() + (area.width() - drawn.width()) / 2,
                         area.top() + (area.height() - drawn.height()) / 2);
    return QRectF(origin, drawn);
}

}  // namespace zolvu
