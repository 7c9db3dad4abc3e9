#include "platform/list_scroll_bar.h"

#include <QStyleOptionSlider>

namespace zolvu {

TListScrollBar::TListScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

TListScrollBar::Shown TListScrollBar::Current() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    Shown shown{};
    const QStyle::SubControl parts[] = {QStyle::SC_ScrollBarGroove,  QStyle::SC_ScrollBarSlider,
                                        QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage,
                                        QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine};
    for (std::size_t i = 0; i < shown.parts.size(); ++i)
        shown.parts[i] = style()->subControlRect(QStyle::CC_ScrollBar, &option, parts[i], this);
    shown.atMinimum = option.sliderPosition == option.minimum;
    shown.atMaximum = option.sliderPosition == option.maximum;
    shown.scrollable = option.minimum < option.maximum;
    return shown;
}

void TListScrollBar::sliderChange(SliderChange change) {
    const Shown now = Current();
    if (change == SliderRangeChange && now == shown_) return;
    shown_ = now;
    QScrollBar::sliderChange(change);
}

void TListScrollBar::paintEvent(QPaintEvent* event) {
    shown_ = Current();
    QScrollBar::paintEvent(event);
}

}  // namespace zolvu
