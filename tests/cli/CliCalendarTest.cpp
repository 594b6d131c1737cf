// almanary-cli import and export: what they report, what they write, and
// that a failed import leaves the almanary as it was.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CliApp.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::cli {
namespace {

using Args = std::vector<std::string>;

const std::string kFixtures = std::string(ALMANARY_FIXTURES_DIR) + "/ical/";

class CliCalendarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(run({"new", file}), kDone); }

    int run(const Args& args) {
        out.str(""), err.str("");
        CliContext context{out, err};
        return runCli(args, context);
    }

    std::string listing(const std::string& path) {
        EXPECT_EQ(run({"list", path}), kDone) << err.str();
        return out.str();
    }

    almanary::testing::ScopedTimeZone zone{"Europe/Berlin"};
    almanary::testing::TempDir dir;
    std::string file = dir.file("cal.alm");
    std::ostringstream out, err;
};

// A dry run reports and writes nothing; the import reports the same and
// writes; the same file again adds nothing; a start already taken is named.
TEST_F(CliCalendarTest, ImportReportsWhatItAddsAndWhatItLeavesOut) {
    const Args window{"--from", "2026-01-01", "--to", "2027-12-31"};
    Args dryRun{"import", file, kFixtures + "phone-export.ics", "--dry-run"};
    dryRun.insert(dryRun.end(), window.begin(), window.end());
    const std::string empty = almanary::testing::readFile(file);
    ASSERT_EQ(run(dryRun), kDone) << err.str();
    const std::string report = out.str();
    EXPECT_TRUE(report.starts_with("Would add 7 events.\nWould add the category Work.\n"))
        << report;
    EXPECT_EQ(almanary::testing::readFile(file), empty);

    Args import(dryRun.begin(), dryRun.end() - 1 - window.size());
    import.insert(import.end(), window.begin(), window.end());
    ASSERT_EQ(run(import), kDone) << err.str();
    EXPECT_TRUE(out.str().starts_with("Added 7 events.\nAdded the category Work.\n")) << out.str();
    ASSERT_EQ(run(import), kDone);
    EXPECT_EQ(out.str(), "Added 0 events; 7 already there.\n");

    ASSERT_EQ(run({"import", file, kFixtures + "mail-export.ics", "--category", "Mail"}), kDone);
    EXPECT_NE(out.str().find("1 left out: another event starts at the same time:\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("Added the category Mail.\n"), std::string::npos) << out.str();
}

// A damaged file names its line, exits with 2 and leaves the almanary
// byte for byte as it was; so does a file that cannot be read.
TEST_F(CliCalendarTest, AFailedImportChangesNothing) {
    ASSERT_EQ(run({"add", file, "--date", "2026-03-01", "--time", "8:00", "--notes", "kept"}),
              kDone);
    const std::string before = almanary::testing::readFile(file);
    EXPECT_EQ(run({"import", file, kFixtures + "broken.ics"}), kFileUnusable);
    EXPECT_EQ(err.str(), kFixtures + "broken.ics, line 11: DTSTART 2026-03-02 09:00 is not a " +
                             "date or time.  Nothing was imported.\n");
    EXPECT_EQ(run({"import", file, dir.file("missing.ics")}), kFileUnusable);
    EXPECT_NE(err.str().find("could not be read"), std::string::npos) << err.str();
    EXPECT_EQ(run({"import", file, kFixtures + "mail-export.ics", "--from", "2026-02-01", "--to",
                   "2026-01-01"}),
              kWrongUsage);
    EXPECT_EQ(almanary::testing::readFile(file), before);
}

// An export replaces a file only when asked, and a fresh almanary that
// imports it lists the same events.
TEST_F(CliCalendarTest, AnExportImportsBackAsTheSameEvents) {
    ASSERT_EQ(run({"import", file, kFixtures + "phone-export.ics", "--from", "2026-01-01", "--to",
                   "2027-12-31"}),
              kDone);
    const std::string ics = dir.file("out.ics");
    ASSERT_EQ(run({"export", file, ics}), kDone) << err.str();
    EXPECT_EQ(out.str(), "Exported 7 events to " + ics + ".\n");
    EXPECT_EQ(run({"export", file, ics}), kRefused);
    EXPECT_EQ(run({"export", file, ics, "--force", "--category", "Work"}), kDone);
    EXPECT_EQ(out.str(), "Exported 3 events to " + ics + ".\n");
    ASSERT_EQ(run({"export", file, ics, "--force"}), kDone);

    const std::string copy = dir.file("copy.alm");
    ASSERT_EQ(run({"new", copy}), kDone);
    ASSERT_EQ(run({"import", copy, ics, "--from", "2000-01-01", "--to", "2040-01-01"}), kDone);
    EXPECT_EQ(listing(copy), listing(file));
}

}  // namespace
}  // namespace almanary::cli
