#pragma once
// Long picture lists: the listed paths as a hash set, so that the duplicate test
// stays quick with tens of thousands of pictures, and the pace of repaints while
// such a list fills.

#include "platform/controls.h"

#include <chrono>
#include <string>
#include <unordered_set>

namespace zembra {

class ListedPaths {
  public:
    explicit ListedPaths(ListControl& list);
    ~ListedPaths();
    ListedPaths(const ListedPaths&) = delete;
    ListedPaths& operator=(const ListedPaths&) = delete;

    bool Contains(const std::string& path);
    // Appends the path to the list and keeps the set in step. Any other change of
    // the list is noticed, and the set is built again when next asked.
    void Append(const std::string& path);

  private:
    ListControl& list_;
    std::unordered_set<std::string> paths_;
    bool fresh_ = false;
    int token_ = 0;
};

// Paces the repaints of a long fill: Due() is true a few times a second, so the
// list and its count show the fill coming in without slowing it down.
class FillPacer {
  public:
    bool Due();

  private:
    unsigned calls_ = 0;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

} // namespace zembra
