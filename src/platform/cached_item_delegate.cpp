#include "platform/cached_item_delegate.h"

#include <QAbstractItemView>
#include <cmath>
#include <optional>

namespace zolvu {

namespace {

// A few screenfuls of cells, counted in device pixels.
constexpr int CachedPixels = 2 * 1024 * 1024;

// The colour the view fills under its entries, when it is one opaque colour.
std::optional<QColor> OpaqueBackground(const QWidget* widget) {
    const auto* view = qobject_cast<const QAbstractItemView*>(widget);
    if (!view || !view->viewport()->autoFillBackground()) return std::nullopt;
    const QWidget* viewport = view->viewport();
    const QBrush& brush = viewport->palette().brush(viewport->backgroundRole());
    if (brush.style() != Qt::SolidPattern || !brush.isOpaque()) return std::nullopt;
    return brush.color();
}

// A copied cell lands exactly where a direct drawing would only while the
// painter moves by whole pixels, paints plainly and at a whole pixel ratio.
bool CopiesExactly(const QPainter* painter, qreal pixelRatio) {
    const QTransform& world = painter->worldTransform();
    return world.type() <= QTransform::TxTranslate && world.dx() == std::round(world.dx()) &&
           world.dy() == std::round(world.dy()) && painter->opacity() == 1.0 &&
           painter->compositionMode() == QPainter::CompositionMode_SourceOver && pixelRatio == std::round(pixelRatio);
}

}  // namespace

TCachedItemDelegate::TCachedItemDelegate(QObject* parent) : QStyledItemDelegate(parent), cells_(CachedPixels) {}

TCachedItemDelegate::Entry TCachedItemDelegate::EntryOf(const QStyleOptionViewItem& option,
                                                        const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    return {item.text,          item.rect.size(),        item.widget ? item.widget->style() : nullptr,
            item.state,         item.direction,          item.palette,
            item.font,          item.displayAlignment,   item.decorationAlignment,
            item.textElideMode, item.decorationPosition, item.decorationSize,
            item.features,      item.viewItemPosition,   item.showDecorationSelected,
            item.checkState,    item.icon.cacheKey(),    item.backgroundBrush};
}

void TCachedItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const qreal pixelRatio = painter->device()->devicePixelRatio();
    const std::optional<QColor> background = OpaqueBackground(option.widget);
    if (!background || !CopiesExactly(painter, pixelRatio)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    Entry entry = EntryOf(option, index);
    // Highlighted entries are few at a time and drawn directly.
    if (entry.state & (QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const Surface surface{pixelRatio,
                          *background,
                          painter->font(),
                          painter->pen(),
                          painter->brush(),
                          painter->layoutDirection(),
                          painter->renderHints()};
    if (const Cell* cell = cells_.object(entry.text); cell && cell->entry == entry && cell->surface == surface) {
        painter->drawPixmap(option.rect.topLeft(), cell->picture);
        return;
    }

    QPixmap picture(option.rect.size() * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(*background);
    {
        QPainter cellPainter(&picture);
        cellPainter.setFont(surface.font);
        cellPainter.setPen(surface.pen);
        cellPainter.setBrush(surface.brush);
        cellPainter.setLayoutDirection(surface.direction);
        cellPainter.setRenderHints(surface.renderHints);
        QStyleOptionViewItem atOrigin = option;
        atOrigin.rect.moveTo(0, 0);
        QStyledItemDelegate::paint(&cellPainter, atOrigin, index);
    }
    painter->drawPixmap(option.rect.topLeft(), picture);
    const QString text = entry.text;
    cells_.insert(text, new Cell{std::move(entry), surface, picture}, picture.width() * picture.height());
}

}  // namespace zolvu
