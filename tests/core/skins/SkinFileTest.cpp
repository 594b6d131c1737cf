#include "skins/SkinFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

using testing::readFile;
using Kind = SkinFileProblem::Kind;

const Skin kOcean{0x00C08040, 0x00FFFFFF, 0x00402010, 0x00F0E0D0, "/pictures/sea.bmp"};

TEST(SkinFileBytes, ColoursInOrderThenThePicturePath) {
    Skin skin = kOcean;
    skin.picturePath.clear();
    EXPECT_EQ(testing::hex(SkinFile::encode(skin)),
              "40 80 C0 00 FF FF FF 00 10 20 40 00 D0 E0 F0 00 00");
    const std::string bytes = SkinFile::encode(kOcean);
    EXPECT_EQ(SkinFile::decode(bytes + "extra"), kOcean);  // trailing bytes are ignored
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string reason;
        EXPECT_EQ(SkinFile::decode(bytes.substr(0, size), &reason), std::nullopt) << size;
        EXPECT_EQ(reason.rfind("the file ends early, in the ", 0), 0u) << reason;
    }
}

TEST(SkinFileNames, DefaultIsBuiltInAndNamesStayInTheFolder) {
    EXPECT_EQ(SkinFile::pathOf("/skins/", "Dark Blue"), "/skins/Dark Blue.skn");
    EXPECT_EQ(SkinFile::pathOf("/skins", "default"), "/skins/default.skn");
    for (const std::string name : {"Default", "", "..", "../secrets", "a/b"})
        EXPECT_EQ(SkinFile::pathOf("/skins", name), std::nullopt) << name;
    EXPECT_EQ(SkinFile::pathOf("/skins", std::string("x\0y", 3)), std::nullopt);
}

TEST(SkinFileDisk, NamedSkinsReadBackAndTheBuiltInOneIsNeverTouched) {
    // The skins folder sits inside the test's own folder, so a name that
    // escaped it would land there too, not in the shared temporary folder.
    const testing::TempDir dir;
    const std::string folder = dir.file("Skins");
    std::filesystem::create_directory(folder);
    ASSERT_EQ(SkinFile::writeNamed(folder, "Ocean", kOcean), std::nullopt);
    EXPECT_EQ(SkinFile::readNamed(folder, "Ocean").skin, kOcean);

    testing::writeFile(folder + "/Default.skn", "impostor");
    EXPECT_EQ(SkinFile::readNamed(folder, "Default").problem.value().kind, Kind::BuiltIn);
    EXPECT_EQ(SkinFile::writeNamed(folder, "Default", kOcean).value().kind, Kind::BuiltIn);
    EXPECT_EQ(readFile(folder + "/Default.skn"), "impostor");
    EXPECT_EQ(SkinFile::writeNamed(folder, "../escape", kOcean).value().kind, Kind::BadName);
    EXPECT_FALSE(std::filesystem::exists(dir.file("escape.skn")));

    EXPECT_EQ(SkinFile::readNamed(folder, "Gone").problem.value().kind, Kind::CannotOpen);
    testing::writeFile(folder + "/Huge.skn", SkinFile::encode(kOcean) + std::string(1 << 20, 0));
    EXPECT_EQ(SkinFile::readNamed(folder, "Huge").problem.value().reason,
              "it is larger than 1048576 bytes");
    EXPECT_EQ(SkinFile::writeNamed(dir.file("no-folder"), "Ocean", kOcean).value().kind,
              Kind::CannotWrite);
    const SkinRead damaged = SkinFile::read(std::string(ALMANARY_FIXTURES_DIR) + "/truncated.skn");
    EXPECT_FALSE(damaged.skin.has_value());
    EXPECT_EQ(damaged.problem.value().reason,
              "the file ends early, in the picture path (10 bytes promised, 6 left)");
}

}  // namespace
}  // namespace almanary
