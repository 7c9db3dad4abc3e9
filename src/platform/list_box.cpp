#include "platform/list_box.h"

#include "platform/handler_guard.h"

namespace zolvu {

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    connect(this, &QListWidget::currentRowChanged, this, [this](int) {
        if (!programmatic_ && OnChange) Guarded(OnChange);
    });
}

void TListBox::Clear() {
    programmatic_ = true;
    clear();
    programmatic_ = false;
}

void TListBox::Add(const QString& text) {
    programmatic_ = true;
    addItem(text);
    programmatic_ = false;
}

QListWidgetItem* TListBox::Selected() const {
    const int row = currentRow();
    return row >= 0 && row < count() ? item(row) : nullptr;
}

}  // namespace zolvu
