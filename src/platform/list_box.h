#pragma once
// The result list. OnChange fires only when the user moves the selection to
// another entry (mouse press or drag, the navigation keys, a typed letter);
// Clear() and Add() never fire it.

#include <QListWidget>
#include <functional>

namespace zolvu {

class TListBox : public QListWidget {
public:
    explicit TListBox(QWidget* parent);

    std::function<void()> OnChange;

    void Clear();
    void Add(const QString& text);
    // The selected entry, or null when nothing is selected.
    QListWidgetItem* Selected() const;

private:
    bool programmatic_ = false;
};

}  // namespace zolvu
