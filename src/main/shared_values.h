#pragma once
// Values shared by the main window's handlers. The run's counters and the
// naming's running numbers are 32-bit, so lists of any size a user can gather
// count right; AddOne() refuses to wrap a counter.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zembra {

// The naming's running numbers, one per date met in a run (or slot 1 without
// dates). The table is bounded: a date past its end gets a clear refusal, which
// skips that picture, instead of growing without limit.
class NameCounterTable {
  public:
    static constexpr std::size_t kSize = 10000;
    std::int32_t& at(std::size_t slot);
    void fill(std::int32_t value) { counters_.fill(value); }

  private:
    std::array<std::int32_t, kSize> counters_{};
};

struct SharedValues {
    // Batch run counters.
    std::int32_t ProcessedCount = 0;
    std::int32_t SkippedCount = 0;
    std::int32_t PictureCount = 0;
    std::int32_t CurrentIndex = 0;

    // Conversion decision for the picture being processed.
    std::int16_t SourceIsJpeg = 0;
    std::int16_t ConversionPending = 0;
    std::string TargetExtension;
    std::string SourceExtension;

    // The EXIF block (first APP1 segment) of a JPEG source, held in memory while
    // its outputs are written: nullopt when none is held, empty when the source
    // has none. ExifDamaged: the source's block cannot be copied whole.
    std::optional<std::vector<std::uint8_t>> ExifBlock;
    bool ExifDamaged = false;

    std::int16_t SizePresetBusy = 0;

    // Naming state; lives for the whole program run.
    std::string LastBaseName;
    NameCounterTable NameCounters;
    std::string CopyOutputName;
    std::string OriginalOutputName;

    // The folder import dialog's last drive and folder, as folder.txt restores them.
    std::string LastDrive;
    std::string LastFolder;

    std::string WatermarkFile;
    std::string AppDataFolder;
    std::int16_t LogoTick = 0;
    std::int16_t LogoCycle = 0;
    std::int16_t UpdateOnStartup = 0;
    // The version the maker publishes (2.4.1 as 241); 0 until a version file is read.
    std::int16_t PublishedVersion = 0;
};

// counter + 1, or a PlatformError (overflow) when it would leave its type.
void AddOne(std::int16_t& counter);
void AddOne(std::int32_t& counter);

} // namespace zembra
