#include "share/ShareRegistry.h"

#include <gtest/gtest.h>

#include "app/SettingsStore.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

class ShareRegistryTest : public ::testing::Test {
protected:
    ShareRegistryTest() {
        EXPECT_TRUE(store.open(dir.file("settings.sqlite")));
        writeFile(cal, "x");
        std::filesystem::create_symlink(cal, dir.file("link.alm"));
        std::filesystem::create_directory_symlink(dir.path(), dir.file("here"));
    }

    TempDir dir;
    SettingsStore store;
    ShareRegistry shares{store};
    const std::string cal = dir.file("cal.alm");
};

TEST_F(ShareRegistryTest, ANameIsCheckedBeforeItIsShared) {
    const std::string longPath = "/" + std::string(254, 'p');
    const struct {
        std::string name, path;
        std::optional<MessageId> refused;
    } cases[] = {
        {"Work", "/a.alm", std::nullopt},
        {"", "/a.alm", MessageId::ShareNameRequired},
        {"", "", MessageId::ShareNameRequired},
        {"Work", "", MessageId::SaveBeforeSharing},
        {std::string(20, 'n'), "/a.alm", std::nullopt},
        {std::string(21, 'n'), "/a.alm", MessageId::TooManyCharacters},
        {"loadonstart", "/a.alm", MessageId::InvalidShareName},
        {"FileNames", "/a.alm", std::nullopt},
        {"Work", longPath.substr(1), std::nullopt},  // 254 bytes
        {"Work", longPath, MessageId::SharePathTooLong},
    };
    for (const auto& c : cases) {
        const std::optional<Notice> notice = ShareRegistry::check(c.name, c.path);
        EXPECT_EQ(notice ? std::optional(notice->id) : std::nullopt, c.refused) << c.name;
    }
}

// A file's first share names it, through links, even before the file is there.
TEST_F(ShareRegistryTest, AFileIsKnownByItsFirstShare) {
    ASSERT_TRUE(shares.publish("Zeta", dir.file("link.alm")) && shares.publish("Alpha", cal));
    ASSERT_TRUE(shares.publish("Gone", dir.file("gone.alm")));
    EXPECT_EQ(shares.nameOf(dir.file("here/gone.alm")), "Gone");
    ASSERT_TRUE(shares.publish("ZETA", cal));  // an update keeps its place
    EXPECT_EQ(shares.nameOf(cal), "Zeta");
    EXPECT_EQ(shares.pathOf("zeta"), cal);
    EXPECT_FALSE(shares.sharesAnotherFile("Alpha", dir.file("link.alm")));
    EXPECT_TRUE(shares.sharesAnotherFile("Alpha", dir.file("other.alm")));
    EXPECT_FALSE(shares.sharesAnotherFile("Nobody", dir.file("other.alm")));
    ASSERT_TRUE(shares.withdraw("Zeta") && shares.publish("Zeta", cal));  // now last
    EXPECT_EQ(shares.nameOf(dir.file("link.alm")), "Alpha");
    EXPECT_FALSE(shares.withdraw("FileName"));
}

}  // namespace
}  // namespace almanary::testing
