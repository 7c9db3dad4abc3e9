#pragma once
// A scroll bar for a growing list. Each appended entry widens its range,
// and a range change repaints the whole bar, though once the handle is at
// its smallest length a longer list no longer changes a single pixel of it.
//
// Promises:
// - Behaves and looks as QScrollBar in every respect.
// - A range change repaints the bar only when it moves or resizes a part of
//   it (handle, pages, arrows, groove), or changes whether the handle rests
//   at either end or whether there is anything to scroll; every other
//   change repaints as QScrollBar does.

#include <QRect>
#include <QScrollBar>
#include <array>

namespace zolvu {

class TListScrollBar : public QScrollBar {
public:
    TListScrollBar(Qt::Orientation orientation, QWidget* parent);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // What of the bar's state its picture shows.
    struct Shown {
        std::array<QRect, 6> parts;
        bool atMinimum;
        bool atMaximum;
        bool scrollable;
        bool operator==(const Shown&) const = default;
    };
    Shown Current() const;

    Shown shown_{};
};

}  // namespace zolvu
