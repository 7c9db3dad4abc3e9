// The result list's change event: which user moves raise it, how often, and
// that Clear, Add and Qt's own focus and insert habits never do.

#include "platform/list_box.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QTest>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace zolvu;

namespace {

constexpr int Entries = 30;

class ListFixture {
public:
    ListFixture() : list(nullptr) {
        list.resize(200, 200);
        for (int i = 0; i < Entries; ++i) list.Add(QStringLiteral("%1 entry %2").arg(QChar(u'a' + i % 3)).arg(i));
        list.OnChange = [this] { events.push_back(list.Selected() ? list.row(list.Selected()) : -1); };
        list.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    QPoint RowCentre(int row) { return list.visualItemRect(list.item(row)).center(); }

    void Press(int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(list.viewport(), button, {}, RowCentre(row));
    }
    void Release(int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(list.viewport(), button, {}, RowCentre(row));
    }
    void Click(int row) {
        Press(row);
        Release(row);
    }
    // A pointer move over the list with the given buttons held.
    void Move(QPoint position, Qt::MouseButtons held) {
        QMouseEvent move(QEvent::MouseMove, position, list.viewport()->mapToGlobal(position), Qt::NoButton, held,
                         Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
    }
    void Key(Qt::Key key) { QTest::keyClick(&list, key); }
    void Type(char character) { QTest::keyClick(&list, character); }
    int PageSize() { return list.viewport()->height() / list.visualItemRect(list.item(0)).height(); }

    TListBox list;
    std::vector<int> events;  // the selected row at each event, -1 for none
};

struct SelectionCase {
    const char* name;
    std::function<void(ListFixture&)> before;  // sets up a selection, events cleared after it
    std::function<void(ListFixture&)> act;
    std::function<std::vector<int>(ListFixture&)> expected;
};

std::vector<int> None(ListFixture&) { return {}; }

const SelectionCase selectionCases[] = {
    {"press on another entry", [](ListFixture& f) { f.Click(2); }, [](ListFixture& f) { f.Press(5); },
     [](ListFixture&) { return std::vector{5}; }},
    {"press on the selected entry", [](ListFixture& f) { f.Click(2); }, [](ListFixture& f) { f.Click(2); }, None},
    {"double press on the selected entry", [](ListFixture& f) { f.Click(2); },
     [](ListFixture& f) { QTest::mouseDClick(f.list.viewport(), Qt::LeftButton, {}, f.RowCentre(2)); }, None},
    {"right and middle press", [](ListFixture& f) { f.Click(2); },
     [](ListFixture& f) {
         f.Press(4, Qt::RightButton);
         f.Release(4, Qt::RightButton);
         f.Press(6, Qt::MiddleButton);
         f.Release(6, Qt::MiddleButton);
     },
     None},
    {"drag over several entries", [](ListFixture&) {},
     [](ListFixture& f) {
         f.Press(1);
         for (int row = 1; row <= 4; ++row) {
             f.Move(f.RowCentre(row), Qt::LeftButton);
             f.Move(f.RowCentre(row) + QPoint(3, 1), Qt::LeftButton);
         }
         f.Release(4);
         f.Move(f.RowCentre(6), Qt::NoButton);
     },
     [](ListFixture&) {
         return std::vector{1, 2, 3, 4};
     }},
    {"moving with the button held after a press outside the list", [](ListFixture&) {},
     [](ListFixture& f) { f.Move(f.RowCentre(3), Qt::LeftButton); }, None},
    {"arrows", [](ListFixture& f) { f.Click(5); },
     [](ListFixture& f) {
         f.Key(Qt::Key_Down);
         f.Key(Qt::Key_Right);
         f.Key(Qt::Key_Up);
         f.Key(Qt::Key_Left);
         f.Key(Qt::Key_Left);
     },
     [](ListFixture&) {
         return std::vector{6, 7, 6, 5, 4};
     }},
    {"arrows stop at the ends", [](ListFixture& f) { f.Click(0); },
     [](ListFixture& f) {
         f.Key(Qt::Key_Up);
         f.Key(Qt::Key_End);
         f.Key(Qt::Key_Down);
     },
     [](ListFixture&) { return std::vector{Entries - 1}; }},
    {"down with nothing selected takes the first entry", [](ListFixture&) {},
     [](ListFixture& f) { f.Key(Qt::Key_Down); }, [](ListFixture&) { return std::vector{0}; }},
    {"home and end", [](ListFixture& f) { f.Click(5); },
     [](ListFixture& f) {
         f.Key(Qt::Key_End);
         f.Key(Qt::Key_End);
         f.Key(Qt::Key_Home);
     },
     [](ListFixture&) {
         return std::vector{Entries - 1, 0};
     }},
    {"page down inside the list", [](ListFixture& f) { f.Click(1); }, [](ListFixture& f) { f.Key(Qt::Key_PageDown); },
     [](ListFixture& f) { return std::vector{1 + f.PageSize()}; }},
    {"page down near the end: nothing selected, then the last", [](ListFixture& f) { f.Click(Entries - 3); },
     [](ListFixture& f) { f.Key(Qt::Key_PageDown); },
     [](ListFixture&) {
         return std::vector{-1, Entries - 1};
     }},
    {"page up near the start: nothing selected, then the first", [](ListFixture& f) { f.Click(2); },
     [](ListFixture& f) { f.Key(Qt::Key_PageUp); },
     [](ListFixture&) {
         return std::vector{-1, 0};
     }},
    {"typed first letter, either case", [](ListFixture& f) { f.Click(0); },
     [](ListFixture& f) {
         f.Type('c');
         f.Type('B');
         f.Type('b');
         f.Type('z');
     },
     [](ListFixture&) {
         return std::vector{2, 1};
     }},
    {"clear and add", [](ListFixture& f) { f.Click(3); },
     [](ListFixture& f) {
         f.list.Clear();
         f.list.Add(QStringLiteral("a new"));
         f.list.Add(QStringLiteral("b new"));
     },
     None},
    {"add keeps the selection", [](ListFixture& f) { f.Click(3); },
     [](ListFixture& f) {
         f.list.Add(QStringLiteral("a last"));
         f.Key(Qt::Key_Down);
     },
     [](ListFixture&) { return std::vector{4}; }},
    // Qt makes the first entry current when a view gains the focus by the
    // keyboard; that is no selection, so a press on it is a move.
    {"focus by the keyboard, then a press on the first entry", [](ListFixture& f) { f.list.Clear(); },
     [](ListFixture& f) {
         f.list.Add(QStringLiteral("a only"));
         f.list.Add(QStringLiteral("b only"));
         QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
         QApplication::sendEvent(&f.list, &focusIn);
         EXPECT_EQ(f.list.Selected(), nullptr);
         f.Press(0);
     },
     [](ListFixture&) { return std::vector{0}; }},
};

class SelectionEvents : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionEvents, FireOncePerUserMove) {
    const SelectionCase& c = GetParam();
    ListFixture f;
    c.before(f);
    f.events.clear();
    c.act(f);
    EXPECT_EQ(f.events, c.expected(f)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(List, SelectionEvents, ::testing::ValuesIn(selectionCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

TEST(SelectionEvents, ClearLeavesNothingSelected) {
    ListFixture f;
    f.Click(3);
    f.list.Clear();
    EXPECT_EQ(f.list.ItemIndex(), -1);
    EXPECT_EQ(f.list.Selected(), nullptr);
    EXPECT_TRUE(f.list.selectedItems().isEmpty());
}

}  // namespace
