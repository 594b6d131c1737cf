// Background pictures: which bitmap files load, where their pixels and
// palettes come from, and that a refused file changes nothing.
#include "skins/BackgroundImage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

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

// The 4x2 test card of the true-colour fixtures, top row first, compared to
// five bits a channel (16-bit pixels widen 31 to 248).
void expectTestCard(const QImage& image) {
    const QRgb expected[2][4] = {
        {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)},
        {qRgb(0, 0, 0), qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255)}};
    constexpr QRgb kFiveBits = 0xFFF8F8F8u;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixel(image, x, y) & kFiveBits, expected[y][x] & kFiveBits) << x << "," << y;
    }
}

TEST(BackgroundImage, LoadsEachKindOfBitmapAndRefusesDamagedOnes) {
    struct Case {
        const char* file;
        bool loads;
        int paletteSize;  // 0: true colour, holding the test card
    };
    const Case cases[] = {
        {"rgb24.bmp", true, 0},
        {"v5-offset.bmp", true, 0},  // pixels found through the file header's offset
        {"rgb565.bmp", true, 0},     // 16-bit pixels after the colour masks
        {"pal8-256.bmp", true, 256},
        {"pal8-16.bmp", true, 16},
        {"pal4.bmp", true, 16},
        {"pal1.bmp", true, 2},
        {"core-pal4.bmp", true, 16},
        {"short13.bmp", false, 0},
        {"wrong-signature.bmp", false, 0},
        {"header-past-block.bmp", false, 0},
        {"colours-100000.bmp", false, 0},
        {"truncated-pixels.bmp", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        BackgroundImage image;
        ASSERT_EQ(image.load(bitmap(c.file)), c.loads);
        EXPECT_EQ(image.isLoaded(), c.loads);
        if (!c.loads)
            continue;
        ASSERT_EQ(image.image().size(), QSize(4, 2));
        ASSERT_EQ(image.palette().size(), c.paletteSize);
        if (c.paletteSize == 0)
            expectTestCard(image.image());
        for (int i = 0; i < c.paletteSize && c.paletteSize > 2; ++i)
            EXPECT_EQ(image.palette()[i], ramp(i)) << "entry " << i;
    }
    // With 16 colours in use, the pixels start 64 bytes after the table.
    BackgroundImage sixteen;
    ASSERT_TRUE(sixteen.load(bitmap("pal8-16.bmp")));
    EXPECT_EQ(pixel(sixteen.image(), 3, 0), ramp(3));
    EXPECT_EQ(pixel(sixteen.image(), 0, 1), ramp(12));
}

TEST(BackgroundImage, AFailedLoadKeepsThePreviousPicture) {
    testing::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
    BackgroundImage image;
    ASSERT_TRUE(image.load(bitmap("pal8-16.bmp")));
    const QImage before = image.image();
    for (const std::string& path : {bitmap("truncated-pixels.bmp"), dir.file("missing.bmp"),
                                    dir.path().string(), dir.file("pipe.bmp") /* no blocking */}) {
        EXPECT_FALSE(image.load(path)) << path;
        EXPECT_TRUE(image.isLoaded());
        EXPECT_EQ(image.image(), before) << path;
        EXPECT_EQ(image.palette().size(), 16) << path;
    }
}

}  // namespace
}  // namespace almanary
