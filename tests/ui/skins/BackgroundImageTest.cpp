// Background pictures: which bitmaps load, how, and that refusals change nothing.
#include "skins/BackgroundImage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QPainter>

#include "support/TempDir.h"

namespace almanary {
namespace {

std::string bitmap(const std::string& name) {
    return std::string(ALMANARY_FIXTURES_DIR) + "/bitmaps/" + name;
}

// Entry i of the fixtures' ramp palettes.
QRgb ramp(int i) {
    return qRgb(i % 256, 255 - i % 256, (i / 2) % 256);
}

QRgb pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000u;
}

// Each kind's palette size (0: true colour); pixels found by the header's offset or masks.
TEST(BackgroundImage, LoadsEachKindOfBitmap) {
    const std::pair<const char*, int> cases[] = {
        {"rgb24.bmp", 0},    {"v5-offset.bmp", 0}, {"rgb565.bmp", 0}, {"pal8-256.bmp", 256},
        {"pal8-16.bmp", 16}, {"pal4.bmp", 16},     {"pal1.bmp", 2},   {"core-pal4.bmp", 16},
    };
    // Top row first, compared to five bits a channel (16-bit pixels widen 31 to 248).
    const QRgb card[2][4] = {
        {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)},
        {qRgb(0, 0, 0), qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255)}};
    constexpr QRgb kFiveBits = 0xFFF8F8F8u;
    for (const auto& [file, paletteSize] : cases) {
        SCOPED_TRACE(file);
        BackgroundImage image;
        ASSERT_TRUE(image.load(bitmap(file)));
        ASSERT_EQ(image.image().size(), QSize(4, 2));
        ASSERT_EQ(image.palette().size(), paletteSize);
        for (int i = 0; i < 8 && paletteSize == 0; ++i)
            EXPECT_EQ(pixel(image.image(), i % 4, i / 4) & kFiveBits,
                      card[i / 4][i % 4] & kFiveBits);
        for (int i = 0; i < paletteSize && paletteSize > 2; ++i)
            EXPECT_EQ(image.palette()[i], ramp(i)) << "entry " << i;
    }
    // With 16 colours in use, the pixels start 64 bytes after the table.
    BackgroundImage sixteen;
    ASSERT_TRUE(sixteen.load(bitmap("pal8-16.bmp")));
    EXPECT_EQ(pixel(sixteen.image(), 3, 0), ramp(3));
    EXPECT_EQ(pixel(sixteen.image(), 0, 1), ramp(12));
}

TEST(BackgroundImage, RefusesDamagedFilesAndKeepsThePreviousPicture) {
    testing::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
    BackgroundImage image;
    ASSERT_TRUE(image.load(bitmap("pal8-16.bmp")));
    const QImage before = image.image();
    for (const std::string& path :
         {bitmap("short13.bmp"), bitmap("wrong-signature.bmp"), bitmap("header-past-block.bmp"),
          bitmap("colours-100000.bmp"), bitmap("truncated-pixels.bmp"), dir.file("missing.bmp"),
          dir.path().string(), dir.file("pipe.bmp") /* no blocking */}) {
        EXPECT_FALSE(image.load(path)) << path;
        EXPECT_TRUE(image.isLoaded());
        EXPECT_EQ(image.image(), before) << path;
        EXPECT_EQ(image.palette().size(), 16) << path;
    }
}

// Pixels indexing past the colours a palette declares draw black, never past the table's end.
TEST(BackgroundImage, PixelsPastTheDeclaredColoursDrawBlack) {
    for (const char* name : {"pal8-one-colour.bmp", "pal1-one-colour.bmp"}) {
        SCOPED_TRACE(name);
        BackgroundImage picture;
        ASSERT_TRUE(picture.load(bitmap(name)));
        EXPECT_EQ(picture.palette(), QVector<QRgb>{qRgb(0, 0, 255)});  // as the file says
        QImage window(8, 3, QImage::Format_ARGB32);
        window.fill(Qt::white);
        QPainter painter(&window);
        ASSERT_TRUE(picture.draw(painter, window.rect()));
        painter.end();
        for (int i = 0; i < 8 * 3; ++i)
            EXPECT_EQ(window.pixel(i % 8, i / 8), qRgb(0, 0, 0)) << i;
    }
}

}  // namespace
}  // namespace almanary
