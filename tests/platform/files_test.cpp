#include "platform/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zembra {
namespace {

struct FilesTest : ::testing::Test {
    testing::TempDir dir;
    Files& files = Files::Local();
};

TEST_F(FilesTest, ExistsOnlyForOrdinaryFiles) {
    EXPECT_FALSE(files.Exists(dir.Path()));
    EXPECT_FALSE(files.Exists(dir / "none.jpg"));
    EXPECT_FALSE(files.Exists(""));
    EXPECT_TRUE(files.Exists(dir.Write("a.jpg")));
}

TEST_F(FilesTest, RenameNeverReplacesAFile) {
    dir.Write("a.jpg", "A");
    dir.Write("b.jpg", "B");
    EXPECT_FALSE(files.Rename(dir / "a.jpg", dir / "b.jpg"));
    EXPECT_EQ(files.ReadAll(dir / "b.jpg"), (Bytes{'B'}));
    EXPECT_TRUE(files.Rename(dir / "a.jpg", dir / "c.jpg"));
    EXPECT_EQ(dir.Listing(), "b.jpg c.jpg");
}

TEST_F(FilesTest, CopyReplacesTheTargetWholeAndLeavesNoTemporary) {
    dir.Write("a.jpg", "new");
    dir.Write("b.jpg", "old, longer");
    EXPECT_TRUE(files.Copy(dir / "a.jpg", dir / "b.jpg"));
    EXPECT_EQ(files.ReadAll(dir / "b.jpg"), (Bytes{'n', 'e', 'w'}));
    EXPECT_FALSE(files.Copy(dir / "missing.jpg", dir / "c.jpg"));
    EXPECT_EQ(dir.Listing(), "a.jpg b.jpg");
}

TEST_F(FilesTest, FailedWritesLeaveNoStrayFile) {
    dir.Write("a.jpg", "keep");
    // A folder in the way makes the final move fail after the data was written.
    std::filesystem::create_directory(dir / "b.jpg");
    EXPECT_FALSE(files.WriteAll(dir / "b.jpg", Bytes{'x'}));
    EXPECT_FALSE(files.Copy(dir / "a.jpg", dir / "b.jpg"));
    EXPECT_FALSE(files.WriteAll(dir / "no-folder/c.jpg", Bytes{'x'}));
    EXPECT_EQ(dir.Listing(), "a.jpg b.jpg");
    EXPECT_EQ(files.ReadAll(dir / "a.jpg"), (Bytes{'k', 'e', 'e', 'p'}));
}

TEST_F(FilesTest, NamesAtTheLengthLimitAreWrittenThroughShorterTemporaries) {
    const std::string longest = std::string(251, 'n') + ".jpg"; // 255 bytes
    EXPECT_TRUE(files.WriteAll(dir / longest, Bytes{'x'}));
    EXPECT_TRUE(files.Copy(dir / longest, dir / ("c" + longest.substr(1))));
    EXPECT_FALSE(files.Copy(dir / longest, dir / ("c" + longest))); // one byte too long
    EXPECT_EQ(dir.Listing(), "c" + longest.substr(1) + " " + longest);
    const std::string temporary = TemporarySibling(dir / longest);
    EXPECT_TRUE(temporary.ends_with("nn.jpg")) << temporary; // the extension stays
}

TEST_F(FilesTest, LeftoversOfAKilledRunGoAndNothingElse) {
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string mine = TemporarySibling(dir / "b.jpg");
    const std::string mineName = mine.substr(mine.rfind('/') + 1);
    EXPECT_EQ(TemporaryOwner(mineName), ::getpid());
    dir.Write(".~zembra-" + std::to_string(gone) + "-0-a.jpg", "half");
    dir.Write(mineName, "being written");
    dir.Write(".~zembra-x-0-c.jpg", "not ours");
    dir.Write("a.jpg", "A");
    dir.Write("a.jpgexif.JPG", "A"); // the same bytes as its source: redundant
    dir.Write("b.jpg", "B, resized");
    dir.Write("b.jpgexif.jpg", "B"); // the only full copy left: kept
    dir.Write("d.jpgexif.JPG", "D"); // no source beside it: kept
    EXPECT_EQ(files.RemoveLeftovers(dir.Path()), 2);
    EXPECT_EQ(dir.Listing(),
              mineName + " .~zembra-x-0-c.jpg a.jpg b.jpg b.jpgexif.jpg d.jpgexif.JPG");
}

} // namespace
} // namespace zembra
