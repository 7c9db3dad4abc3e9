#include "platform/image_view.h"

#include "platform/fit_rect.h"

#include <QPainter>

namespace zolvu {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetBitmap(QImage bitmap) {
    bitmap_ = std::move(bitmap);
    scaled_ = QImage();
    update();
}

QRectF TImage::DrawnRect() const { return FitRect(bitmap_.size(), QRectF(rect())); }

void TImage::paintEvent(QPaintEvent*) {
    const QRectF target = DrawnRect();
    if (target.isEmpty()) return;
    const QSize size = target.size().toSize();
    if (scaled_.size() != size)
        scaled_ =
            size == bitmap_.size() ? bitmap_ : bitmap_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(this);
    p.drawImage(target.topLeft(), scaled_);
}

}  // namespace zolvu
