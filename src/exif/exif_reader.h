#pragma once
// ExifReader: reads a picture whole, finds its EXIF block by the first FF E1
// byte pair and walks IFD0, the directories linked after it and the Exif
// sub-directory into a flat list of entries. The batch run asks it for the date
// a picture was taken:
//
//     ExifReader reader;
//     reader.Load(path);                       // may throw; callers ignore it
//     std::string date = reader.Tag(36867);    // "YYYY:MM:DD HH:MM:SS" or ""
//
// Hostile files are walked with every read bounds-checked, directories visited
// at most once, and caps on directories, entries and decoded bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "exif/exif_error.h"
#include "exif/exif_value.h"
#include "exif/segment_walk.h"
#include "platform/files.h"

namespace zembra {

class ByteReader;

struct TagEntry {
    std::int32_t TagId = 0;
    bool IsMakerNote = false; // no walk of this reader marks maker-note entries
    std::int32_t DataType = 0;
    std::int32_t Components = 0;
    std::int32_t ValueOffset = 0; // set only when the value does not fit in the entry
    ExifValue Value;
};

// Far beyond any camera's block; they only stop hostile files.
struct ExifWalkLimits {
    std::size_t maxDirectories = 64;
    std::size_t maxEntries = 16384;
    std::size_t maxValueBytes = std::size_t{1} << 20; // decoded texts, all entries together
    // Not a limit: how much of a file Load reads first, the rest only if the walk needs it.
    std::size_t headBytes = exif::kHeadBytes;
};

class ExifReader {
  public:
    explicit ExifReader(Files& files = Files::Local(), ExifWalkLimits limits = ExifWalkLimits());

    // Stores the path; nothing is read.
    void picFile(const std::string& path) { picFile_ = path; }
    const std::string& picFile() const { return picFile_; }

    // Sets the path when none is stored yet (an argument is otherwise ignored),
    // then reads the file and walks its EXIF block. Throws error 53 when the file
    // cannot be read, and error 9 when the block points outside the file (the
    // entries read until then stay available).
    void Load(const std::string& picFile = {});
    // The same walk over bytes already in memory; the stored path is not used.
    void LoadBytes(Bytes bytes);

    // The value of the first entry with this tag, Empty when there is none. With
    // no tag (or 0), the number of entries. Loads first when a path is stored
    // and nothing is loaded yet; never throws.
    ExifValue Tag(std::int32_t ExifTag = 0);
    // Entries of maker-note directories; the walk reads none, so always Empty.
    ExifValue MakerNoteTag(std::int32_t MakerTag = 0) const;

    // True when the loaded bytes start FF D8 and their first FF E1 pair (from
    // offset 2) has "Exif" right after its length field.
    bool IsExifJpeg();
    // The block's first byte is "I": little-endian ("II") order.
    bool IsIntel() const;

    bool Loaded() const { return loaded_; }
    // The entries read, up to and including a damaged one; the empty slots its
    // directory claimed after it count in Tag() but are not stored.
    const std::vector<TagEntry>& Entries() const { return entries_; }
    std::size_t App1Position() const { return app1_; }
    std::size_t TiffBase() const { return tiffBase_; }

  private:
    bool WalkHead(Bytes head);
    void Walk();
    void ReadIFDChain(std::uint64_t directory);
    void ReadEntry(const ByteReader& r, std::uint64_t pos, TagEntry& entry);
    void Spend(std::size_t bytes);

    Files* files_;
    ExifWalkLimits limits_;
    std::string picFile_;
    bool loaded_ = false;
    Bytes bytes_; // the file, then one 0 byte; or the start of a longer file
    std::size_t app1_ = 0;
    std::size_t tiffBase_ = 0;
    std::uint32_t ifd0_ = 0;
    std::uint32_t exifDirectory_ = 0;
    std::size_t valueBytes_ = 0;
    std::vector<TagEntry> entries_;
    std::size_t unreadSlots_ = 0;
};

} // namespace zembra
