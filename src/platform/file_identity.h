#pragma once
// What stat says about a file: a file rewritten, replaced or swapped for another
// gets another identity, while a rename or a hard link keeps it.

#include <cstdint>
#include <optional>
#include <string>

namespace zembra {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the ordinary file at `path`, a symlink followed unless
// `follow` is false; nullopt for anything else or nothing.
std::optional<FileIdentity> IdentifyFile(const std::string& path, bool follow = true);

} // namespace zembra
