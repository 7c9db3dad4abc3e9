#pragma once
// The result list: single selection over entries kept in the order added.
//
// Promises:
// - ItemIndex() is the list's own selection index, -1 when nothing is
//   selected. Only the user moves it: a left press on an entry, moving onto
//   an entry with the left button held since a press inside the list, and,
//   with the keyboard focus, the four arrows (one entry back or on), Home,
//   End, PageUp, PageDown (one page of whole visible entries) and a typed
//   character (the first entry whose text begins with it, ignoring case).
// - OnChange runs under the handler guard right after each such move to a
//   different index, once per move. A page key that would go past either
//   end first moves the index outside the list (one event, Selected() null)
//   and then to the first or last entry (a second event).
// - A press on the selected entry, a right or middle press, Clear() and
//   Add() never fire OnChange. Clear() leaves nothing selected; Add() keeps
//   the selection where it is.
// - Qt's own habits (a current row set on focus-in and the like) neither
//   move ItemIndex() nor fire OnChange: the view shows ItemIndex() only.

#include <QListWidget>
#include <functional>

namespace zolvu {

class TListBox : public QListWidget {
public:
    explicit TListBox(QWidget* parent);

    std::function<void()> OnChange;

    void Clear();
    void Add(const QString& text);
    int ItemIndex() const { return itemIndex_; }
    // The entry at ItemIndex(), or null when that lies outside the list.
    QListWidgetItem* Selected() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void MoveByUser(int index);
    void ShowItemIndex();
    int RowAt(QPoint position) const;
    int PageSize() const;
    int FirstStartingWith(const QString& text) const;

    int itemIndex_ = -1;
    bool dragging_ = false;
};

}  // namespace zolvu
