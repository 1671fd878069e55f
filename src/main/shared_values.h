#pragma once
// Values shared by the main window's handlers. Counters are 16-bit, as the
// handlers were written for; AddChecked() refuses to wrap them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zembra {

struct SharedValues {
    // Batch run counters.
    std::int16_t ProcessedCount = 0;
    std::int16_t SkippedCount = 0;
    std::int16_t PictureCount = 0;
    std::int16_t CurrentIndex = 0;

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
    std::array<std::int16_t, 10000> NameCounters{};
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

// counter + 1, or a PlatformError (overflow) when it would leave 16 bits.
void AddOne(std::int16_t& counter);

} // namespace zembra
