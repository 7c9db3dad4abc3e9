#include "platform/status_bar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

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

// Whether the body, as the style draws it, covers the whole bar opaquely.
bool CoversBar(const TStatusBarStyle& style) {
    const QMarginsF m = style.bodyMargins;
    if (m.left() > 0 || m.top() > 0 || m.right() > 0 || m.bottom() > 0) return false;
    return std::all_of(style.fill.begin(), style.fill.end(),
                       [](const QGradientStop& stop) { return stop.second.alpha() == 255; });
}

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
    // A bar its body covers hides what lies behind it, which then need not
    // be painted first.
    setAttribute(Qt::WA_OpaquePaintEvent, style_ && CoversBar(*style_));
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

void TStatusBar::resizeEvent(QResizeEvent*) {
    grip_->setGeometry(GripRect().toRect());
    body_ = QPixmap();
}

void TStatusBar::paintEvent(QPaintEvent*) {
    if (!style_) return;
    QPainter p(this);
    const qreal ratio = devicePixelRatioF();
    if (ratio != std::round(ratio)) {
        DrawBody(p);
        return;
    }
    if (body_.isNull() || body_.devicePixelRatio() != ratio) {
        body_ = QPixmap(size() * ratio);
        body_.setDevicePixelRatio(ratio);
        // Covered whole, the picture needs no transparency and is copied
        // without blending.
        body_.fill(testAttribute(Qt::WA_OpaquePaintEvent) ? QColor(Qt::white) : QColor(Qt::transparent));
        QPainter bodyPainter(&body_);
        DrawBody(bodyPainter);
    }
    p.drawPixmap(0, 0, body_);
}

void TStatusBar::DrawBody(QPainter& p) const {
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
