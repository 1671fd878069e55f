#include "platform/run_journal.h"

#include "platform/config_folder.h"
#include "platform/folder.h"
#include "platform/journal_lines.h"
#include "platform/user_dirs.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zembra {

namespace {

constexpr std::string_view kExtension = ".journal";
// Far past any real run (a line per step, a few steps per picture).
constexpr off_t kLargestJournal = off_t{256} << 20;

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// "20261206-231500.123456789-4242.journal": UTC time to the nanosecond, then the
// process, so names sort as the runs began and two runs never share one.
std::string NewJournalName() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc{};
    ::gmtime_r(&now.tv_sec, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    char name[96];
    std::snprintf(name, sizeof name, "%s.%09ld-%d%s", stamp, static_cast<long>(now.tv_nsec),
                  static_cast<int>(::getpid()), std::string(kExtension).c_str());
    return name;
}

} // namespace

std::string JournalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/')
        return std::string(state) + "/zembra";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/state/zembra";
}

std::string NewestJournal(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return {};
    std::string newest;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name[0] != '.' && EndsWith(name, kExtension) && name > newest)
            newest = name;
    }
    ::closedir(dir);
    return newest.empty() ? std::string() : folder + "/" + newest;
}

int JournalOwner(const std::string& path) {
    if (!EndsWith(path, kExtension))
        return 0;
    const std::string_view stem = std::string_view(path).substr(0, path.size() - kExtension.size());
    const auto dash = stem.find_last_of("-/");
    if (dash == std::string_view::npos || stem[dash] != '-')
        return 0;
    int pid = 0;
    const auto digits = stem.substr(dash + 1);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    return ec == std::errc() && end == digits.data() + digits.size() && pid > 0 ? pid : 0;
}

std::optional<std::string> ReadJournal(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    std::optional<std::string> text;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestJournal) {
        text.emplace(static_cast<std::size_t>(st.st_size), '\0');
        std::size_t done = 0;
        while (done < text->size()) {
            const ssize_t n = ::read(fd, text->data() + done, text->size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        text->resize(done);
    }
    ::close(fd);
    return text;
}

std::optional<JournalFile> JournalFile::Create(const std::string& folder) {
    if (!MakePrivateFolders(folder))
        return std::nullopt;
    const std::string path = folder + "/" + NewJournalName();
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::nullopt;
    JournalFile journal(fd, path);
    // The folder's entry for the new file must last as well as its lines.
    if (!journal.Append(std::string(kJournalHeader)))
        return std::nullopt;
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return journal;
}

std::optional<JournalFile> JournalFile::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return JournalFile(fd, path);
}

JournalFile::JournalFile(JournalFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

JournalFile& JournalFile::operator=(JournalFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::fdatasync(fd_);
            ::close(fd_);
        }
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

JournalFile::~JournalFile() {
    if (fd_ >= 0) {
        ::fdatasync(fd_);
        ::close(fd_);
    }
}

bool JournalFile::Append(const std::string& line, bool durable) {
    // One write per line: a kill leaves whole lines and at most one cut-off last line.
    const std::string text = line + "\n";
    return WriteWhole(fd_, text.data(), text.size()) && (!durable || ::fdatasync(fd_) == 0);
}

} // namespace zembra
