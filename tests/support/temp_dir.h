#pragma once
// A fresh folder under the system's temporary folder, removed with its contents
// when the test ends.

#include <string>

namespace zembra::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Full path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Writes a small file with the given content.
    std::string Write(const std::string& name, const std::string& content = "x") const;
    // Names of the files in the folder, sorted.
    std::string Listing() const;

  private:
    std::string path_;
};

// The folder of shared sample pictures, or empty when it is not beside the checkout.
std::string SharedDir();

} // namespace zembra::testing
