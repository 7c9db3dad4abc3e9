#include "platform/splitter.h"

#include "platform/align_layout.h"
#include "platform/handler_guard.h"

#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace zolvu {

TSplitter::TSplitter(QWidget* parent, TAlignLayout* layout, int minSize)
    : QWidget(parent), layout_(layout), minSize_(minSize) {
    setCursor(Qt::SplitHCursor);
}

QWidget* TSplitter::NeighbourOnLeft() const {
    const qreal left = layout_->Bounds(this).left();
    for (int i = 0; i < layout_->count(); ++i) {
        QWidget* w = layout_->itemAt(i)->widget();
        if (w && w != this && std::abs(layout_->Bounds(w).right() - left) < 0.5) return w;
    }
    return nullptr;
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
    Guarded([&] {
        if (event->button() != Qt::LeftButton) return;
        target_ = NeighbourOnLeft();
        if (!target_) return;
        pressX_ = event->globalPosition().x();
        startWidth_ = layout_->Bounds(target_).width();
        maxWidth_ = parentWidget()->width() - minSize_ - width();
    });
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
    Guarded([&] {
        if (!target_ || !(event->buttons() & Qt::LeftButton)) return;
        const qreal wanted = startWidth_ + event->globalPosition().x() - pressX_;
        QRectF bounds = layout_->Bounds(target_);
        bounds.setWidth(std::max<qreal>(minSize_, std::min(wanted, maxWidth_)));
        layout_->SetBounds(target_, bounds);
    });
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event) {
    Guarded([&] {
        if (event->button() == Qt::LeftButton) target_ = nullptr;
    });
}

}  // namespace zolvu
