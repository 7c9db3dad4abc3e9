#pragma once
// The preview: draws its bitmap in fit mode (fit_rect.h), centred, with
// smooth scaling, refitted whenever its size changes. An empty bitmap draws
// nothing.

#include <QImage>
#include <QWidget>

namespace zolvu {

class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent);

    const QImage& Bitmap() const { return bitmap_; }
    void SetBitmap(QImage bitmap);

    // The rectangle the bitmap is drawn into, in the widget's coordinates.
    QRectF DrawnRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage bitmap_;
    QImage scaled_;  // the bitmap at the last drawn size, so repaints do not rescale
};

}  // namespace zolvu
