#include "support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace zembra::testing {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zembra-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

namespace {
// Originals the tests' runs replace go to a Trash of this test program's own,
// never to the Trash of the user who runs it.
[[maybe_unused]] const bool kOwnTrash = [] {
    static const TempDir home;
    return ::setenv("XDG_DATA_HOME", home.Path().c_str(), 1) == 0;
}();
} // namespace

TempDir::~TempDir() {
    std::error_code ec;
    // A test may have made the folder read-only; give write access back first.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
    const std::string path = *this / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string TempDir::Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& name : names)
        out += (out.empty() ? "" : " ") + name;
    return out;
}

std::string SharedDir() {
    const std::string dir = ZEMBRA_SHARED_DIR;
    return fs::is_directory(dir + "/exif-samples") ? dir : std::string();
}

} // namespace zembra::testing
