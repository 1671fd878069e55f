#include "form_fixture.h"
#include "main/preview_fit.h"

#include <filesystem>
#include <utility>

namespace zembra::testing {
namespace {

struct FitCase {
    double width, height;
    PreviewPlace place;
};

class PreviewFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(PreviewFit, KeepsTheShapeInsideTheSquare) {
    const PreviewPlace p = FitPreview(GetParam().width, GetParam().height);
    EXPECT_DOUBLE_EQ(p.left, GetParam().place.left);
    EXPECT_DOUBLE_EQ(p.top, GetParam().place.top);
    EXPECT_DOUBLE_EQ(p.width, GetParam().place.width);
    EXPECT_DOUBLE_EQ(p.height, GetParam().place.height);
}

INSTANTIATE_TEST_SUITE_P(Shapes, PreviewFit,
                         ::testing::Values(FitCase{1600, 1200, {600, 572.5, 2300, 1725}},
                                           FitCase{1200, 1600, {887.5, 285, 1725, 2300}},
                                           FitCase{700, 700, {600, 285, 2300, 2300}}));

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
};

TEST_F(Preview, FitsTheSelectedPictureAndMovesWithPrevAndNext) {
    EXPECT_EQ(form.List2.ListIndex(), 0);
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

// With "Add Watermark Image" ticked and a watermark chosen, the preview is the
// picture as the run will draw it; "[Browse]" alone shows the plain picture.
TEST_F(Preview, ShowsTheWatermarkedPictureOnceAWatermarkIsChosen) {
    form.Check6.setValue(1);
    form.List2.setListIndex(1);
    ASSERT_TRUE(form.Image1.Picture());
    EXPECT_EQ(form.Image1.Picture()->Height(), 306); // the plain, reduced picture
    form.shared.WatermarkFile = std::string(ZEMBRA_SAMPLES_DIR) + "/sunset.png";
    form.Label28.setCaption("sunset.png");
    form.settrans();
    form.List2.setListIndex(0);
    ASSERT_TRUE(form.Image1.Picture());
    EXPECT_EQ(form.Image1.Picture()->Width(), form.Picture4.PixelWidth());
    EXPECT_EQ(form.Image1.Picture()->Width(), 320); // drawn at the picture's own size
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

// Pictures the run previews, as the window would show them.
std::vector<PictureRef> PreviewsDuringRun(Form1& form, bool previewWhileProcessing) {
    std::vector<PictureRef> shown;
    form.Image1.subscribe([&](Control&) {
        if (form.Label3.Visible() && form.Image1.Visible() && form.Image1.Picture() &&
            (shown.empty() || shown.back() != form.Image1.Picture()))
            shown.push_back(form.Image1.Picture());
    });
    form.Check5.setValue(previewWhileProcessing ? 1 : 0);
    form.Combo2.setListIndex(1);
    form.Text1.setText("Run");
    form.Command1_Click();
    return shown;
}

TEST_F(Preview, FollowsTheRunOnlyWhenAskedTo) {
    EXPECT_TRUE(PreviewsDuringRun(form, false).empty());
    EXPECT_FALSE(form.Image1.Visible());
    // The run renamed the pictures; list them again and let the preview follow.
    for (const std::string& name : Split(dir.Listing(), " "))
        Add(dir / name);
    ASSERT_EQ(form.List2.ListCount(), 3);
    EXPECT_EQ(PreviewsDuringRun(form, true).size(), 3u);
}

TEST_F(Preview, LogoPlaysItsFramesTwiceThenStops) {
    form.ProgramFolder = std::string(ZEMBRA_SAMPLES_DIR) + "/..";
    EXPECT_TRUE(form.Timer1.Enabled());
    EXPECT_EQ(form.Timer1.Interval(), 100);
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
