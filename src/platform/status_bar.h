#pragma once
// The status bar and the style book it takes its look from.
//
// Style "StatusBar1Style1": a root that clips to the bar; inside it a body
// reaching one pixel past the bar's left, right and bottom edges, filled
// with a vertical four-stop gradient and bordered with one solid pixel, so
// that of the border only the top line shows; at the body's right edge, 20
// wide with margins of 2, the size grip, whose look ("StatusBar1sizegrip1")
// is an 11 x 11 picture centred in it at its own size. The grip is shown
// while ShowSizeGrip is true and then resizes the window when dragged.
//
// The bar is repainted behind its text each time the text changes, so its
// body is drawn once per size into a picture, which each repaint copies; at
// a fractional pixel ratio, where a copy could land between pixels, the
// body is drawn directly. A body that covers the whole bar with opaque
// colours hides what lies behind the bar, which is then not painted.

#include <QColor>
#include <QGradientStops>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSizeGrip>
#include <QString>
#include <QWidget>
#include <map>

namespace zolvu {

struct TStatusBarStyle {
    QGradientStops fill;
    QColor border;
    QMarginsF bodyMargins;  // outer margins of the body; negative reach past the bar
    qreal gripWidth = 0;
    QMarginsF gripMargins;
    QImage gripPicture;
};

// The form's style book: styles by name. A lookup that finds nothing here
// leaves the toolkit's default look.
class TStyleBook : public QObject {
public:
    explicit TStyleBook(QObject* parent);
    const TStatusBarStyle* Lookup(const QString& name) const;

private:
    std::map<QString, TStatusBarStyle> styles_;
};

class TStatusBar : public QWidget {
public:
    TStatusBar(QWidget* parent, const TStyleBook* styleBook, const QString& styleLookup);

    void SetShowSizeGrip(bool show);
    bool ShowSizeGrip() const { return showSizeGrip_; }

    // Where the body and the grip lie in the bar's own coordinates.
    QRectF BodyRect() const;
    QRectF GripRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawBody(QPainter& painter) const;

    const TStatusBarStyle* style_;
    QPixmap body_;  // the body as last drawn, empty until drawn at this size
    QSizeGrip* grip_;
    bool showSizeGrip_ = true;
};

}  // namespace zolvu
