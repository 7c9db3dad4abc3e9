// How much the preview adds to the decode it cannot avoid: the time from a
// selection move in the real window to the picture in Image1, and to the
// picture drawn, against a bare QImageReader decode of the same 12-megapixel
// JPEG, interleaved in one run so that both see the same caches and clocks.
//
// Usage: preview_bench [rounds]   (runs on the offscreen platform)

#include "app/main_unit.h"
#include "platform/application.h"
#include "platform/image_view.h"

#include <QApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace zolvu;
using Clock = std::chrono::steady_clock;

namespace {

// Smooth gradients with noise, so the encoder and decoder work as on a photo.
QImage PhotoLike(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    std::mt19937 random(12);
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int r = 255 * x / width + noise(random), g = 255 * y / height + noise(random),
                      b = 128 + (x ^ y) % 64 + noise(random);
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return picture;
}

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The median, and the minimum, which other work on a shared machine can
// only raise.
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
double Minimum(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApplication(argc, argv);
    TApplication application;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.jpg"));
    const QString second = dir.filePath(QStringLiteral("second.jpg"));
    const QImage photo = PhotoLike(4000, 3000);
    for (const QString& path : {first, second}) {
        QImageWriter writer(path, "jpeg");
        writer.setQuality(90);
        if (!writer.write(photo)) return std::fprintf(stderr, "cannot write %s\n", qPrintable(path)), 1;
    }

    TForm1 form;
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    form.ListBox1->Add(first);
    form.ListBox1->Add(second);

    std::vector<double> decode, handler, drawn;
    for (int round = 0; round < rounds + 1; ++round) {
        const QString& path = round % 2 ? first : second;
        auto start = Clock::now();
        QImageReader reader(path);
        const QImage bare = reader.read();
        const double decodeMs = Milliseconds(Clock::now() - start);
        if (bare.isNull()) return std::fprintf(stderr, "cannot decode %s\n", qPrintable(path)), 1;

        start = Clock::now();
        QTest::keyClick(form.ListBox1, round % 2 ? Qt::Key_Home : Qt::Key_End);
        const double handlerMs = Milliseconds(Clock::now() - start);
        form.Image1->repaint();
        const double drawnMs = Milliseconds(Clock::now() - start);
        if (form.Image1->Bitmap().size() != bare.size()) return std::fprintf(stderr, "no picture\n"), 1;
        if (round == 0) continue;  // warm-up: plug-ins loaded, pages touched
        decode.push_back(decodeMs);
        handler.push_back(handlerMs);
        drawn.push_back(drawnMs);
    }

    std::printf("12-megapixel JPEG, %d rounds     median (beyond decode)   minimum (beyond decode)\n", rounds);
    const auto row = [&](const char* name, const std::vector<double>& values) {
        const double m = Median(values), n = Minimum(values);
        std::printf("  %-28s %8.1f ms (%+5.1f%%)     %8.1f ms (%+5.1f%%)\n", name, m,
                    100 * (m - Median(decode)) / Median(decode), n, 100 * (n - Minimum(decode)) / Minimum(decode));
    };
    row("bare QImageReader decode", decode);
    row("selection to picture set", handler);
    row("selection to picture drawn", drawn);
    return 0;
}
