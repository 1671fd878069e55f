#include "platform/folder_listing.h"
#include "platform/mounts.h"
#include "platform/user_dirs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zembra {
namespace {

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

TEST(FolderListing, SortedByNameWithoutHiddenEntries) {
    testing::TempDir dir;
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
