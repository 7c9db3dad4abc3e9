// The main window as built: every component where the design puts it, with
// its parent, text and first state; how the layout follows a wider and a
// taller window; the splitter's limits under real mouse events; the
// keyboard order.

#include "app/main_unit.h"
#include "gui_wait.h"
#include "platform/align_layout.h"
#include "platform/image_view.h"
#include "platform/splitter.h"
#include "platform/status_bar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace zolvu;

namespace {

struct Placed {
    const char* name;
    const char* parent;
    QRect geometry;
};

// The design at a client area of 684 x 480, as the widgets get it (whole
// pixels; Edit1's real bounds are checked on their own).
const Placed DesignLayout[] = {
    {"Panel1", "Form1", {0, 351, 684, 129}},     {"Label1", "Panel1", {8, 8, 129, 15}},
    {"Edit1", "Panel1", {129, 5, 550, 22}},      {"Button1", "Panel1", {499, 77, 80, 22}},
    {"StatusBar1", "Panel1", {0, 107, 684, 22}}, {"Label2", "StatusBar1", {4, 5, 357, 15}},
    {"Label3", "Panel1", {128, 80, 329, 15}},    {"Button2", "Panel1", {587, 77, 80, 22}},
    {"CheckBox1", "Panel1", {128, 32, 265, 19}}, {"Panel2", "Form1", {0, 0, 365, 351}},
    {"ListBox1", "Panel2", {0, 0, 365, 351}},    {"Splitter1", "Form1", {365, 0, 5, 351}},
    {"Panel3", "Form1", {370, 0, 314, 351}},     {"Image1", "Panel3", {0, 22, 314, 329}},
    {"Edit2", "Panel3", {0, 0, 314, 22}},
};

constexpr qreal Edit1Left = 129.132690429688;
constexpr qreal Edit1Width = 549.822998046875;

class MainForm : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }

    TForm1& form() { return *form_; }

    QWidget* Component(const char* name) { return form_->findChild<QWidget*>(QString::fromLatin1(name)); }

    // Resizes the client area and waits until the layout has followed.
    void ResizeClient(int width, int height) {
        form_->resize(width, height);
        EXPECT_EQ_SOON(form_->Panel1->geometry().bottom(), height - 1);
        EXPECT_EQ_SOON(form_->Panel1->width(), width);
    }

    QRectF KeptBounds(const QWidget* widget) { return form_->LayoutOf(widget->parentWidget())->Bounds(widget); }

    void ExpectPlaced(const std::vector<Placed>& expected) {
        for (const Placed& p : expected) {
            QWidget* widget = Component(p.name);
            ASSERT_NE(widget, nullptr) << p.name;
            EXPECT_EQ(widget->geometry(), p.geometry) << p.name;
        }
    }

private:
    std::unique_ptr<TForm1> form_;
};

TEST_F(MainForm, EveryComponentSitsWhereTheDesignPutsIt) {
    EXPECT_EQ(form().size(), QSize(684, 480));
    for (const Placed& p : DesignLayout) {
        QWidget* widget = Component(p.name);
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(p.parent)) << p.name;
        EXPECT_EQ(widget->geometry(), p.geometry) << p.name;
        EXPECT_TRUE(widget->isEnabled()) << p.name;
        EXPECT_TRUE(widget->isVisible()) << p.name;
    }
    const QRectF edit1 = KeptBounds(form().Edit1);
    EXPECT_DOUBLE_EQ(edit1.left(), Edit1Left);
    EXPECT_DOUBLE_EQ(edit1.width(), Edit1Width);
    EXPECT_EQ(form().findChild<QObject*>(QStringLiteral("StyleBook1")), reinterpret_cast<QObject*>(form().StyleBook1));
}

TEST_F(MainForm, MembersAreTheNamedComponents) {
    const std::pair<const char*, QWidget*> members[] = {
        {"Panel1", form().Panel1},         {"Panel2", form().Panel2},   {"Splitter1", form().Splitter1},
        {"Panel3", form().Panel3},         {"Image1", form().Image1},   {"Label1", form().Label1},
        {"Edit1", form().Edit1},           {"Button1", form().Button1}, {"ListBox1", form().ListBox1},
        {"StatusBar1", form().StatusBar1}, {"Label2", form().Label2},   {"Label3", form().Label3},
        {"Edit2", form().Edit2},           {"Button2", form().Button2}, {"CheckBox1", form().CheckBox1},
    };
    for (const auto& [name, member] : members) EXPECT_EQ(Component(name), member) << name;
}

TEST_F(MainForm, TextsAndFirstStateAreTheDesigns) {
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Zolvu"));
    EXPECT_EQ(form().Label1->text(), QStringLiteral("Otsi faile kataloogist:"));
    EXPECT_EQ(form().Button1->text(), QStringLiteral("Analüüsi"));
    EXPECT_EQ(form().Button2->text(), QStringLiteral("Lõpeta"));
    EXPECT_EQ(form().CheckBox1->text(), QStringLiteral("Kasuta täpsemat analüüsi"));
    EXPECT_FALSE(form().CheckBox1->isChecked());
    EXPECT_TRUE(form().Label2->text().isEmpty());
    EXPECT_TRUE(form().Edit2->text().isEmpty());
    EXPECT_FALSE(form().Label3->text().isEmpty());
    EXPECT_FALSE(form().Label3->text().contains(u'\n'));

    EXPECT_EQ(form().ListBox1->count(), 0);
    EXPECT_EQ(form().ListBox1->currentRow(), -1);
    EXPECT_TRUE(form().ListBox1->selectedItems().isEmpty());
    EXPECT_EQ(form().ListBox1->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(form().ListBox1->isSortingEnabled());
    EXPECT_TRUE(form().Image1->Bitmap().isNull());
    EXPECT_TRUE(form().StatusBar1->ShowSizeGrip());
    EXPECT_EQ(form().Count(), 0);
    EXPECT_FALSE(form().StopFlag());
    EXPECT_EQ(form().Splitter1->cursor().shape(), Qt::SplitHCursor);

    for (QLineEdit* edit : {form().Edit1, form().Edit2}) {
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal) << edit->objectName().toStdString();
        EXPECT_FALSE(edit->isReadOnly()) << edit->objectName().toStdString();
    }
}

TEST_F(MainForm, TextsFitTheirFixedBoxes) {
    // The labels and the option keep their design sizes; a text wider than
    // its box would be cut off on screen.
    const std::pair<QWidget*, QString> boxes[] = {
        {form().Label1, form().Label1->text()},
        {form().Label3, form().Label3->text()},
    };
    for (const auto& [widget, text] : boxes)
        EXPECT_LE(widget->fontMetrics().horizontalAdvance(text), widget->width()) << text.toStdString();
    EXPECT_LE(form().CheckBox1->sizeHint().width(), form().CheckBox1->width());
    EXPECT_LE(form().Label1->sizeHint().height(), form().Label1->height());
}

TEST_F(MainForm, WiderWindowStretchesTheBottomAndTheRightAndScalesTheFolderBox) {
    ResizeClient(1368, 480);
    ExpectPlaced({
        {"Panel1", "", {0, 351, 1368, 129}},
        {"StatusBar1", "", {0, 107, 1368, 22}},
        {"Label1", "", {8, 8, 129, 15}},
        {"CheckBox1", "", {128, 32, 265, 19}},
        {"Label3", "", {128, 80, 329, 15}},
        {"Button1", "", {499, 77, 80, 22}},
        {"Button2", "", {587, 77, 80, 22}},
        {"Label2", "", {4, 5, 357, 15}},
        {"Panel2", "", {0, 0, 365, 351}},
        {"Splitter1", "", {365, 0, 5, 351}},
        {"Panel3", "", {370, 0, 998, 351}},
        {"Edit2", "", {0, 0, 998, 22}},
        {"Image1", "", {0, 22, 998, 329}},
    });
    const QRectF edit1 = KeptBounds(form().Edit1);
    EXPECT_NEAR(edit1.left(), 258.27, 0.005);
    EXPECT_NEAR(edit1.width(), 1099.65, 0.005);
    EXPECT_DOUBLE_EQ(edit1.top(), 5);
    EXPECT_DOUBLE_EQ(edit1.height(), 22);
    EXPECT_EQ(form().Edit1->geometry(), QRect(258, 5, 1100, 22));
}

TEST_F(MainForm, FolderBoxScalesWithoutDriftOverManyResizes) {
    for (int width : {700, 1368, 913, 1021, 684 + 1, 2000}) ResizeClient(width, 480);
    ResizeClient(684, 480);
    const QRectF edit1 = KeptBounds(form().Edit1);
    EXPECT_NEAR(edit1.left(), Edit1Left, 1e-9);
    EXPECT_NEAR(edit1.width(), Edit1Width, 1e-9);
    EXPECT_EQ(form().Edit1->geometry(), QRect(129, 5, 550, 22));
}

TEST_F(MainForm, TallerWindowGivesTheHeightToTheListAndThePreview) {
    ResizeClient(684, 700);
    ExpectPlaced({
        {"Panel1", "", {0, 571, 684, 129}},
        {"Panel2", "", {0, 0, 365, 571}},
        {"ListBox1", "", {0, 0, 365, 571}},
        {"Splitter1", "", {365, 0, 5, 571}},
        {"Panel3", "", {370, 0, 314, 571}},
        {"Edit2", "", {0, 0, 314, 22}},
        {"Image1", "", {0, 22, 314, 549}},
        {"Edit1", "", {129, 5, 550, 22}},
        {"StatusBar1", "", {0, 107, 684, 22}},
    });
}

// Drags with real mouse events through the window: press on the splitter,
// move to a window x, release.
class SplitterDrag : public MainForm {
protected:
    QPoint OnSplitter() { return form().Splitter1->geometry().center(); }
    void Press() { QTest::mousePress(form().windowHandle(), Qt::LeftButton, {}, OnSplitter()); }
    void MoveTo(int x) { QTest::mouseMove(form().windowHandle(), QPoint(x, OnSplitter().y())); }
    void Release(int x) { QTest::mouseRelease(form().windowHandle(), Qt::LeftButton, {}, QPoint(x, OnSplitter().y())); }

    void ExpectLeftWidth(int panel2Width) {
        EXPECT_EQ_SOON(form().Panel2->width(), panel2Width);
        EXPECT_EQ(form().Splitter1->geometry(), QRect(panel2Width, 0, 5, 351));
        EXPECT_EQ(form().Panel3->geometry(), QRect(panel2Width + 5, 0, 684 - panel2Width - 5, 351));
        EXPECT_EQ(form().ListBox1->width(), panel2Width);
    }
};

TEST_F(SplitterDrag, FollowsThePointer) {
    const int x = OnSplitter().x();
    Press();
    MoveTo(x + 40);
    ExpectLeftWidth(405);
    MoveTo(x - 100);
    ExpectLeftWidth(265);
    Release(x - 100);
    MoveTo(x);  // no button held: no drag
    ExpectLeftWidth(265);
}

TEST_F(SplitterDrag, StopsAtTheMinimumOnTheLeft) {
    Press();
    MoveTo(-500);
    ExpectLeftWidth(20);
    Release(-500);
}

TEST_F(SplitterDrag, StopsAtTheClientWidthLessTwentyFiveOnTheRight) {
    Press();
    MoveTo(2000);
    ExpectLeftWidth(684 - 25);
    EXPECT_EQ(form().Panel3->width(), 20);
    Release(2000);
}

TEST_F(SplitterDrag, LargestWidthIsFixedAtThePress) {
    Press();
    ResizeClient(1000, 480);
    MoveTo(2000);
    EXPECT_EQ_SOON(form().Panel2->width(), 684 - 25);
    Release(2000);
    // The next press takes the new width.
    Press();
    MoveTo(2000);
    EXPECT_EQ_SOON(form().Panel2->width(), 1000 - 25);
    Release(2000);
}

TEST_F(SplitterDrag, OnlyTheLeftButtonDrags) {
    QTest::mousePress(form().windowHandle(), Qt::RightButton, {}, OnSplitter());
    MoveTo(100);
    QTest::mouseRelease(form().windowHandle(), Qt::RightButton, {}, QPoint(100, OnSplitter().y()));
    QApplication::processEvents();
    EXPECT_EQ(form().Panel2->width(), 365);
}

TEST_F(MainForm, TabGoesThroughTheControlsInTheDesignOrder) {
    QApplication::setActiveWindow(&form());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    form().Edit1->setFocus();
    EXPECT_EQ_SOON(QApplication::focusWidget(), form().Edit1);

    // Panels, labels, the status bar, the splitter and the preview take no
    // focus; after the path box the order starts again.
    const QWidget* expected[] = {form().CheckBox1, form().Button1, form().Button2,
                                 form().ListBox1,  form().Edit2,   form().Edit1};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ_SOON(QApplication::focusWidget(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ_SOON(QApplication::focusWidget(), form().Edit2);
}

}  // namespace
