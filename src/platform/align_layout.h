#pragma once
// A layout that places its widgets by the alignment rules of
// align_geometry.h. Each widget is added with its kind and its design
// bounds (real numbers) at the parent's design size; from then on the
// layout keeps the real bounds and hands the widgets their rounded ones.

#include "platform/align_geometry.h"

#include <QLayout>
#include <vector>

namespace zolvu {

class TAlignLayout : public QLayout {
public:
    TAlignLayout(QWidget* parent, QSizeF designSize);
    ~TAlignLayout() override;

    void AddAligned(QWidget* widget, TAlignKind align, QRectF designBounds);

    // The real bounds the layout keeps for a widget it places.
    QRectF Bounds(const QWidget* widget) const;
    // Moves or resizes a widget's kept bounds (the splitter does) and lays
    // the parent out anew.
    void SetBounds(const QWidget* widget, QRectF bounds);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    void Place(QSizeF newSize);

    std::vector<QLayoutItem*> items_;
    std::vector<AlignedBounds> bounds_;
    QSizeF size_;
};

}  // namespace zolvu
