// The painting caches against what they stand in for: the result list with
// its cached entries and scroll bar beside a plain QListWidget, the list's
// scroll bar beside a QScrollBar, the status bar's kept body beside a body
// drawn directly. What is compared is what the window shows once the event
// loop has painted: grab() paints a widget anew and so would hide a repaint
// that was wrongly skipped. The lists are compared grabbed as well, which
// draws their entries once more, from the cache, onto another device.

#include "platform/list_box.h"
#include "platform/list_scroll_bar.h"
#include "platform/status_bar.h"

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

using namespace zolvu;

namespace {

class PaintCount : public QObject {
public:
    PaintCount() { qApp->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

// Dispatches events until a round of them paints nothing more: the window
// then shows what its widgets last painted.
void Settle() {
    PaintCount paints;
    int before = -1;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const bool settled = paints.count == before;
        before = paints.count;
        return settled;
    }));
}

// Shows the window with the pointer outside it, so that no widget compared
// shows a part under the pointer highlighted.
testing::AssertionResult ShowAwayFromPointer(QWidget& window) {
    window.move(100, 100);
    QCursor::setPos(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return testing::AssertionFailure() << "window not exposed";
    return testing::AssertionSuccess();
}

// What the window shows of the widget, as its last paint left it.
QImage OnScreen(const QWidget& widget) {
    const QWidget* window = widget.window();
    const QPoint at = widget.mapTo(window, QPoint(0, 0));
    return window->windowHandle()
        ->screen()
        ->grabWindow(window->winId(), at.x(), at.y(), widget.width(), widget.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

testing::AssertionResult SamePicture(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size())
        return testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << " instead of "
                                           << expected.width() << "x" << expected.height();
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != e.pixel(x, y))
                return testing::AssertionFailure() << "first difference at (" << x << ", " << y
                                                   << "): " << QColor(a.pixel(x, y)).name().toStdString()
                                                   << " instead of " << QColor(e.pixel(x, y)).name().toStdString();
    return testing::AssertionSuccess();
}

// The result list and, beside it in the same window, a plain QListWidget
// set up as the result list sets itself up but with the standard delegate
// and scroll bar. Neither takes the focus, which would mark the current
// entry of only the one that has it.
class Lists {
public:
    Lists() {
        reference.setSelectionMode(QAbstractItemView::SingleSelection);
        reference.setSortingEnabled(false);
        reference.setUniformItemSizes(true);
        reference.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        reference.setTextElideMode(Qt::ElideMiddle);
        box.setFocusPolicy(Qt::NoFocus);
        reference.setFocusPolicy(Qt::NoFocus);
        window.resize(1100, 700);
        Resize(QSize(365, 351));
    }

    void Resize(QSize size) {
        box.setGeometry(QRect(QPoint(0, 0), size));
        reference.setGeometry(QRect(QPoint(size.width() + 10, 0), size));
    }
    void Add(const QString& text) {
        box.Add(text);
        reference.addItem(text);
    }
    void Clear() {
        box.Clear();
        reference.clear();
    }
    void Press(Qt::Key key) {
        QTest::keyClick(&box, key);
        Follow();
    }
    void ScrollToEnd() {
        for (QListWidget* list : {static_cast<QListWidget*>(&box), &reference})
            list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    }

    QWidget window;
    TListBox box{&window};
    QListWidget reference{&window};

private:
    // The reference takes the selection and scroll position the box moved
    // itself to, set the way the box sets them.
    void Follow() {
        if (QListWidgetItem* selected = box.Selected())
            reference.setCurrentItem(reference.item(box.row(selected)), QItemSelectionModel::ClearAndSelect);
        else
            reference.selectionModel()->clear();
        reference.verticalScrollBar()->setValue(box.verticalScrollBar()->value());
    }
};

using Step = std::function<void(Lists&)>;

Step Add(const char* pattern, int from, int count) {
    return [=](Lists& lists) {
        for (int i = from; i < from + count; ++i) lists.Add(QString::fromUtf8(pattern).arg(i, 4, 10, QLatin1Char('0')));
    };
}
Step Press(Qt::Key key) {
    return [=](Lists& lists) { lists.Press(key); };
}
Step Resize(int width, int height) {
    return [=](Lists& lists) { lists.Resize(QSize(width, height)); };
}
const Step ScrollToEnd = [](Lists& lists) { lists.ScrollToEnd(); };
const Step Clear = [](Lists& lists) { lists.Clear(); };

const char* const Photo = "C:/Users/Mari/Pildid/2019/Suvi/IMG_%1.jpg";
const char* const OtherPhoto = "C:/Users/Mari/Pildid/2019/Suvi/IMG_%1.png";
// Long enough to be shortened in a narrow list, alike at both ends.
const char* const DeepPhoto = "/home/mari/Pildid/2018/Reis Itaaliasse/Firenze/päev kolm/hommik/IMG_2018_%1.jpg";
const char* const OtherDeepPhoto = "/home/mari/Pildid/2018/Reis Hispaaniasse/Sevilla/päev kolm/hommik/IMG_2018_%1.jpg";

struct Situation {
    std::string name;
    std::vector<Step> steps;
};
void PrintTo(const Situation& situation, std::ostream* out) { *out << situation.name; }

class ListLooksAsQListWidget : public testing::TestWithParam<Situation> {};

TEST_P(ListLooksAsQListWidget, AfterEveryStep) {
    Lists lists;
    ASSERT_TRUE(ShowAwayFromPointer(lists.window));
    const std::vector<Step>& steps = GetParam().steps;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i](lists);
        Settle();
        EXPECT_TRUE(SamePicture(OnScreen(lists.box), OnScreen(lists.reference))) << "on screen after step " << i;
        EXPECT_TRUE(SamePicture(lists.box.grab().toImage(), lists.reference.grab().toImage()))
            << "grabbed after step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Situations, ListLooksAsQListWidget,
    testing::Values(
        Situation{"ManyEntriesPastTheVisibleOnes", {Add(Photo, 0, 5), Add(Photo, 5, 100), Add(Photo, 105, 300)}},
        Situation{"ScrolledToTheEnd", {Add(Photo, 0, 200), ScrollToEnd, Add(Photo, 200, 3)}},
        Situation{"SelectionMovedByKeyboard",
                  {Add(Photo, 0, 40), Press(Qt::Key_Down), Press(Qt::Key_Down), Press(Qt::Key_Up), Press(Qt::Key_Up),
                   Press(Qt::Key_PageDown), Press(Qt::Key_End), Press(Qt::Key_Home), Add(Photo, 40, 5)}},
        Situation{"ClearedAndRefilledWithTextsAlikeAtTheStart",
                  {Add(Photo, 0, 40), Press(Qt::Key_Down), Clear, Add(OtherPhoto, 0, 40), Press(Qt::Key_Down), Clear,
                   Add(Photo, 0, 40)}},
        Situation{"LongPathsShortenedInTheMiddle",
                  {Resize(150, 200), Add(DeepPhoto, 0, 10), Add(OtherDeepPhoto, 0, 10), Press(Qt::Key_Down),
                   Press(Qt::Key_End), Resize(260, 200)}},
        Situation{"Resized",
                  {Add(Photo, 0, 60), Resize(200, 150), Resize(500, 420), Press(Qt::Key_Down), Resize(365, 351)}}),
    [](const testing::TestParamInfo<Situation>& info) { return info.param.name; });

// The scroll bar beside a QScrollBar, both at a list's page step, through a
// range growing well past the point where the handle has its smallest
// length, with the value at the start, inside and at the end, and back.
TEST(ListScrollBar, LooksAsQScrollBarAtEveryRangeAndValue) {
    struct Position {
        int maximum;
        int value;
    };
    const Position positions[] = {{0, 0},         {1, 0},         {10, 0},        {50, 0},        {200, 0},
                                  {1000, 0},      {5000, 0},      {20000, 0},     {20000, 1},     {20000, 10000},
                                  {40000, 10000}, {40001, 10000}, {40001, 40001}, {40002, 40001}, {80000, 40001},
                                  {80000, 80000}, {80001, 80000}, {100, 80000},   {100, 50},      {0, 0}};
    for (const Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
        SCOPED_TRACE(orientation == Qt::Vertical ? "vertical" : "horizontal");
        QWidget window;
        TListScrollBar bar(orientation, &window);
        QScrollBar reference(orientation, &window);
        const int thickness =
            orientation == Qt::Vertical ? reference.sizeHint().width() : reference.sizeHint().height();
        const QSize size = orientation == Qt::Vertical ? QSize(thickness, 240) : QSize(240, thickness);
        const QPoint beside = orientation == Qt::Vertical ? QPoint(thickness + 10, 0) : QPoint(0, thickness + 10);
        bar.setGeometry(QRect(QPoint(0, 0), size));
        reference.setGeometry(QRect(beside, size));
        for (QScrollBar* each : {static_cast<QScrollBar*>(&bar), &reference}) {
            each->setPageStep(20);
            each->setRange(0, 0);
        }
        window.resize(300, 300);
        ASSERT_TRUE(ShowAwayFromPointer(window));
        for (const Position& position : positions) {
            for (QScrollBar* each : {static_cast<QScrollBar*>(&bar), &reference}) {
                each->setMaximum(position.maximum);
                each->setValue(position.value);
            }
            Settle();
            EXPECT_TRUE(SamePicture(OnScreen(bar), OnScreen(reference)))
                << "maximum " << position.maximum << ", value " << position.value;
        }
    }
}

// The status bar's body as drawn straight onto the bar: the gradient over
// the body, its one-pixel border inside the body's edges.
QImage DirectBody(const TStatusBar& bar, const TStatusBarStyle& style) {
    QImage picture(bar.size(), QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPainter p(&picture);
    const QRectF body = bar.BodyRect();
    QLinearGradient gradient(body.topLeft(), body.bottomLeft());
    gradient.setStops(style.fill);
    p.fillRect(body, gradient);
    p.setPen(QPen(style.border, 1));
    p.drawRect(body.adjusted(0.5, 0.5, -0.5, -0.5));
    return picture;
}

TEST(StatusBar, ShowsItsBodyAsDrawnDirectlyAfterEveryResize) {
    const TStyleBook styles(nullptr);
    const QString name = QStringLiteral("StatusBar1Style1");
    QWidget window;
    window.resize(1000, 100);
    TStatusBar bar(&window, &styles, name);
    // The body alone: the grip is a widget of its own over it.
    bar.SetShowSizeGrip(false);
    bar.setGeometry(0, 0, 684, 22);
    ASSERT_TRUE(ShowAwayFromPointer(window));
    for (const QSize size :
         {QSize(684, 22), QSize(300, 22), QSize(900, 22), QSize(900, 30), QSize(500, 14), QSize(684, 22)}) {
        bar.resize(size);
        Settle();
        EXPECT_TRUE(SamePicture(OnScreen(bar), DirectBody(bar, *styles.Lookup(name))))
            << size.width() << "x" << size.height();
    }
}

}  // namespace
