// The configuration folder: where it is without HOME, how it is made, and how a
// settings file in it is replaced.
#include "platform/config_folder.h"
#include "platform/files.h"
#include "platform/user_dirs.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zembra {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string Text(const std::string& path) {
    const auto bytes = Files::Local().ReadAll(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
}

unsigned Mode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Sets an environment variable, or removes it for nullptr, until the scope ends.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ConfigFolder, WithoutHomeTheUserDatabaseGivesIt) {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    const passwd* entry = ::getpwuid(::geteuid());
    if (entry == nullptr || entry->pw_dir == nullptr || entry->pw_dir[0] != '/')
        GTEST_SKIP() << "this user has no home in the user database";
    EXPECT_EQ(HomeFolder(), entry->pw_dir);
    EXPECT_EQ(UserConfigFolder(), std::string(entry->pw_dir) + "/.config");
}

TEST(ConfigFolder, MissingFoldersAreMadePrivateAndExistingOnesKeepTheirMode) {
    TempDir dir;
    fs::create_directory(dir / "shared");
    ::chmod((dir / "shared").c_str(), 0755);
    const std::string deep = dir / "shared/config/KVD";
    ASSERT_TRUE(MakePrivateFolders(deep));
    EXPECT_EQ(Mode(dir / "shared"), 0755u);
    EXPECT_EQ(Mode(dir / "shared/config"), 0700u);
    EXPECT_EQ(Mode(deep), 0700u);
    EXPECT_TRUE(MakePrivateFolders(deep)); // already there
    EXPECT_FALSE(MakePrivateFolders(dir.Write("file") + "/KVD"));
}

// What a write does to the file and to what lies around it.
TEST(ConfigFolder, ReplacingFollowsLinksAndRefusesWhatItMayNotReplace) {
    struct Case {
        const char* what;
        std::function<std::string(const TempDir&)> arrange; // gives the path written to
        bool written;
        const char* target; // the file that must hold the result, in the folder
    };
    const Case cases[] = {
        {"new file", [](const TempDir& d) { return d / "config.txt"; }, true, "config.txt"},
        {"relative link to a dotfile",
         [](const TempDir& d) {
             fs::create_directory(d / "dots");
             d.Write("dots/config.txt", "old");
             fs::create_symlink("dots/config.txt", d / "config.txt");
             return d / "config.txt";
         },
         true, "dots/config.txt"},
        {"chain of links, one absolute",
         [](const TempDir& d) {
             d.Write("real.txt", "old");
             fs::create_symlink(d / "real.txt", d / "middle");
             fs::create_symlink("middle", d / "config.txt");
             return d / "config.txt";
         },
         true, "real.txt"},
        {"dangling link",
         [](const TempDir& d) {
             fs::create_symlink("later.txt", d / "config.txt");
             return d / "config.txt";
         },
         true, "later.txt"},
        {"read-only file",
         [](const TempDir& d) {
             d.Write("config.txt", "old");
             ::chmod((d / "config.txt").c_str(), 0444);
             return d / "config.txt";
         },
         false, "config.txt"},
        {"link loop",
         [](const TempDir& d) {
             fs::create_symlink("config.txt", d / "config.txt");
             return d / "config.txt";
         },
         false, ""},
        {"folder in its place",
         [](const TempDir& d) {
             fs::create_directory(d / "config.txt");
             return d / "config.txt";
         },
         false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = c.arrange(dir);
        const std::string before = dir.Listing();
        const bool wasLink = fs::is_symlink(fs::symlink_status(path));
        const std::string old = Text(dir / c.target);
        EXPECT_EQ(ReplaceSettingsFile(path, "date=1\r\n"), c.written);
        if (c.written) {
            EXPECT_EQ(Text(dir / c.target), "date=1\r\n");
            // No temporary file is left beside the target.
            EXPECT_EQ(dir.Listing().find(".config.txt-"), std::string::npos) << dir.Listing();
        } else {
            EXPECT_EQ(Text(dir / c.target), old);
            EXPECT_EQ(dir.Listing(), before);
        }
        EXPECT_EQ(fs::is_symlink(fs::symlink_status(path)), wasLink); // links stay links
    }
}

TEST(ConfigFolder, AReplacedFileKeepsItsMode) {
    TempDir dir;
    const std::string path = dir.Write("config.txt", "old");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(ReplaceSettingsFile(path, "new"));
    EXPECT_EQ(Mode(path), 0640u);
    EXPECT_EQ(Text(path), "new");
}

// Someone else's file in a folder this user may write to is still not theirs to
// replace. Needs root to make the two users.
TEST(ConfigFolder, AnotherUsersFileIsNotReplaced) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr)
        GTEST_SKIP() << "needs root to act as nobody";
    TempDir dir;
    ::chmod(dir.Path().c_str(), 0777);
    const std::string path = dir.Write("config.txt", "root's");
    ::chmod(path.c_str(), 0644);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 &&
                             ::setuid(nobody->pw_uid) == 0;
        ::_exit(!dropped ? 2 : ReplaceSettingsFile(path, "nobody's") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced, 2: could not become nobody";
    EXPECT_EQ(Text(path), "root's");
    EXPECT_EQ(dir.Listing(), "config.txt");
}

} // namespace
} // namespace zembra
