#pragma once
// The divider between the list and the preview. A left-button press takes
// the aligned widget directly to its left as the one to resize and fixes,
// for that drag, the largest width as the parent's width less MinSize less
// the splitter's own width; while the button is held that widget's width
// follows the pointer, between MinSize and that largest width.

#include <QWidget>

namespace zolvu {

class TAlignLayout;

class TSplitter : public QWidget {
public:
    TSplitter(QWidget* parent, TAlignLayout* layout, int minSize);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* NeighbourOnLeft() const;

    TAlignLayout* layout_;
    int minSize_;
    QWidget* target_ = nullptr;
    qreal pressX_ = 0;
    qreal startWidth_ = 0;
    qreal maxWidth_ = 0;
};

}  // namespace zolvu
