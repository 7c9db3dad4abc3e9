// The preview's drawing as it lands in pixels: fitted, centred, never
// enlarged, refitted on resize, nothing for an empty bitmap.

#include "platform/image_view.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace zolvu;

namespace {

// The bounding box of the pure-red pixels of the rendered view.
QRect RedArea(TImage& view) {
    const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect box;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) == qRgb(255, 0, 0)) box |= QRect(x, y, 1, 1);
    return box;
}

QImage Red(int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::red);
    return picture;
}

TEST(PreviewDrawing, FitsCentresAndRefits) {
    TImage view(nullptr);
    view.resize(314, 329);
    EXPECT_TRUE(RedArea(view).isNull()) << "an empty bitmap draws nothing";

    view.SetBitmap(Red(1000, 500));  // shrunk by 1000 / 314 to 314 x 157
    EXPECT_EQ(RedArea(view), QRect(0, 86, 314, 157));
    EXPECT_EQ(view.DrawnRect(), QRectF(0, 86, 314, 157));

    view.resize(628, 400);  // refitted: 628 / 1000 gives 628 x 314
    EXPECT_EQ(RedArea(view), QRect(0, 43, 628, 314));

    view.SetBitmap(Red(100, 60));  // smaller: its own size, centred
    EXPECT_EQ(RedArea(view), QRect(264, 170, 100, 60));
}

}  // namespace
