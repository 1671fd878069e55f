#include "platform/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace zembra {
namespace {

using testing::TempDir;

TEST(Files, ExistsOnlyForOrdinaryFiles) {
    TempDir dir;
    Files& files = Files::Local();
    EXPECT_FALSE(files.Exists(dir.Path()));
    EXPECT_FALSE(files.Exists(dir / "none.jpg"));
    EXPECT_FALSE(files.Exists(""));
    EXPECT_TRUE(files.Exists(dir.Write("a.jpg")));
}

TEST(Files, RenameNeverReplacesAFile) {
    TempDir dir;
    Files& files = Files::Local();
    dir.Write("a.jpg", "A");
    dir.Write("b.jpg", "B");
    EXPECT_FALSE(files.Rename(dir / "a.jpg", dir / "b.jpg"));
    EXPECT_EQ(files.ReadAll(dir / "b.jpg"), (Bytes{'B'}));
    EXPECT_TRUE(files.Rename(dir / "a.jpg", dir / "c.jpg"));
    EXPECT_EQ(dir.Listing(), "b.jpg c.jpg");
}

TEST(Files, CopyReplacesTheTargetWholeAndLeavesNoTemporary) {
    TempDir dir;
    Files& files = Files::Local();
    dir.Write("a.jpg", "new");
    dir.Write("b.jpg", "old, longer");
    EXPECT_TRUE(files.Copy(dir / "a.jpg", dir / "b.jpg"));
    EXPECT_EQ(files.ReadAll(dir / "b.jpg"), (Bytes{'n', 'e', 'w'}));
    EXPECT_FALSE(files.Copy(dir / "missing.jpg", dir / "c.jpg"));
    EXPECT_EQ(dir.Listing(), "a.jpg b.jpg");
}

TEST(Files, FailedWritesLeaveNoStrayFile) {
    TempDir dir;
    Files& files = Files::Local();
    dir.Write("a.jpg", "keep");
    // A folder in the way makes the final move fail after the data was written.
    std::filesystem::create_directory(dir / "b.jpg");
    EXPECT_FALSE(files.WriteAll(dir / "b.jpg", Bytes{'x'}));
    EXPECT_FALSE(files.Copy(dir / "a.jpg", dir / "b.jpg"));
    EXPECT_FALSE(files.WriteAll(dir / "no-folder/c.jpg", Bytes{'x'}));
    EXPECT_EQ(dir.Listing(), "a.jpg b.jpg");
    EXPECT_EQ(files.ReadAll(dir / "a.jpg"), (Bytes{'k', 'e', 'e', 'p'}));
}

} // namespace
} // namespace zembra
