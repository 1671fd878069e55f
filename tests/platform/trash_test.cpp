// Originals that make way: the Trash, their permissions, the folder a run opened.
#include "platform/file_mode.h"
#include "platform/files.h"
#include "platform/trash.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zembra {
namespace {

std::string Text(const std::string& path) {
    const auto bytes = Files::Local().ReadAll(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "";
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

struct Trash : ::testing::Test {
    testing::TempDir dir;
    testing::TempDir data;
    Files& files = Files::Local();
    const bool hadHome = std::getenv("XDG_DATA_HOME") != nullptr;
    const std::string saved = hadHome ? std::getenv("XDG_DATA_HOME") : "";
    void SetUp() override { ::setenv("XDG_DATA_HOME", data.Path().c_str(), 1); }
    void TearDown() override {
        hadHome ? ::setenv("XDG_DATA_HOME", saved.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    }
    std::string Trashed(const std::string& name) const { return data / ("Trash/files/" + name); }
    std::string Info(const std::string& name) const {
        return data / ("Trash/info/" + name + ".trashinfo");
    }
};

TEST_F(Trash, AReplacedOriginalKeepsItsModeAndGoesToTheTrashEachTime) {
    dir.Write("photo.jpg", "first");
    ::chmod((dir / "photo.jpg").c_str(), 0640);
    for (const char* next : {"second", "third"}) {
        dir.Write("new.jpg", next);
        EXPECT_EQ(files.ReplaceOriginal(dir / "new.jpg", dir / "photo.jpg"), Disposal::Trashed);
    }
    EXPECT_EQ(Text(dir / "photo.jpg"), "third");
    EXPECT_EQ(Mode(dir / "photo.jpg"), 0640u);
    EXPECT_EQ(dir.Listing(), "photo.jpg");
    // The second name keeps the extension last, for the file manager.
    EXPECT_EQ(Text(Trashed("photo.jpg")), "first");
    EXPECT_EQ(Text(Trashed("photo.2.jpg")), "second");
    const std::string info = Text(Info("photo.2.jpg"));
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + dir.Path() + "/photo.jpg\nDeletionDate=", 0), 0u)
        << info;
}

TEST_F(Trash, ADiscardedOriginalIsInTheTrashOnlyOnceItIsGone) {
    dir.Write("a b.jpg", "A");
    EXPECT_EQ(files.Discard(dir / "a b.jpg"), Disposal::Trashed);
    EXPECT_EQ(dir.Listing(), "");
    EXPECT_EQ(Text(Trashed("a b.jpg")), "A");
    EXPECT_EQ(files.Discard(dir / "a b.jpg"), Disposal::Failed);
    // A failed replacement takes nothing into the Trash.
    EXPECT_EQ(files.ReplaceOriginal(dir / "none.jpg", dir / "b.jpg"), Disposal::Failed);
    EXPECT_FALSE(std::filesystem::exists(Trashed("b.jpg")));
}

TEST_F(Trash, WithoutAUsableTrashTheOriginalIsReplacedAndThatIsSaid) {
    // A file where the Trash folder should be: no trash can be made there.
    ::setenv("XDG_DATA_HOME", (data / "file").c_str(), 1);
    data.Write("file");
    dir.Write("photo.jpg", "old");
    dir.Write("new.jpg", "new");
    EXPECT_EQ(files.ReplaceOriginal(dir / "new.jpg", dir / "photo.jpg"), Disposal::Deleted);
    EXPECT_EQ(Text(dir / "photo.jpg"), "new");
}

TEST(TrashInfo, ThePathIsEscapedAsAUrlPath) {
    EXPECT_EQ(TrashInfoText("/home/u/a b%.jpg", "2026-01-02T03:04:05"),
              "[Trash Info]\nPath=/home/u/a%20b%25.jpg\nDeletionDate=2026-01-02T03:04:05\n");
    EXPECT_EQ(TrashInfoText("/x/\xc3\xa9\n.jpg", "d"),
              "[Trash Info]\nPath=/x/%C3%A9%0A.jpg\nDeletionDate=d\n");
}

TEST(FileMode, NewFilesGetReadWriteBitsTheUmaskAllows) {
    const struct {
        mode_t source, umask, expected;
    } cases[] = {{06755, 077, 0600},
                 {0600, 022, 0600},
                 {0777, 022, 0644},
                 {0444, 0, 0444},
                 {01666, 002, 0664}};
    for (const auto& c : cases)
        EXPECT_EQ(NewFileMode(c.source, c.umask), c.expected) << std::oct << c.source;
    const mode_t old = ::umask(027);
    EXPECT_EQ(ProcessUmask(), 027u);
    ::umask(old);
}

TEST(RunFolders, AFolderSwappedForASymlinkDuringARunIsNotFollowed) {
    testing::TempDir dir;
    Files& files = Files::Local();
    std::filesystem::create_directory(dir / "run");
    std::filesystem::create_directory(dir / "elsewhere");
    dir.Write("run/a.jpg", "A");
    files.RemoveLeftovers(dir / "run");
    std::filesystem::rename(dir / "run", dir / "moved");
    std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "run");
    EXPECT_TRUE(files.Copy(dir / "run/a.jpg", dir / "run/b.jpg"));
    files.ReleaseFolders();
    EXPECT_TRUE(std::filesystem::exists(dir / "moved/b.jpg"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "elsewhere"));
}

} // namespace
} // namespace zembra
