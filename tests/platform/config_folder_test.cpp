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

// What a write does to the file and to what lies around it. Every case writes to
// config.txt; a file written over keeps its mode (0640 here).
TEST(ConfigFolder, ReplacingFollowsLinksKeepsTheModeAndRefusesWhatItMayNotReplace) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> arrange;
        const char* target; // the file that must hold the result, or "" when refused
    };
    const auto link = [](const char* to) {
        return [to](const TempDir& d) { fs::create_symlink(to, d / "config.txt"); };
    };
    const Case cases[] = {
        {"new file", [](const TempDir&) {}, "config.txt"},
        {"existing file", [](const TempDir& d) { d.Write("config.txt", "old"); }, "config.txt"},
        {"relative link to a dotfile",
         [](const TempDir& d) {
             fs::create_directory(d / "dots");
             d.Write("dots/config.txt", "old");
             fs::create_symlink("dots/config.txt", d / "config.txt");
         },
         "dots/config.txt"},
        {"chain of links, one absolute",
         [](const TempDir& d) {
             fs::create_symlink(d.Write("real.txt", "old"), d / "middle");
             fs::create_symlink("middle", d / "config.txt");
         },
         "real.txt"},
        {"dangling link", link("later.txt"), "later.txt"},
        {"read-only file",
         [](const TempDir& d) { ::chmod(d.Write("config.txt", "old").c_str(), 0444); }, ""},
        {"link loop", link("config.txt"), ""},
        {"folder in its place", [](const TempDir& d) { fs::create_directory(d / "config.txt"); },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir / "config.txt";
        c.arrange(dir);
        const bool written = *c.target != '\0';
        const std::string target = dir / (written ? c.target : "config.txt");
        if (written && Text(target) == "old")
            ::chmod(target.c_str(), 0640);
        const std::string before = dir.Listing(), old = Text(target);
        const unsigned mode = Mode(target);
        const bool wasLink = fs::is_symlink(fs::symlink_status(path));
        EXPECT_EQ(ReplaceSettingsFile(path, "date=1\r\n"), written);
        EXPECT_EQ(Text(target), written ? "date=1\r\n" : old);
        if (old != "<none>") {
            EXPECT_EQ(Mode(target), mode);
        }
        if (!written) {
            EXPECT_EQ(dir.Listing(), before);
        }
        // No temporary file is left beside the target.
        EXPECT_EQ(dir.Listing().find(".config.txt-"), std::string::npos) << dir.Listing();
        EXPECT_EQ(fs::is_symlink(fs::symlink_status(path)), wasLink); // links stay links
    }
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
