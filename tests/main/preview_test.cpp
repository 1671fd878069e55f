#include "form_fixture.h"

#include <filesystem>
#include <utility>

namespace zembra::testing {
namespace {

// Sample pictures copied into the temporary folder: 320x240, 240x320 and 160x120.
class Preview : public FormTest {
  protected:
    std::vector<std::string> opened;
    void SetUp() override {
        services.display = true;
        FormTest::SetUp();
        form.OpenWithDesktop = [this](const std::string& path) { opened.push_back(path); };
        for (const char* name : {"harbour.jpg", "meadow.jpg", "market.gif"}) {
            std::filesystem::copy_file(std::string(ZEMBRA_SAMPLES_DIR) + "/" + name, dir / name);
            Add(dir / name);
        }
    }
    // Pictures the run previews, as the window would show them.
    std::vector<PictureRef> PreviewsDuringRun(bool previewWhileProcessing) {
        std::vector<PictureRef> shown;
        const int token = form.Image1.subscribe([&](Control&) {
            if (form.Label3.Visible() && form.Image1.Visible() && form.Image1.Picture() &&
                (shown.empty() || shown.back() != form.Image1.Picture()))
                shown.push_back(form.Image1.Picture());
        });
        form.Check5.setValue(previewWhileProcessing ? 1 : 0);
        Run(1, "Run");
        form.Image1.unsubscribe(token);
        return shown;
    }
};

TEST_F(Preview, FitsTheSelectedPictureAndMovesWithPrevAndNext) {
    // 320x240: 2300 x 1725 twips at top 572.5, on a whole twip.
    EXPECT_EQ(form.Image1.Top(), 572);
    EXPECT_EQ(form.Image1.Left(), 600);
    EXPECT_EQ(form.Image1.Width(), 2300);
    EXPECT_EQ(form.Image1.Height(), 1725);
    ASSERT_TRUE(form.Image1.Picture());
    EXPECT_EQ(form.Image1.Picture()->Width(), 306); // decoded no larger than shown

    form.Command4.Click(); // "prev" on the first wraps to the last
    EXPECT_EQ(form.List2.ListIndex(), 2);
    EXPECT_TRUE(form.Command6.HasFocus());
    form.Command5.Click(); // "next" on the last wraps to the first
    form.Command5.Click();
    EXPECT_EQ(form.List2.ListIndex(), 1);
    // 240x320: 1725 x 2300 at left 887.5.
    EXPECT_EQ(form.Image1.Left(), 888);
    EXPECT_EQ(form.Image1.Top(), 285);

    fire(form.Image1.onDblClick);
    EXPECT_EQ(opened, std::vector<std::string>{dir / "meadow.jpg"});
    form.Command8.Click();
    fire(form.Image1.onDblClick); // an empty preview opens nothing
    EXPECT_EQ(opened.size(), 1u);
}

// A selection made while the preview lets the window repaint wins over the one
// that was being drawn.
TEST_F(Preview, TheLatestSelectionIsTheOneShown) {
    bool once = true;
    services.onDoEvents = [&] {
        if (std::exchange(once, false))
            form.List2.setListIndex(1); // meadow.jpg, upright
    };
    form.List2.setListIndex(2); // market.gif, landscape
    EXPECT_EQ(form.List2.ListIndex(), 1);
    EXPECT_EQ(form.Image1.Left(), 888);
    EXPECT_EQ(form.Image1.Height(), 2300);
}

TEST_F(Preview, FollowsTheRunOnlyWhenAskedTo) {
    EXPECT_TRUE(PreviewsDuringRun(false).empty());
    EXPECT_FALSE(form.Image1.Visible());
    // The run renamed the pictures; list them again and let the preview follow.
    for (const std::string& name : Split(dir.Listing(), " "))
        Add(dir / name);
    ASSERT_EQ(form.List2.ListCount(), 3);
    EXPECT_EQ(PreviewsDuringRun(true).size(), 3u);
}

TEST_F(Preview, LogoPlaysItsFramesTwiceThenStops) {
    form.ProgramFolder = std::string(ZEMBRA_SAMPLES_DIR) + "/..";
    EXPECT_TRUE(form.Timer1.Enabled());
    for (int tick = 1; tick <= 9; ++tick)
        form.Timer1.Tick();
    EXPECT_FALSE(form.Picture3.Picture()); // waiting a second
    form.Timer1.Tick();
    const PictureRef first = form.Picture3.Picture();
    ASSERT_TRUE(first);
    for (int tick = 11; tick <= 17; ++tick)
        form.Timer1.Tick();
    EXPECT_EQ(form.shared.LogoCycle, 2);
    EXPECT_TRUE(form.Timer1.Enabled());
    EXPECT_NE(form.Picture3.Picture(), first);
    form.Timer1.Tick();
    EXPECT_FALSE(form.Timer1.Enabled());
}

} // namespace
} // namespace zembra::testing
