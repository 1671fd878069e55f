#include "main/listed_paths.h"

namespace zembra {

ListedPaths::ListedPaths(ListControl& list) : list_(list) {
    token_ = list_.subscribe([this](Control&) { fresh_ = false; });
}

ListedPaths::~ListedPaths() {
    list_.unsubscribe(token_);
}

bool ListedPaths::Contains(const std::string& path) {
    if (!fresh_) {
        paths_ = {list_.Items().begin(), list_.Items().end()};
        fresh_ = true;
    }
    return paths_.contains(path);
}

void ListedPaths::Append(const std::string& path) {
    const bool fresh = fresh_;
    list_.AddItem(path);
    if (fresh) {
        paths_.insert(path);
        fresh_ = true;
    }
}

bool FillPacer::Due() {
    // The clock is read only now and then; adding one entry takes microseconds.
    if (++calls_ % 128 != 0)
        return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(100))
        return false;
    last_ = now;
    return true;
}

} // namespace zembra
