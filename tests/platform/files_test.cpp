#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/mounts.h"
#include "platform/user_dirs.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

TEST_F(FilesTest, ReadHeadStopsAtTheLimitOrTheEnd) {
    dir.Write("a.jpg", "abcdef");
    EXPECT_EQ(files.ReadHead(dir / "a.jpg", 4), (Bytes{'a', 'b', 'c', 'd'}));
    EXPECT_EQ(files.ReadHead(dir / "a.jpg", 100), files.ReadAll(dir / "a.jpg"));
    EXPECT_EQ(files.ReadHead(dir / "none.jpg", 4), std::nullopt);
}

TEST_F(FilesTest, CopyTakesOnlyAFreeNameAndOnlyReadWriteBits) {
    dir.Write("a.jpg", "new");
    dir.Write("b.jpg", "old");
    dir.Write("victim", "mine");
    std::filesystem::create_symlink(dir / "victim", dir / "link.jpg");
    EXPECT_FALSE(files.Copy(dir / "a.jpg", dir / "b.jpg"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(files.Copy(dir / "a.jpg", dir / "link.jpg"));
    EXPECT_EQ(files.ReadAll(dir / "b.jpg"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(files.ReadAll(dir / "victim"), (Bytes{'m', 'i', 'n', 'e'}));

    ::chmod((dir / "a.jpg").c_str(), 06775);
    const mode_t mask = ::umask(027);
    const bool copied = files.Copy(dir / "a.jpg", dir / "c.jpg");
    ::umask(mask);
    ASSERT_TRUE(copied);
    struct stat st {};
    ::stat((dir / "c.jpg").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_FALSE(files.Copy(dir / "missing.jpg", dir / "d.jpg"));
    EXPECT_EQ(dir.Listing(), "a.jpg b.jpg c.jpg link.jpg victim");
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

// Names at the file system's length limit are written end to end by the batch
// fault script, which needs temporaries shorter than the name.
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
    dir.Write("a.jpgexif.JPG", "A"); // a user's file, whatever it holds
    std::filesystem::create_symlink(dir / "a.jpg",
                                    dir / (".~zembra-" + std::to_string(gone) + "-1-x"));
    EXPECT_EQ(files.RemoveLeftovers(dir.Path()), 1);
    files.ReleaseFolders();
    EXPECT_EQ(dir.Listing(), mineName + " .~zembra-" + std::to_string(gone) +
                                 "-1-x .~zembra-x-0-c.jpg a.jpg a.jpgexif.JPG");
}

TEST(Mounts, KeepsLocalDisksAndTheRootOnly) {
    const auto mounts = ParseMounts("overlay / overlay rw 0 0\n"
                                    "proc /proc proc rw 0 0\n"
                                    "tmpfs /run tmpfs rw 0 0\n"
                                    "/dev/sdb1 /media/My\\040Card vfat rw 0 0\n"
                                    "/dev/loop3 /snap/core squashfs ro 0 0\n"
                                    "server:/x /net nfs4 rw 0 0\n"
                                    "/dev/sda2 /home ext4 rw 0 0\n"
                                    "/dev/sda3 /home ext4 rw 0 0\n"
                                    "broken line\n");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[1].mountPoint, "/home");
    EXPECT_EQ(mounts[1].device, "/dev/sda3"); // the later mount hides the earlier
    EXPECT_EQ(mounts[2].mountPoint, "/media/My Card");
    EXPECT_EQ(DriveMountPoint(DriveText({"", "/media/My Card", "", "HOLIDAY"})), "/media/My Card");
}

TEST(UserDirs, QuotedHomeRelativeOrAbsolutePaths) {
    const std::string file = "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                             "XDG_PICTURES_DIR=\"/data/Bilder/\"\nXDG_MUSIC_DIR=$HOME/m\n";
    EXPECT_EQ(ParseUserDir(file, "XDG_DESKTOP_DIR", "/home/u"), "/home/u/Schreibtisch");
    EXPECT_EQ(ParseUserDir(file, "XDG_PICTURES_DIR", "/home/u"), "/data/Bilder");
    EXPECT_EQ(ParseUserDir(file, "XDG_MUSIC_DIR", "/home/u"), std::nullopt); // unquoted
    EXPECT_EQ(ParseUserDir(file, "XDG_DESKTOP", "/home/u"), std::nullopt);
    EXPECT_EQ(ParseUserDir("XDG_DESKTOP_DIR=\"$HOME\"", "XDG_DESKTOP_DIR", "/"), "/");
}

TEST_F(FilesTest, FolderListingIsSortedByNameWithoutHiddenEntries) {
    for (const char* name : {"b.jpg", "A.jpg", "c.txt", ".hidden.jpg"})
        dir.Write(name);
    std::filesystem::create_directory(dir / "Sub");
    std::filesystem::create_directory(dir / ".cache");
    const auto listing = ListFolder(dir.Path());
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->files, (std::vector<std::string>{"A.jpg", "b.jpg", "c.txt"}));
    EXPECT_EQ(listing->folders, std::vector<std::string>{"Sub"});
    EXPECT_FALSE(ListFolder(dir / "missing"));
    EXPECT_FALSE(ListFolder(dir / "b.jpg"));
}

} // namespace
} // namespace zembra
