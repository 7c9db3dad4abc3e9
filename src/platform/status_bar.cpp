#include "platform/status_bar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyle>

namespace zolvu {

namespace {

// The grip's look: the picture centred at its own size, nothing else.
class TStyledSizeGrip : public QSizeGrip {
public:
    TStyledSizeGrip(QWidget* parent, QImage picture) : QSizeGrip(parent), picture_(std::move(picture)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        // Centred on whole pixels: at a half-pixel offset each dot would
        // land wherever the painter rounds to, or be smeared over two.
        QPainter p(this);
        p.drawImage(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, picture_.size(), rect()), picture_);
    }

private:
    QImage picture_;
};

TStatusBarStyle StatusBar1Style1() {
    TStatusBarStyle style;
    style.fill = {{0.0, QColor(0xFA, 0xFA, 0xFA)},
                  {0.165467619895935100, QColor(0xF0, 0xF0, 0xF0)},
                  {0.841726601123809800, QColor(0xEC, 0xEC, 0xEC)},
                  {1.0, QColor(0xD8, 0xD8, 0xD8)}};
    style.border = QColor(0x8E, 0x8E, 0x8E);
    style.bodyMargins = QMarginsF(-1, 0, -1, -1);
    style.gripWidth = 20;
    style.gripMargins = QMarginsF(2, 2, 2, 2);
    style.gripPicture = QImage(QStringLiteral(":/zolvu/sizegrip.png"));
    return style;
}

}  // namespace

TStyleBook::TStyleBook(QObject* parent) : QObject(parent) {
    styles_.emplace(QStringLiteral("StatusBar1Style1"), StatusBar1Style1());
}

const TStatusBarStyle* TStyleBook::Lookup(const QString& name) const {
    const auto it = styles_.find(name);
    return it == styles_.end() ? nullptr : &it->second;
}

TStatusBar::TStatusBar(QWidget* parent, const TStyleBook* styleBook, const QString& styleLookup)
    : QWidget(parent), style_(styleBook ? styleBook->Lookup(styleLookup) : nullptr) {
    grip_ = new TStyledSizeGrip(this, style_ ? style_->gripPicture : QImage());
}

void TStatusBar::SetShowSizeGrip(bool show) {
    showSizeGrip_ = show;
    grip_->setVisible(show);
}

QRectF TStatusBar::BodyRect() const {
    const QMarginsF m = style_ ? style_->bodyMargins : QMarginsF();
    return QRectF(rect()).marginsRemoved(m);
}

QRectF TStatusBar::GripRect() const {
    if (!style_) return {};
    const QRectF body = BodyRect().marginsRemoved(style_->gripMargins);
    return QRectF(body.right() - style_->gripWidth, body.top(), style_->gripWidth, body.height());
}

void TStatusBar::resizeEvent(QResizeEvent*) { grip_->setGeometry(GripRect().toRect()); }

void TStatusBar::paintEvent(QPaintEvent*) {
    if (!style_) return;
    QPainter p(this);
    p.setClipRect(rect());
    const QRectF body = BodyRect();
    QLinearGradient gradient(body.topLeft(), body.bottomLeft());
    gradient.setStops(style_->fill);
    p.fillRect(body, gradient);
    // A one-pixel border drawn inside the body's edges; the clip keeps only
    // the top line, since the other three lie outside the bar.
    p.setPen(QPen(style_->border, 1));
    p.drawRect(body.adjusted(0.5, 0.5, -0.5, -0.5));
}

}  // namespace zolvu
