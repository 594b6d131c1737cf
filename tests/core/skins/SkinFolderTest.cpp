
#include "skins/SkinFolder.h"

#include <gtest/gtest.h>

#include "skins/SkinFile.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// The folder offers its skin files in byte order; missing samples come with their pictures,
// a changed skin stays, a deleted one comes back.
TEST(SkinFolderTest, TheSampleSkinsAreCopiedWhereMissing) {
    const testing::TempDir dir;
    const std::string samples = ALMANARY_RESOURCES_DIR "/skins";
    const std::string folder = dir.file("data/Skins");
    EXPECT_EQ(SkinFolder::names(folder), Names{});
    fs::create_directories(folder + "/folder.skn");
    for (const char* file : {"/beta.skn", "/Default.skn", "/notes.txt", "/.skn"})
        testing::writeFile(folder + file, "x");
    ASSERT_EQ(SkinFolder::addSamples(samples, folder), std::nullopt);
    EXPECT_EQ(SkinFolder::names(folder), (Names{"Default", "Harbour", "Meadow", "beta"}));
    for (const std::string name : {"Harbour", "Meadow"}) {
        const std::optional<Skin> copied = SkinFile::readNamed(folder, name).skin;
        ASSERT_TRUE(copied) << name;
        EXPECT_EQ(copied->picturePath, folder + "/" + name + ".bmp");
        EXPECT_EQ(testing::readFile(copied->picturePath),
                  testing::readFile(samples + "/" + name + ".bmp"));
    }

    Skin mine = SkinFile::readNamed(folder, "Harbour").skin.value();
    mine.buttonText = 0x00123456;
    ASSERT_EQ(SkinFile::writeNamed(folder, "Harbour", mine), std::nullopt);
    fs::remove(folder + "/Meadow.skn");
    ASSERT_EQ(SkinFolder::addSamples(samples, folder), std::nullopt);
    EXPECT_EQ(SkinFile::readNamed(folder, "Harbour").skin, mine);
    EXPECT_TRUE(SkinFile::readNamed(folder, "Meadow").skin);

    testing::writeFile(dir.file("file"), "x");
    EXPECT_NE(SkinFolder::addSamples(samples, dir.file("file/Skins")), std::nullopt);
    EXPECT_NE(SkinFolder::addSamples(samples, ""), std::nullopt);
}

}  // namespace
}  // namespace almanary
