#include "platform/align_geometry.h"

#include <gtest/gtest.h>

using namespace zolvu;

namespace {

void ExpectRect(const QRectF& actual, const QRectF& expected, const char* what) {
    EXPECT_NEAR(actual.left(), expected.left(), 0.01) << what;
    EXPECT_NEAR(actual.top(), expected.top(), 0.01) << what;
    EXPECT_NEAR(actual.width(), expected.width(), 0.01) << what;
    EXPECT_NEAR(actual.height(), expected.height(), 0.01) << what;
}

// The form's own children, stored at the design size 684 x 480.
std::vector<AlignedBounds> FormChildren() {
    return {{TAlignKind::Bottom, {0, 351, 684, 129}},
            {TAlignKind::Left, {0, 0, 365, 351}},
            {TAlignKind::Left, {365, 0, 5, 351}},
            {TAlignKind::Client, {370, 0, 314, 351}}};
}

}  // namespace

TEST(AlignGeometry, DesignSizeKeepsEveryStoredBound) {
    auto children = FormChildren();
    const auto before = children;
    ArrangeAligned(children, {684, 480}, {684, 480});
    for (std::size_t i = 0; i < children.size(); ++i) ExpectRect(children[i].bounds, before[i].bounds, "child");
}

TEST(AlignGeometry, WiderAndTallerWindowGoesToTheClientAndTheLeftColumns) {
    auto children = FormChildren();
    ArrangeAligned(children, {684, 480}, {1368, 700});
    ExpectRect(children[0].bounds, {0, 571, 1368, 129}, "bottom panel");
    ExpectRect(children[1].bounds, {0, 0, 365, 571}, "left panel");
    ExpectRect(children[2].bounds, {365, 0, 5, 571}, "splitter");
    ExpectRect(children[3].bounds, {370, 0, 998, 571}, "client panel");
}

TEST(AlignGeometry, LeftChildrenAreTakenByCurrentPositionNotByInsertionOrder) {
    std::vector<AlignedBounds> children{{TAlignKind::Left, {365, 0, 5, 10}}, {TAlignKind::Left, {0, 0, 100, 10}}};
    ArrangeAligned(children, {684, 480}, {684, 480});
    ExpectRect(children[1].bounds, {0, 0, 100, 480}, "first from the left");
    ExpectRect(children[0].bounds, {100, 0, 5, 480}, "follows it");
}

TEST(AlignGeometry, ScaleFollowsTheParentsWidthExactly) {
    std::vector<AlignedBounds> children{{TAlignKind::Bottom, {0, 107, 684, 22}},
                                        {TAlignKind::Scale, {129.132690429688, 5, 549.822998046875, 22}},
                                        {TAlignKind::None, {499, 77, 80, 22}}};
    ArrangeAligned(children, {684, 129}, {1368, 129});
    EXPECT_NEAR(children[1].bounds.left(), 258.27, 0.01);
    EXPECT_NEAR(children[1].bounds.width(), 1099.65, 0.01);
    EXPECT_DOUBLE_EQ(children[1].bounds.top(), 5);
    EXPECT_DOUBLE_EQ(children[1].bounds.height(), 22);
    ExpectRect(children[2].bounds, {499, 77, 80, 22}, "unaligned stays");
    // Back and forth many times: real numbers do not drift.
    for (int i = 0; i < 50; ++i) {
        ArrangeAligned(children, {1368, 129}, {701, 129});
        ArrangeAligned(children, {701, 129}, {1368, 129});
    }
    EXPECT_NEAR(children[1].bounds.left(), 258.265, 0.001);
}

TEST(AlignGeometry, ScaleWaitsForPositiveSizes) {
    std::vector<AlignedBounds> children{{TAlignKind::Scale, {10, 5, 20, 22}}};
    ArrangeAligned(children, {0, 0}, {100, 100});
    ArrangeAligned(children, {100, 100}, {0, 100});
    ExpectRect(children[0].bounds, {10, 5, 20, 22}, "unscaled");
}

TEST(AlignGeometry, TopThenClientBelowIt) {
    std::vector<AlignedBounds> children{{TAlignKind::Client, {0, 22, 314, 329}}, {TAlignKind::Top, {0, 0, 314, 22}}};
    ArrangeAligned(children, {314, 351}, {500, 600});
    ExpectRect(children[1].bounds, {0, 0, 500, 22}, "top");
    ExpectRect(children[0].bounds, {0, 22, 500, 578}, "client");
}
