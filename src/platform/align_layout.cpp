#include "platform/align_layout.h"

#include <QWidget>
#include <QWidgetItem>

namespace zolvu {

TAlignLayout::TAlignLayout(QWidget* parent, QSizeF designSize) : QLayout(parent), size_(designSize) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    // The parent's size is the user's; the layout only follows it.
    setSizeConstraint(QLayout::SetNoConstraint);
}

TAlignLayout::~TAlignLayout() {
    for (QLayoutItem* item : items_) delete item;
}

void TAlignLayout::AddAligned(QWidget* widget, TAlignKind align, QRectF designBounds) {
    addChildWidget(widget);
    items_.push_back(new QWidgetItem(widget));
    bounds_.push_back({align, designBounds});
    widget->setGeometry(designBounds.toRect());
    invalidate();
}

QRectF TAlignLayout::Bounds(const QWidget* widget) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->widget() == widget) return bounds_[i].bounds;
    return {};
}

void TAlignLayout::SetBounds(const QWidget* widget, QRectF bounds) {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->widget() == widget) bounds_[i].bounds = bounds;
    Place(size_);
}

void TAlignLayout::addItem(QLayoutItem* item) {
    items_.push_back(item);
    bounds_.push_back({TAlignKind::None, QRectF(item->geometry())});
}

QLayoutItem* TAlignLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

QLayoutItem* TAlignLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    bounds_.erase(bounds_.begin() + index);
    return item;
}

int TAlignLayout::count() const { return static_cast<int>(items_.size()); }

QSize TAlignLayout::sizeHint() const { return size_.toSize(); }

QSize TAlignLayout::minimumSize() const { return QSize(0, 0); }

void TAlignLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Place(QSizeF(rect.size()));
}

void TAlignLayout::Place(QSizeF newSize) {
    ArrangeAligned(bounds_, size_, newSize);
    size_ = newSize;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (bounds_[i].align != TAlignKind::None) items_[i]->setGeometry(bounds_[i].bounds.toRect());
    }
}

}  // namespace zolvu
