#pragma once
// clsEXIF: reads the EXIF block of a JPEG into display records, and carries the
// EXIF block of one JPEG into another. The batch run only uses RemoveEXIFHeader
// and CopyEXIFHeader; the reading and writing members serve tools and tests.
//
// Failures are thrown as ExifError (number, source, description).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "exif/exif_error.h"
#include "exif/tag_table.h"
#include "platform/files.h"
#include "platform/ini.h"

namespace zembra {

class ByteReader;

// One directory entry as read, with its display text.
struct TagInfo {
    std::int32_t Id = 0;
    std::string Name;
    std::int32_t DataType = 0;
    std::int32_t Count = 0;
    double Value = 0;    // the 4-byte value-or-offset field; numerator / denominator for rationals
    double RawValue = 0; // Value as first read
    std::string StringData; // display text
    std::string RawBytes;   // the value bytes, one char per byte, Count x type size of them
};

// The folder of the program's data files (exif.ini, help page, logo frames):
// <prefix>/share/zembra when installed, else the executable's folder.
std::string ProgramDataFolder();

class clsEXIF {
  public:
    static constexpr std::size_t kReadLimit = 4096; // ReadEXIF looks at this much of a file

    // Status of the last ReadEXIF.
    static constexpr std::int16_t kStatusRead = 0;
    static constexpr std::int16_t kStatusNotExif = 1;
    static constexpr std::int16_t kStatusParseFailed = 2;

    // exif.ini is looked for in `programFolder`.
    explicit clsEXIF(Files& files = Files::Local(),
                     const std::string& programFolder = ProgramDataFolder());

    // --- Reading ----------------------------------------------------------------

    // Setting the path reads it; the result of ReadEXIF becomes the status.
    void ImageFile(const std::string& path);
    const std::string& ImageFile() const { return imageFile_; }
    bool IntelByteAlignment() const { return intel_; }
    std::int16_t Status() const { return status_; }
    const std::string& IniPath() const { return iniPath_; }

    // 0 when a block was read, 1 when the first 4096 bytes hold no "Exif\0".
    // Throws error 2 for a missing or empty file and error 11 (status 2) when the
    // block is damaged; records read before the damage stay.
    std::int16_t ReadEXIF(const std::string& path);
    // The same over bytes already in memory (only the first 4096 are looked at).
    std::int16_t ReadEXIFBytes(std::span<const std::uint8_t> bytes);

    // Display text of the first record with `tag` into `StringData`, and its Value
    // as a whole number. Throws error 10 or 11 when the last read did not succeed.
    std::int32_t MetaInfo(std::int32_t tag, std::string& StringData) const;
    std::string GetTagName(std::int32_t tag) const;
    // "Name: text" CR LF for every record, or the status as text.
    std::string ListInfo() const;
    // The records read, in directory order.
    std::span<const TagInfo> Records() const {
        return std::span<const TagInfo>(tagInfo_).subspan(1);
    }

    // A profile string of `file`, `defaultValue` when it is absent or empty.
    std::string ReadIniValue(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& defaultValue) const;

    // An n-byte (1..8) number at pos; nullopt when the bytes are not all there.
    static std::optional<std::uint64_t> BytesToNumber(std::span<const std::uint8_t> block,
                                                      std::size_t pos, std::size_t n, bool intel);
    static std::optional<std::int64_t> BytesToSignedNumber(std::span<const std::uint8_t> block,
                                                           std::size_t pos, std::size_t n,
                                                           bool intel);

    // --- Header copy and removal -------------------------------------------------

    // Removes the first APP1 segment of a JPEG in place; a file without one is
    // left untouched. Throws when the file is missing or empty, the segment runs
    // past the end, or the new file cannot be written (the old one then stays).
    void RemoveEXIFHeader(const std::string& strFileName);
    // Inserts the first APP1 segment of strSrcFile after the SOI of strDestFile.
    // Throws only for a missing or empty source; every later failure leaves the
    // destination as it was and returns quietly.
    void CopyEXIFHeader(const std::string& strSrcFile, const std::string& strDestFile);

    // --- Writing -----------------------------------------------------------------

    // `value` in intLength bytes, least significant first when m_Intel.
    static std::string StringFromBVal(std::int64_t value, bool m_Intel, int intLength);
    // Sets (or appends) the Artist record (315, ASCII) to strAuthor.
    void SetArtist(const std::string& strAuthor);
    // Writes the records as a big-endian EXIF APP1 segment after the SOI of
    // strDestFile, in place of an EXIF APP1 the file already had first.
    void WriteEXIF(const std::string& strDestFile);
    // Reads strFileName, sets its Artist and writes the result to a copy whose
    // name has "new" before the ".jpg" extension.
    void SetNewAuthor(const std::string& strFileName, const std::string& strNewAuthor);

    // The APP1 segment WriteEXIF would write for the current records.
    Bytes BuildExifSegment() const;

  private:
    std::uint32_t ParseIFD(const ByteReader& block, std::uint64_t tiffStart,
                           std::uint64_t directory, std::uint32_t lookedFor);
    void FormatTagValue(const ByteReader& block, TagInfo& record, std::uint64_t tiffStart,
                        std::uint64_t entryPos) const;
    void AdoptMotorolaOrder();

    Files* files_;
    std::string iniPath_;
    std::optional<IniFile> ini_; // exif.ini as read by the current ReadEXIF
    std::string imageFile_;
    bool intel_ = false;
    std::int16_t status_ = kStatusRead;
    std::vector<TagInfo> tagInfo_ = std::vector<TagInfo>(1); // slot 0 holds no record
};

} // namespace zembra
