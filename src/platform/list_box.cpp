#include "platform/list_box.h"

#include "platform/cached_item_delegate.h"
#include "platform/handler_guard.h"
#include "platform/list_scroll_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace zolvu {

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    // Entries are one line each and as wide as the list, so rows need not be
    // measured one by one; measuring them made every append during a long
    // run cost time in proportion to the list's length. A path longer than
    // the list is shortened in the middle, keeping the file name visible.
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
    // Each append relays the list out, which repaints every visible entry
    // and the scroll bar although neither changed; the delegate copies
    // entries drawn before, and the bar repaints only when it changes.
    setItemDelegate(new TCachedItemDelegate(this));
    setVerticalScrollBar(new TListScrollBar(Qt::Vertical, this));
}

void TListBox::Clear() {
    clear();
    itemIndex_ = -1;
    ShowItemIndex();
}

void TListBox::Add(const QString& text) {
    addItem(text);
    ShowItemIndex();
}

QListWidgetItem* TListBox::Selected() const {
    return itemIndex_ >= 0 && itemIndex_ < count() ? item(itemIndex_) : nullptr;
}

// The base class's input handling is bypassed on purpose: it moves Qt's
// current row on its own terms (on release, on focus, by its own keyboard
// search), which would fire events the list must not fire.
void TListBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    if (const int row = RowAt(event->position().toPoint()); row >= 0) MoveByUser(row);
}

// Qt delivers the second press of a quick double press as a double click.
void TListBox::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void TListBox::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!(event->buttons() & Qt::LeftButton)) dragging_ = false;
    if (!dragging_) return;
    if (const int row = RowAt(event->position().toPoint()); row >= 0) MoveByUser(row);
}

void TListBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

void TListBox::keyPressEvent(QKeyEvent* event) {
    const int last = count() - 1;
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (last < 0 || !plain) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (itemIndex_ > 0) MoveByUser(itemIndex_ - 1);
        return;
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (itemIndex_ < last) MoveByUser(itemIndex_ + 1);
        return;
    case Qt::Key_Home:
        MoveByUser(0);
        return;
    case Qt::Key_End:
        MoveByUser(last);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int target = itemIndex_ + (event->key() == Qt::Key_PageDown ? PageSize() : -PageSize());
        MoveByUser(target);
        // Past an end the index rests outside the list for one event.
        if (target > last) MoveByUser(last);
        if (target < 0) MoveByUser(0);
        return;
    }
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.front().isPrint()) {
        if (const int row = FirstStartingWith(text); row >= 0) MoveByUser(row);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    ShowItemIndex();
}

void TListBox::MoveByUser(int index) {
    if (index == itemIndex_) return;
    itemIndex_ = index;
    ShowItemIndex();
    if (QListWidgetItem* selected = Selected()) scrollToItem(selected);
    if (OnChange) Guarded(OnChange);
}

void TListBox::ShowItemIndex() {
    QListWidgetItem* selected = Selected();
    if (currentItem() == selected && (!selected || selected->isSelected())) return;
    if (selected)
        setCurrentItem(selected, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear();
}

int TListBox::RowAt(QPoint position) const {
    const QModelIndex index = indexAt(position);
    return index.isValid() ? index.row() : -1;
}

int TListBox::PageSize() const {
    const int rowHeight = count() > 0 ? visualItemRect(item(0)).height() : 0;
    return rowHeight > 0 ? std::max(1, viewport()->height() / rowHeight) : 1;
}

int TListBox::FirstStartingWith(const QString& text) const {
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().startsWith(text, Qt::CaseInsensitive)) return row;
    }
    return -1;
}

}  // namespace zolvu
