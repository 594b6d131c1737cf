#include "skins/SkinFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace almanary {
namespace {

using testing::TempDir;
using Kind = SkinFileProblem::Kind;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const Skin kOcean{0x00C08040, 0x00FFFFFF, 0x00402010, 0x00F0E0D0, "/pictures/sea.bmp"};

TEST(SkinFileBytes, ColoursInOrderThenThePicturePath) {
    Skin skin = kOcean;
    skin.picturePath.clear();
    const std::string bytes = SkinFile::Encode(skin);
    ASSERT_EQ(bytes.size(), 17u);  // no picture: four colours and a zero length
    EXPECT_EQ(bytes, std::string("\x40\x80\xC0\x00"
                                 "\xFF\xFF\xFF\x00"
                                 "\x10\x20\x40\x00"
                                 "\xD0\xE0\xF0\x00"
                                 "\x00",
                                 17));
    EXPECT_EQ(SkinFile::Decode(bytes), skin);
}

TEST(SkinFileBytes, LongPicturePathUsesTheThreeBytePrefix) {
    Skin skin = kOcean;
    skin.picturePath = std::string(255, 'p');
    const std::string bytes = SkinFile::Encode(skin);
    ASSERT_EQ(bytes.size(), 16u + 3 + 255);
    EXPECT_EQ(bytes.substr(16, 3), std::string("\xFF\xFF\x00", 3));
    EXPECT_EQ(SkinFile::Decode(bytes), skin);
}

TEST(SkinFileBytes, TruncatedSkinIsRefusedWholeAndTrailingBytesIgnored) {
    const std::string bytes = SkinFile::Encode(kOcean);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string reason;
        EXPECT_EQ(SkinFile::Decode(bytes.substr(0, size), &reason), std::nullopt) << size;
        EXPECT_EQ(reason.rfind("the file ends early, in the ", 0), 0u) << reason;
    }
    EXPECT_EQ(SkinFile::Decode(bytes + "extra"), kOcean);
}

TEST(SkinFileNames, DefaultIsBuiltInAndNamesStayInTheFolder) {
    struct Case {
        std::string name;
        std::optional<std::string> path;
    };
    const std::vector<Case> cases = {
        {"Ocean", "/skins/Ocean.skn"},
        {"Dark Blue", "/skins/Dark Blue.skn"},
        {"default", "/skins/default.skn"},
        {"Default", std::nullopt},
        {"", std::nullopt},
        {"../secrets", std::nullopt},
        {"a/b", std::nullopt},
        {"..", std::nullopt},
        {std::string("x\0y", 3), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SkinFile::PathOf("/skins", c.name), c.path) << c.name;
    }
    EXPECT_EQ(SkinFile::PathOf("/skins/", "Ocean"), "/skins/Ocean.skn");
    EXPECT_TRUE(SkinFile::IsBuiltIn(""));
    EXPECT_TRUE(SkinFile::IsBuiltIn("Default"));
    EXPECT_FALSE(SkinFile::IsBuiltIn("Ocean"));
}

TEST(SkinFileDisk, WrittenSkinReadsBackByName) {
    TempDir dir;
    const std::string folder = dir.path().string();
    ASSERT_EQ(SkinFile::WriteNamed(folder, "Ocean", kOcean), std::nullopt);
    EXPECT_EQ(ReadFile(dir.file("Ocean.skn")), SkinFile::Encode(kOcean));
    const SkinRead read = SkinFile::ReadNamed(folder, "Ocean");
    ASSERT_TRUE(read.skin.has_value());
    EXPECT_EQ(*read.skin, kOcean);
}

TEST(SkinFileDisk, DefaultSkinFileIsNeverReadOrWritten) {
    TempDir dir;
    const std::string folder = dir.path().string();
    const std::string impostor = SkinFile::Encode(kOcean);
    WriteFile(dir.file("Default.skn"), impostor);

    const SkinRead read = SkinFile::ReadNamed(folder, "Default");
    EXPECT_FALSE(read.skin.has_value());
    ASSERT_TRUE(read.problem.has_value());
    EXPECT_EQ(read.problem->kind, Kind::BuiltIn);

    const auto written = SkinFile::WriteNamed(folder, "Default", Skin{});
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->kind, Kind::BuiltIn);
    EXPECT_EQ(ReadFile(dir.file("Default.skn")), impostor);

    EXPECT_EQ(SkinFile::WriteNamed(folder, "../escape", kOcean)->kind, Kind::BadName);
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "escape.skn"));
}

TEST(SkinFileDisk, MissingAndDamagedFilesGiveNothing) {
    TempDir dir;
    const SkinRead missing = SkinFile::ReadNamed(dir.path().string(), "Gone");
    EXPECT_FALSE(missing.skin.has_value());
    ASSERT_TRUE(missing.problem.has_value());
    EXPECT_EQ(missing.problem->kind, Kind::CannotOpen);

    const SkinRead damaged = SkinFile::Read(std::string(ALMANARY_FIXTURES_DIR) + "/truncated.skn");
    EXPECT_FALSE(damaged.skin.has_value());
    ASSERT_TRUE(damaged.problem.has_value());
    EXPECT_EQ(damaged.problem->kind, Kind::Damaged);
    EXPECT_EQ(damaged.problem->reason,
              "the file ends early, in the picture path (10 bytes promised, 6 left)");

    const auto unwritable = SkinFile::WriteNamed(dir.file("no-folder"), "Ocean", kOcean);
    ASSERT_TRUE(unwritable.has_value());
    EXPECT_EQ(unwritable->kind, Kind::CannotWrite);
}

}  // namespace
}  // namespace almanary
