#include "platform/fit_rect.h"

#include <gtest/gtest.h>

using namespace zolvu;

TEST(FitRect, ShrinksLargerPicturesAndCentresEverything) {
    const QRectF area(0, 22, 314, 329);
    struct Case {
        const char* name;
        QSize picture;
        QRectF drawn;
    } cases[] = {
        {"wider", {628, 100}, {0, 22 + (329 - 50) / 2.0, 314, 50}},
        {"taller", {100, 658}, {(314 - 50) / 2.0, 22, 50, 329}},
        {"both, height decides", {1000, 2000}, {(314 - 165) / 2.0, 22, 165, 329}},
        {"both, width decides", {3140, 1000}, {0, 22 + (329 - 100) / 2.0, 314, 100}},
        {"smaller is not enlarged", {100, 50}, {107, 22 + 139.5, 100, 50}},
        {"equal", {314, 329}, {0, 22, 314, 329}},
        {"one pixel wider", {315, 329}, {0, 22 + 0.5, 314, 328}},
        {"one pixel narrower", {313, 329}, {0.5, 22, 313, 329}},
        {"one pixel taller", {314, 330}, {0.5, 22, 313, 329}},
        {"one pixel shorter", {314, 328}, {0, 22.5, 314, 328}},
        {"rounds to nearest", {1000, 3}, {0, 22 + (329 - 1) / 2.0, 314, 1}},
    };
    for (const auto& c : cases) {
        const QRectF r = FitRect(c.picture, area);
        EXPECT_NEAR(r.left(), c.drawn.left(), 1e-9) << c.name;
        EXPECT_NEAR(r.top(), c.drawn.top(), 1e-9) << c.name;
        EXPECT_NEAR(r.width(), c.drawn.width(), 1e-9) << c.name;
        EXPECT_NEAR(r.height(), c.drawn.height(), 1e-9) << c.name;
    }
}

TEST(FitRect, EmptyPictureOrAreaDrawsNothing) {
    EXPECT_TRUE(FitRect(QSize(), QRectF(0, 0, 10, 10)).isEmpty());
    EXPECT_TRUE(FitRect(QSize(10, 10), QRectF(0, 0, 0, 10)).isEmpty());
}
