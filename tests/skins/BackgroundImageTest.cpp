// Background pictures: which bitmap files load, where their pixels and
// palettes come from, that a refused file changes nothing, and drawing.
#include "skins/BackgroundImage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QPainter>
#include <cstdint>
#include <string>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

std::string Bitmap(const std::string& name) {
    return std::string(ALMANARY_FIXTURES_DIR) + "/bitmaps/" + name;
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kCyan = qRgb(0, 255, 255);
const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kGrey = qRgb(128, 128, 128);

// Entry i of the fixtures' ramp palettes.
QRgb Ramp(int i) {
    return qRgb(i % 256, 255 - i % 256, (i / 2) % 256);
}

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000u;
}

// The 4x2 test card of the true-colour fixtures, top row first, to five
// bits a channel (16-bit pixels widen 31 to 248).
void ExpectTestCard(const QImage& image) {
    ASSERT_EQ(image.size(), QSize(4, 2));
    const QRgb expected[2][4] = {{kRed, kGreen, kBlue, kWhite}, {kBlack, kYellow, kCyan, kMagenta}};
    constexpr QRgb kFiveBits = 0xFFF8F8F8u;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(Pixel(image, x, y) & kFiveBits, expected[y][x] & kFiveBits)
                << "pixel " << x << "," << y;
        }
    }
}

TEST(BackgroundImage, LoadsEachKindOfBitmapWithItsPalette) {
    struct Case {
        const char* file;
        int paletteSize;
    };
    const Case cases[] = {
        {"rgb24.bmp", 0}, {"pal8-256.bmp", 256}, {"pal8-16.bmp", 16},  {"pal4.bmp", 16},
        {"pal1.bmp", 2},  {"core-pal4.bmp", 16}, {"v5-offset.bmp", 0}, {"rgb565.bmp", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        BackgroundImage image;
        ASSERT_TRUE(image.Load(Bitmap(c.file)));
        EXPECT_TRUE(image.IsLoaded());
        EXPECT_EQ(image.image().size(), QSize(4, 2));
        ASSERT_EQ(image.palette().size(), c.paletteSize);
        for (int i = 0; i < c.paletteSize && c.paletteSize > 2; ++i)
            EXPECT_EQ(image.palette()[i], Ramp(i)) << "entry " << i;
    }
}

TEST(BackgroundImage, ReadsPixelsFromWhereTheFileKeepsThem) {
    // Pixels after a version 5 header and a gap, found through the file
    // header's offset; and 16-bit pixels after the colour masks.
    for (const char* file : {"rgb24.bmp", "v5-offset.bmp", "rgb565.bmp"}) {
        SCOPED_TRACE(file);
        BackgroundImage image;
        ASSERT_TRUE(image.Load(Bitmap(file)));
        ExpectTestCard(image.image());
    }
    // With 16 colours in use, the pixels start 64 bytes after the table.
    BackgroundImage sixteen;
    ASSERT_TRUE(sixteen.Load(Bitmap("pal8-16.bmp")));
    const int top[4] = {0, 1, 2, 3};
    const int bottom[4] = {12, 13, 14, 15};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(Pixel(sixteen.image(), x, 0), Ramp(top[x]));
        EXPECT_EQ(Pixel(sixteen.image(), x, 1), Ramp(bottom[x]));
    }
}

TEST(BackgroundImage, RefusesDamagedFilesAndKeepsThePreviousPicture) {
    testing::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
    const std::string refused[] = {
        Bitmap("short13.bmp"),
        Bitmap("wrong-signature.bmp"),
        Bitmap("header-past-block.bmp"),
        Bitmap("colours-100000.bmp"),
        Bitmap("truncated-pixels.bmp"),
        dir.file("missing.bmp"),
        dir.path().string(),
        dir.file("pipe.bmp"),  // must not block
    };
    BackgroundImage image;
    ASSERT_TRUE(image.Load(Bitmap("pal8-16.bmp")));
    const QImage before = image.image();
    for (const std::string& path : refused) {
        EXPECT_FALSE(image.Load(path)) << path;
        EXPECT_TRUE(image.IsLoaded());
        EXPECT_EQ(image.image(), before) << path;
        EXPECT_EQ(image.palette().size(), 16) << path;
    }
    BackgroundImage empty;
    EXPECT_FALSE(empty.Load(Bitmap("truncated-pixels.bmp")));
    EXPECT_FALSE(empty.IsLoaded());
}

void PutU16(std::string& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& bytes, std::size_t at, std::uint32_t value) {
    PutU16(bytes, at, value & 0xFFFF);
    PutU16(bytes, at + 2, value >> 16);
}

TEST(BackgroundImage, ChecksEveryHeaderFieldAgainstTheFile) {
    struct Case {
        const char* what;
        std::size_t at;
        int width;  // 2 or 4 bytes
        std::uint32_t value;
        bool loads;
    };
    // Offsets into rgb24.bmp: file header 0-13, info header from 14.
    const Case cases[] = {
        {"header size 20", 14, 4, 20, false},
        {"header size past the file", 14, 4, 124, false},
        {"width 0", 18, 4, 0, false},
        {"negative width", 18, 4, static_cast<std::uint32_t>(-4), false},
        {"height 0", 22, 4, 0, false},
        {"width 40000", 18, 4, 40000, false},
        {"width 5000 without the pixels", 18, 4, 5000, false},
        {"height 3 without the pixels", 22, 4, 3, false},
        {"bit count 7", 28, 2, 7, false},
        {"bit count 48", 28, 2, 48, false},
        {"JPEG compression", 30, 4, 4, false},
        {"run-length coding at 24 bits", 30, 4, 1, false},
        {"top-down rows", 22, 4, static_cast<std::uint32_t>(-2), true},
        {"pixel offset past the end", 10, 4, 5000, true},
        {"pixel offset inside the header", 10, 4, 20, true},
        {"pixel offset 0", 10, 4, 0, true},
        {"colour count ignored above 8 bits", 46, 4, 100000, true},
    };
    const std::string good = testing::ReadFile(Bitmap("rgb24.bmp"));
    ASSERT_EQ(good.size(), 78u);
    testing::TempDir dir;
    for (const Case& c : cases) {
        std::string bytes = good;
        if (c.width == 2)
            PutU16(bytes, c.at, c.value);
        else
            PutU32(bytes, c.at, c.value);
        testing::WriteFile(dir.file("case.bmp"), bytes);
        BackgroundImage image;
        EXPECT_EQ(image.Load(dir.file("case.bmp")), c.loads) << c.what;
    }
}

TEST(BackgroundImage, ATrueColourLoadDropsTheOldPaletteAndUnloadKeepsIt) {
    BackgroundImage image;
    ASSERT_TRUE(image.Load(Bitmap("pal8-256.bmp")));
    EXPECT_TRUE(image.Unload());
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_FALSE(image.Unload());
    EXPECT_EQ(image.palette().size(), 256);

    ASSERT_TRUE(image.Load(Bitmap("rgb24.bmp")));
    EXPECT_TRUE(image.palette().isEmpty());
}

// A 10x6 canvas painted grey, then the picture drawn on it.
QImage DrawOnCanvas(const BackgroundImage& image, const QRect& target, bool* drawn) {
    QImage canvas(10, 6, QImage::Format_RGB32);
    canvas.fill(kGrey);
    QPainter painter(&canvas);
    *drawn = image.Draw(painter, target);
    painter.end();
    return canvas;
}

TEST(BackgroundImage, DrawsStretchedOrAtItsOwnSize) {
    BackgroundImage image;
    bool drawn = true;
    QImage canvas = DrawOnCanvas(image, QRect(0, 0, 10, 6), &drawn);
    EXPECT_FALSE(drawn);
    EXPECT_EQ(Pixel(canvas, 0, 0), kGrey);

    ASSERT_TRUE(image.Load(Bitmap("rgb24.bmp")));
    // -1 and -1: the picture's own 4x2, placed at (3, 1).
    canvas = DrawOnCanvas(image, QRect(3, 1, -1, -1), &drawn);
    EXPECT_TRUE(drawn);
    EXPECT_EQ(Pixel(canvas, 3, 1), kRed);
    EXPECT_EQ(Pixel(canvas, 6, 2), kMagenta);
    EXPECT_EQ(Pixel(canvas, 7, 1), kGrey);
    EXPECT_EQ(Pixel(canvas, 3, 3), kGrey);
    EXPECT_EQ(Pixel(canvas, 2, 1), kGrey);

    // Stretched over 8x4: every picture pixel becomes a 2x2 block.
    canvas = DrawOnCanvas(image, QRect(0, 0, 8, 4), &drawn);
    EXPECT_EQ(Pixel(canvas, 1, 1), kRed);
    EXPECT_EQ(Pixel(canvas, 2, 0), kGreen);
    EXPECT_EQ(Pixel(canvas, 5, 1), kBlue);
    EXPECT_EQ(Pixel(canvas, 2, 3), kYellow);
    EXPECT_EQ(Pixel(canvas, 7, 3), kMagenta);
    EXPECT_EQ(Pixel(canvas, 8, 0), kGrey);

    // Only the width taken from the picture.
    canvas = DrawOnCanvas(image, QRect(0, 0, -1, 6), &drawn);
    EXPECT_EQ(Pixel(canvas, 3, 5), kMagenta);
    EXPECT_EQ(Pixel(canvas, 4, 5), kGrey);
}

}  // namespace
}  // namespace almanary
