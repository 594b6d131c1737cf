#include "skins/SkinFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using Kind = SkinFileProblem::Kind;

// Default is built in; names stay in the folder (the test's own: an escape would land there).
TEST(SkinFileTest, NamedSkinsReadBackAndTheBuiltInOneIsNeverTouched) {
    EXPECT_EQ(SkinFile::pathOf("/skins/", "Dark Blue"), "/skins/Dark Blue.skn");
    EXPECT_EQ(SkinFile::pathOf("/skins", "default"), "/skins/default.skn");
    const std::string refused[] = {"Default", "", "..", "../secrets", "a/b", {"x\0y", 3}};
    for (const std::string& name : refused)
        EXPECT_EQ(SkinFile::pathOf("/skins", name), std::nullopt) << name;
    const TempDir dir;
    const std::string folder = dir.file("Skins");
    std::filesystem::create_directory(folder);
    Skin ocean{0x00C08040, 0x00FFFFFF, 0x00402010, 0x00F0E0D0, ""};
    EXPECT_EQ(SkinFile::encode(ocean),
              std::string("\x40\x80\xC0\0\xFF\xFF\xFF\0\x10\x20\x40\0\xD0\xE0\xF0\0\0", 17));
    ocean.picturePath = "/pictures/sea.bmp";
    ASSERT_EQ(SkinFile::writeNamed(folder, "Ocean", ocean), std::nullopt);
    EXPECT_EQ(SkinFile::readNamed(folder, "Ocean").skin, ocean);

    writeFile(folder + "/Default.skn", "impostor");
    EXPECT_EQ(SkinFile::readNamed(folder, "Default").problem.value().kind, Kind::BuiltIn);
    EXPECT_EQ(SkinFile::writeNamed(folder, "Default", ocean).value().kind, Kind::BuiltIn);
    EXPECT_EQ(readFile(folder + "/Default.skn"), "impostor");
    EXPECT_EQ(SkinFile::writeNamed(folder, "../escape", ocean).value().kind, Kind::BadName);
    EXPECT_FALSE(std::filesystem::exists(dir.file("escape.skn")));

    EXPECT_EQ(SkinFile::readNamed(folder, "Gone").problem.value().kind, Kind::CannotOpen);
    writeFile(folder + "/Huge.skn", SkinFile::encode(ocean) + std::string(1 << 20, 0));
    EXPECT_EQ(SkinFile::readNamed(folder, "Huge").problem.value().reason,
              "it is larger than 1048576 bytes");
    EXPECT_EQ(SkinFile::writeNamed(dir.file("no-folder"), "Ocean", ocean).value().kind,
              Kind::CannotWrite);
    const SkinRead damaged = SkinFile::read(std::string(ALMANARY_FIXTURES_DIR) + "/truncated.skn");
    EXPECT_EQ(damaged.skin.has_value() ? "" : damaged.problem.value().reason,
              "the file ends early, in the picture path (10 bytes promised, 6 left)");
}

}  // namespace
}  // namespace almanary::testing
