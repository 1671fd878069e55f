// zembra-batch's job from options to printed report and exit status.
#include "cli/batch_job.h"
#include "cli/batch_services.h"
#include "exif/sample_manifest.h"
#include "imaging/codec.h"
#include "imaging/gdiplus.h"
#include "platform/files.h"
#include "platform/stop_request.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cstdlib>

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace zembra {
namespace {

using testing::TempDir;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome RunJob(std::vector<std::string> args) {
    const ParsedArgs parsed = ParseBatchArgs(args);
    EXPECT_TRUE(parsed.options) << parsed.error;
    std::ostringstream out, err;
    const int status = RunBatch(*parsed.options, out, err);
    return {status, out.str(), err.str()};
}

std::string Text(const std::string& path) {
    const auto bytes = Files::Local().ReadAll(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
}

// --settings starts from the window's settings file and writes it as the run
// starts, making the folders a fresh account lacks; without it the file is left
// alone. A config.txt kept as a link into a dotfiles folder stays a link, and
// what it holds (the action included) starts the next run.
TEST(BatchJob, SettingsFileOnlyWhenAskedMadeWhereMissingAndKeptALink) {
    TempDir home, pictures;
    const std::string config = home / "missing/config", file = config + "/KVD/config.txt";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(RunJob({"--action", "2", "--name", "N", pictures.Write("a.jpg")}).status,
              kAllProcessed);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(
        RunJob({"--settings", "--action", "2", "--name", "N", pictures.Write("b.jpg")}).status,
        kAllProcessed);
    const std::string text = Text(file);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 20) << text;
    EXPECT_NE(text.find("\r\nlastselection=2\r\n"), std::string::npos) << text;

    std::filesystem::create_directory(home / "dots");
    home.Write("dots/config.txt", "showdate=0\r\nexif=0\r\ntime=1\r\nlastselection=2\r\n");
    std::filesystem::remove(file);
    std::filesystem::create_symlink(home / "dots/config.txt", file);
    const Outcome r = RunJob({"--settings", "--name", "M", pictures.Write("c.jpg")});
    EXPECT_EQ(r.status, kAllProcessed) << r.err;
    EXPECT_TRUE(std::filesystem::exists(pictures / "M-001.jpg")); // action 2 again
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    // The restored "time=1" and the flags both reach the file.
    const std::string linked = Text(home / "dots/config.txt");
    EXPECT_NE(linked.find("\r\ntime=1\r\nlastselection=2\r\n"), std::string::npos) << linked;
    EXPECT_NE(linked.find("\r\nexif=0\r\n"), std::string::npos);
    EXPECT_TRUE(linked.ends_with("firstrun=1\r\nVER=1\r\n"));
    ::unsetenv("XDG_CONFIG_HOME");
}

// Relative paths are listed in full, the same picture named twice is listed once,
// and a picture that is gone is skipped with status 1.
TEST(BatchJob, RelativeRepeatedAndMissingPictures) {
    TempDir dir;
    dir.Write("a.jpg");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const Outcome r = RunJob({"--action", "2", "--name", "Copy", "./a.jpg", "a.jpg", "gone.jpg"});
    std::filesystem::current_path(previous);
    EXPECT_EQ(r.status, kSomeSkipped);
    EXPECT_EQ(
        r.out,
        "a.jpg --- finished\ngone.jpg --- skipped (not found)\n1 of 2 processed - 1 skipped\n");
    EXPECT_EQ(dir.Listing(), "Copy-001.jpg a.jpg");
}

TEST(BatchJob, RefusedRunsGiveStatusTwoAndTheMessage) {
    TempDir dir;
    const std::string a = dir.Write("a.jpg");
    Outcome r = RunJob({"--action", "2", a}); // no action at all: the shell test
    EXPECT_EQ(r.err, "Please enter name for pictures\n");
    r = RunJob({"--action", "2", "--name", "a:b", a});
    EXPECT_EQ(r.status, kRefused);
    EXPECT_EQ(r.err,
              "Following characters are not allowed: \n\\ / : * ? \" < > |\nPlease re-enter\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.Listing(), "a.jpg");
}

// The slider already stands at 0, so asking for 0 must still prepare its wash.
TEST(BatchJob, DrawsTheWatermarkWithItsTransparency) {
    TempDir dir;
    auto logo = Surface::Create(10, 6, 0xFFFFFFFFu);
    for (int x = 3; x < 7; ++x)
        logo->Row(2)[std::size_t(x)] = 0xFF000000u;
    ASSERT_TRUE(Files::Local().WriteAll(dir / "logo.png", EncodePng(*logo, {}).value()));
    const auto picture = Surface::Create(40, 30, 0xFFFFFFFFu);
    ASSERT_TRUE(Files::Local().WriteAll(dir / "a.png", EncodePng(*picture, {}).value()));
    Outcome r = RunJob({"--action", "4", "--watermark", dir / "logo.png", "--align", "center",
                        "--transparency", "0", dir / "a.png"});
    EXPECT_EQ(r.status, kAllProcessed) << r.err;
    const PictureRef out = cGdiPlus().FilenameToIPicture(dir / "(R)a.png");
    ASSERT_TRUE(out);
    EXPECT_EQ(ColorFromPixel(out->At(18, 14)), RGB(200, 200, 200)); // black washed by 200/255
    EXPECT_EQ(ColorFromPixel(out->At(17, 14)), RGB(255, 255, 255));

    r = RunJob({"--action", "4", "--watermark", dir / "none.png", dir / "a.png"});
    EXPECT_EQ(r.status, kRefused);
    EXPECT_EQ(r.err, "zembra-batch: cannot read the watermark " + dir / "none.png" + "\n");
}

TEST(BatchJob, NonAsciiNamesKeepWorking) {
    TempDir dir;
    const Outcome r = RunJob({"--action", "1", "--name", "Fête à Zürich",
                              dir.Write("été-à-la-plage-de-Saint-Tropez.jpg")});
    EXPECT_EQ(r.status, kAllProcessed);
    EXPECT_EQ(r.out, "...e-de-Saint-Tropez.jpg --- finished\n1 of 1 processed - 0 skipped\n");
    EXPECT_EQ(dir.Listing(), "Fête à Zürich-001.jpg");
}

// A stream that asks the run to stop once a whole line has reached it, as Ctrl-C
// would just after the first picture ended.
class StopAfterFirstLine : public std::stringbuf {
    int sync() override {
        if (str().find('\n') != std::string::npos)
            RequestStop(StopLevel::AfterPicture);
        return 0;
    }
};

// A stop after the first picture: the second is not begun, not even by the
// workers ahead of the run, and nothing they made is left behind.
TEST(BatchJob, StopEndsTheRunAfterThePictureInHand) {
    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        TempDir dir;
        std::filesystem::copy_file(std::string(ZEMBRA_SAMPLES_DIR) + "/harbour.jpg", dir / "a.jpg");
        std::filesystem::copy_file(std::string(ZEMBRA_SAMPLES_DIR) + "/meadow.jpg", dir / "b.jpg");
        std::filesystem::copy_file(std::string(ZEMBRA_SAMPLES_DIR) + "/meadow.jpg", dir / "c.jpg");
        const ParsedArgs parsed = ParseBatchArgs({"--jobs", jobs, "--action", "4", "--exif",
                                                  dir / "a.jpg", dir / "b.jpg", dir / "c.jpg"});
        StopAfterFirstLine lines;
        std::ostream out(&lines);
        std::ostringstream err;
        const int status = RunBatch(*parsed.options, out, err);
        ClearStopRequest();
        EXPECT_EQ(status, 130);
        EXPECT_EQ(lines.str(), "a.jpg --- finished\n1 of 3 processed - 0 skipped\n");
        EXPECT_EQ(err.str(), "zembra-batch: stopped; 2 pictures were not processed\n");
        EXPECT_EQ(dir.Listing(), "(R)a.jpg a.jpg b.jpg c.jpg");
    }
}

// Real camera dates whose time is cut short by their count or is no time at all.
TEST(BatchJob, TimeStampsOfOddCameras) {
    const std::string samples = testing::SamplesDir();
    if (samples.empty())
        GTEST_SKIP() << "shared exif-samples not found";
    const struct {
        const char* file;
        const char* name;
    } cases[] = {
        {"mei__jpg__Kodak_ProBack.jpg", "20040313 H-123304.jpg"}, // count 19, no NUL
        {"es__jpg__Kodak_CX7530.jpg", "20050813 H-094723.jpg"},   // count 19, no NUL
        {"mei__jpg__FujiFilm_DX-5.jpg", "H-001.jpg"},             // blank-filled date
        {"mei__jpg__FujiFilm_SP-2500.jpg", "H-001.jpg"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        std::filesystem::copy_file(samples + "/files/" + c.file, dir / c.file);
        const Outcome r =
            RunJob({"--action", "2", "--name", "H", "--date", "1", "--time", dir / c.file});
        EXPECT_EQ(r.status, kAllProcessed) << c.file;
        EXPECT_TRUE(std::filesystem::exists(dir / c.name)) << c.file << " -> " << dir.Listing();
    }
}

} // namespace
} // namespace zembra
