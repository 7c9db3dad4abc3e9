// The window's own look: background, icon, the styled status bar with its
// grip, and the grip's picture as stored in the resources; and that every
// control shows its text and state to the accessibility interface.

#include "app/main_unit.h"
#include "platform/status_bar.h"

#include <QAccessible>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace zolvu;

namespace {

const QRgb TopLine = qRgb(0x8E, 0x8E, 0x8E);
const QRgb DotColour = qRgb(70, 70, 70);

// The grip's 15 dots, as (row, column) in its 11 x 11 picture.
const std::set<std::pair<int, int>> GripDots = {
    {1, 9}, {3, 7}, {3, 9}, {5, 5}, {5, 7}, {5, 9}, {7, 3}, {7, 5},
    {7, 7}, {7, 9}, {9, 1}, {9, 3}, {9, 5}, {9, 7}, {9, 9},
};

bool IsGrey(QRgb c) { return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c); }

class Look : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }

    QImage StatusBarPicture() { return form_->StatusBar1->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Where the grip picture's top-left pixel lands in a bar of this width:
    // the grip is 20 wide, 2 inside the body's right edge (which lies one
    // pixel past the bar's), 2 below the bar's top, 19 high; the picture is
    // centred in it on whole pixels, as Qt centres (half of each size,
    // rounded down).
    static QPoint GripPictureOrigin(int barWidth) {
        return {barWidth + 1 - 2 - 20 + 20 / 2 - 11 / 2, 2 + 19 / 2 - 11 / 2};
    }

    void ExpectStatusBarLook(const QImage& bar) {
        ASSERT_EQ(bar.height(), 22);
        const int w = bar.width();
        for (int x = 0; x < w; ++x) ASSERT_EQ(bar.pixel(x, 0), TopLine) << "top line at x " << x;
        // No line on the other edges: the gradient reaches them.
        for (int y = 1; y < 22; ++y) {
            EXPECT_NE(bar.pixel(0, y), TopLine) << "left edge at y " << y;
            EXPECT_NE(bar.pixel(w - 1, y), TopLine) << "right edge at y " << y;
        }
        for (int x = 0; x < w; ++x) ASSERT_NE(bar.pixel(x, 21), TopLine) << "bottom edge at x " << x;

        // The gradient, in a column clear of the status text and the grip:
        // grey, from near 0xFA at the top to near 0xD8 at the bottom, never
        // getting lighter on the way down.
        const int column = w - 40;
        int previous = 0xFF;
        for (int y = 1; y < 22; ++y) {
            const QRgb c = bar.pixel(column, y);
            EXPECT_TRUE(IsGrey(c)) << "y " << y;
            EXPECT_LE(qRed(c), previous) << "y " << y;
            previous = qRed(c);
        }
        EXPECT_GE(qRed(bar.pixel(column, 1)), 0xF0);
        EXPECT_LE(qRed(bar.pixel(column, 1)), 0xFA);
        EXPECT_GE(qRed(bar.pixel(column, 10)), 0xEC);
        EXPECT_LE(qRed(bar.pixel(column, 10)), 0xF0);
        EXPECT_GE(qRed(bar.pixel(column, 21)), 0xD8);
        EXPECT_LT(qRed(bar.pixel(column, 21)), 0xEC);

        // The grip: exactly its 15 dots, the gradient around them.
        const QPoint origin = GripPictureOrigin(w);
        for (int row = -1; row <= 11; ++row)
            for (int col = -1; col <= 11; ++col) {
                const QRgb c = bar.pixel(origin + QPoint(col, row));
                if (GripDots.count({row, col}))
                    EXPECT_EQ(c, DotColour) << "dot row " << row << " column " << col;
                else
                    EXPECT_NE(c, DotColour) << "no dot at row " << row << " column " << col;
            }
    }

    TForm1& form() { return *form_; }

private:
    std::unique_ptr<TForm1> form_;
};

TEST_F(Look, StatusBarShowsTheTopLineTheGradientAndTheGrip) { ExpectStatusBarLook(StatusBarPicture()); }

TEST_F(Look, StatusBarKeepsItsLookAndTheGripItsPlaceInAWiderWindow) {
    form().resize(1368, 480);
    (void)QTest::qWaitFor([&] { return form().StatusBar1->width() == 1368; });
    ASSERT_EQ(form().StatusBar1->width(), 1368);
    ExpectStatusBarLook(StatusBarPicture());
}

TEST_F(Look, FormBackgroundIsLightGrey) {
    const QImage window = form().grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Spots where no control draws: between the option and the buttons, the
    // empty preview, the splitter.
    for (const QPoint spot : {QPoint(450, 351 + 60), QPoint(520, 200), QPoint(367, 100)})
        EXPECT_EQ(window.pixel(spot), qRgb(0xF1, 0xF1, 0xF1)) << spot.x() << "," << spot.y();
}

TEST_F(Look, WindowIconHasEverySize) {
    const QList<QSize> sizes = form().windowIcon().availableSizes();
    for (int side : {16, 24, 32, 48, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
        EXPECT_FALSE(form().windowIcon().pixmap(side).isNull()) << side;
    }
}

TEST(GripPicture, IsElevenSquareWithExactlyTheFifteenDots) {
    QFile file(QStringLiteral(":/zolvu/sizegrip.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    // 8 bits per channel with alpha (colour type 6), and the sRGB, gamma
    // and chromaticity chunks.
    ASSERT_GE(png.size(), 33);
    EXPECT_EQ(png.mid(12, 4), QByteArray("IHDR"));
    EXPECT_EQ(png.at(24), 8);
    EXPECT_EQ(png.at(25), 6);
    for (const char* chunk : {"sRGB", "gAMA", "cHRM"}) EXPECT_TRUE(png.contains(chunk)) << chunk;

    const QImage picture = QImage::fromData(png).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(picture.size(), QSize(11, 11));
    for (int row = 0; row < 11; ++row)
        for (int col = 0; col < 11; ++col) {
            const QRgb c = picture.pixel(col, row);
            if (GripDots.count({row, col}))
                EXPECT_EQ(c, qRgba(70, 70, 70, 255)) << "row " << row << " column " << col;
            else
                EXPECT_EQ(qAlpha(c), 0) << "row " << row << " column " << col;
        }
}

TEST_F(Look, EveryControlShowsItsTextAndStateToAssistiveTechnology) {
    form().Button2->setEnabled(false);
    const std::pair<QWidget*, QString> controls[] = {
        {form().Label1, form().Label1->text()},
        {form().Edit1, form().Edit1->text()},
        {form().Button1, QStringLiteral("Analüüsi")},
        {form().Button2, QStringLiteral("Lõpeta")},
        {form().CheckBox1, form().CheckBox1->text()},
        {form().Label3, form().Label3->text()},
        {form().Label2, QString()},
        {form().ListBox1, QString()},
        {form().Edit2, QString()},
    };
    for (const auto& [widget, text] : controls) {
        const std::string name = widget->objectName().toStdString();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr) << name;
        const QAccessible::Text kind = qobject_cast<QLineEdit*>(widget) ? QAccessible::Value : QAccessible::Name;
        EXPECT_EQ(accessible->text(kind), text) << name;
        EXPECT_EQ(accessible->state().disabled, widget == form().Button2) << name;
    }
}

}  // namespace
