#pragma once
// An item delegate that draws each entry as the standard delegate does, but
// keeps the drawn entry and copies it the next time the same entry is drawn
// in the same state. A list lays itself out anew each time an entry is
// appended, even below the visible ones, and so repaints every visible
// entry; laying out their texts again each time is what this saves.
//
// Promises:
// - What is drawn is pixel for pixel what QStyledItemDelegate draws: a cell
//   is drawn by it onto the view's own background colour and copied whole.
// - A cell is reused only when everything the style works from is the
//   same: the entry's text, icon and check state, its size, state, palette,
//   font and the other view-item options, the style, the painter's state
//   and the device pixel ratio.
// - Where the view's background is not one opaque colour, or the painter
//   does not move by whole pixels at a whole pixel ratio, entries are drawn
//   directly, uncached; so is an entry that is selected, current or under
//   the mouse, whose highlight's antialiased edges would round a shade
//   differently on a copy.

#include <QBrush>
#include <QCache>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyledItemDelegate>

namespace zolvu {

class TCachedItemDelegate : public QStyledItemDelegate {
public:
    explicit TCachedItemDelegate(QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // What the style draws an entry from.
    struct Entry {
        QString text;
        QSize size;
        const QStyle* style;
        QStyle::State state;
        Qt::LayoutDirection direction;
        QPalette palette;
        QFont font;
        Qt::Alignment displayAlignment;
        Qt::Alignment decorationAlignment;
        Qt::TextElideMode textElideMode;
        QStyleOptionViewItem::Position decorationPosition;
        QSize decorationSize;
        QStyleOptionViewItem::ViewItemFeatures features;
        QStyleOptionViewItem::ViewItemPosition viewItemPosition;
        bool showDecorationSelected;
        Qt::CheckState checkState;
        qint64 icon;
        QBrush backgroundBrush;
        bool operator==(const Entry&) const = default;
    };
    // What else a drawn cell depends on.
    struct Surface {
        qreal pixelRatio;
        QColor background;
        QFont font;
        QPen pen;
        QBrush brush;
        Qt::LayoutDirection direction;
        QPainter::RenderHints renderHints;
        bool operator==(const Surface&) const = default;
    };
    struct Cell {
        Entry entry;
        Surface surface;
        QPixmap picture;
    };
    Entry EntryOf(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // The cells keyed by their text, as many as cover a few screenfuls.
    mutable QCache<QString, Cell> cells_;
};

}  // namespace zolvu
