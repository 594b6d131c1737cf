#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include "painting/PagePrinting.h"
#include "painting/PainterDevice.h"
#include "painting/PaintingApplication.h"
#include "painting/PdfPrinting.h"
#include "support/TempDir.h"

namespace almanary {
namespace {

class PaintingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { app_ = new PaintingApplication; }
    static void TearDownTestSuite() { delete app_; }
    static inline PaintingApplication* app_ = nullptr;
};

// Dark pixels inside and outside a rectangle.
std::pair<int, int> darkPixels(const QImage& image, const QRect& inside) {
    int in = 0, out = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                ++(inside.contains(x, y) ? in : out);
        }
    }
    return {in, out};
}

// Fonts of the height and width asked; texts stay within their limits, frames inside their edges.
TEST_F(PaintingTest, FontsAndWhereTheDeviceDraws) {
    QImage image(400, 200, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        PainterDevice fonts(painter, image.size());
        for (const int height : {12, 26, 50}) {
            fonts.selectFont({"Arial", height, 700});
            EXPECT_NEAR(painter.fontMetrics().height(), height, 1) << height;
        }
        EXPECT_EQ(fonts.selectFont({"Arial", 50, 700, 35}), (FontSpec{"Arial", 50, 700}));
        EXPECT_NEAR(painter.fontMetrics().averageCharWidth(), 35, 2);
        const QFont header = painter.font();
        EXPECT_EQ(fonts.selectFont({}), (FontSpec{"Arial", 50, 700, 35}));
        EXPECT_NE(painter.font(), header);
    }
    const std::string text = "Lunch with the R&D budget people, then a walk all the way home";
    const std::pair<QRect, std::function<void(PainterDevice&)>> cases[] = {
        {{20, 20, 200, 40},
         [&](PainterDevice& d) {
             d.drawWrappedText({20, 20, 220, 60}, text);
         }},
        {{20, 100, 150, 30}, [&](PainterDevice& d) { d.drawTextWithin(20, 100, 170, text); }},
        {{300, 20, 50, 50},
         [](PainterDevice& d) {
             d.frameRect({300, 20, 350, 70}, 2);
         }},
    };
    for (const auto& [area, draw] : cases) {
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterDevice device(painter, image.size());
        device.selectFont({"Arial", 18, 400});
        draw(device);
        painter.end();
        const auto [in, out] = darkPixels(image, area);
        EXPECT_TRUE(in > 0 && out == 0) << area.x() << "," << area.y();
    }
    // The frame is two pixels wide on every side.
    EXPECT_EQ(darkPixels(image, QRect(302, 22, 46, 46)).first, 0);
    EXPECT_EQ(darkPixels(image, QRect(300, 20, 50, 50)).first, 50 * 50 - 46 * 46);
}

// A document that cannot start is reported; no events, no file.
TEST_F(PaintingTest, PrintingOnPdfWriters) {
    testing::TempDir dir;
    QPdfWriter nowhere(QString::fromStdString(dir.file("none/week.pdf")));
    EXPECT_EQ(printWeek(nowhere, {}, 0, false), "the printer or file could not start the document");
    EXPECT_TRUE(printResultsPdf(dir.file("empty.pdf"), PdfPaper::A4, {}, {}, false));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace almanary
