// The look-ahead worker: its files are the ones the run would write itself, and
// it gives none for a source that changed, a picture it was not asked for, or a
// picture the run passed by; nothing it made is left behind.
#include "main/lookahead.h"

#include "imaging/gdiplus.h"
#include "imaging/test_pictures.h"
#include "platform/stop_request.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace zembra {
namespace {

namespace fs = std::filesystem;

// What the run writes for the picture when it does the work itself.
Bytes Plain(const LookaheadJob& job, const SizeRule& rule, const std::string& out) {
    cGdiPlus gdip;
    auto rows = gdip.FilenameToRows(job.source);
    const auto target = TargetPixels(rule, rows->Width(), rows->Height());
    EXPECT_EQ(gdip.RowsToFile(*rows, target->width, target->height, out, job.quality), -1);
    return testing::ReadFile(out);
}

bool Leftovers(const testing::TempDir& dir) {
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (entry.path().filename().string().starts_with(".~zembra"))
            return true;
    }
    return false;
}

class LookaheadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"harbour.jpg", "sunset.png", "market.gif", "meadow.jpg"})
            fs::copy_file(std::string(ZEMBRA_SAMPLES_DIR) + "/" + name, dir / name);
    }
    LookaheadJob Job(int index, const std::string& name, const std::string& ext, int quality) {
        return {index, dir / name, ext, quality};
    }
    testing::TempDir dir;
    PixelLookahead lookahead{2};
};

// One worker with a rule of each kind, then three workers over four pictures at
// once: every file is the run's own, whichever worker made it, and goes with its
// object once taken.
TEST_F(LookaheadTest, GivesTheRunsOwnBytesForEveryFormatSizeAndWorker) {
    const struct {
        SizeRule rule;
        LookaheadJob job;
    } cases[] = {
        {{true, 50}, Job(0, "harbour.jpg", ".png", 70)},
        {{false, 0, true, 333, 211}, Job(1, "sunset.png", ".jpg", 80)},
        {{false, 0, false, 1999, 7, true, false}, Job(2, "market.gif", ".bmp", 100)},
        {{true, 1}, Job(3, "meadow.jpg", ".JPG", 95)},
    };
    auto expectOwn = [&](PixelLookahead& worker, const LookaheadJob& job, const SizeRule& rule) {
        SCOPED_TRACE(job.source);
        auto file = worker.Take(job.index, job.source);
        ASSERT_TRUE(file);
        EXPECT_EQ(testing::ReadFile(file->Path()),
                  Plain(job, rule, dir / ("plain" + std::to_string(job.index) + job.extension)));
    };
    for (const auto& c : cases) {
        lookahead.Start(c.rule, {c.job});
        lookahead.Settle();
        expectOwn(lookahead, c.job, c.rule);
        lookahead.Stop();
        EXPECT_FALSE(Leftovers(dir));
    }
    PixelLookahead three{4, 3};
    const SizeRule rule{true, 40};
    std::vector<LookaheadJob> jobs;
    for (const auto& c : cases)
        jobs.push_back(c.job);
    three.Start(rule, jobs);
    three.Settle();
    for (const auto& job : jobs)
        expectOwn(three, job, rule);
    three.Stop();
    EXPECT_FALSE(Leftovers(dir));
}

TEST_F(LookaheadTest, GivesNothingForAChangedSourceOrAnotherPicture) {
    const SizeRule rule{true, 40};
    lookahead.Start(rule, {Job(0, "harbour.jpg", ".jpg", 70), Job(2, "sunset.png", ".png", 75),
                           Job(3, "market.gif", ".gif", 75), Job(5, "meadow.jpg", ".jpg", 70)});
    lookahead.Settle(); // two files made; the others wait for room
    fs::copy_file(dir / "market.gif", dir / "sunset.png", fs::copy_options::overwrite_existing);
    // Index 0 is passed by (a skipped picture): its file goes.
    EXPECT_FALSE(lookahead.Take(2, dir / "sunset.png")) << "the source was replaced";
    lookahead.Settle();
    EXPECT_FALSE(lookahead.Take(3, dir / "other.gif")) << "another picture at this place";
    auto last = lookahead.Take(5, dir / "meadow.jpg");
    EXPECT_TRUE(last);
    EXPECT_FALSE(lookahead.Take(7, dir / "harbour.jpg")) << "nothing was asked for there";
    lookahead.Stop();
    EXPECT_TRUE(last && fs::exists(last->Path()));
    last.reset();
    EXPECT_FALSE(Leftovers(dir));
}

// Once the run is asked to stop, work not begun is never begun.
TEST_F(LookaheadTest, AStopRequestBeginsNoMoreWork) {
    RequestStop(StopLevel::AfterPicture);
    lookahead.Start(SizeRule{true, 40}, {Job(0, "harbour.jpg", ".jpg", 70)});
    lookahead.Settle();
    const bool made = lookahead.Take(0, dir / "harbour.jpg").has_value();
    ClearStopRequest();
    EXPECT_FALSE(made);
    EXPECT_FALSE(Leftovers(dir));
}

} // namespace
} // namespace zembra
