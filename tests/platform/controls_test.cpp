#include "platform/controls.h"
#include "platform/form.h"
#include "platform/picture_box.h"
#include "platform/steps.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

struct Fixture : ::testing::Test {
    Form form{"F"};
    int clicks = 0;
};

TEST_F(Fixture, ValueSettersRunTheirHandlerOnceAndOnlyOnChange) {
    CheckBox box(form, "Check1");
    box.onClick = [&] { ++clicks; };
    box.setValue(1);
    box.setValue(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(box.setValue(3), PlatformError);

    TextBox text(form, "Text1");
    int changes = 0;
    text.onChange = [&] { ++changes; };
    text.setText("a");
    text.setText("a");
    EXPECT_EQ(changes, 1);
}

TEST_F(Fixture, OptionButtonsClearTheirSiblingsOnly) {
    Frame a(form, "FrameA"), b(form, "FrameB");
    OptionButton a1(form, "A1", &a), a2(form, "A2", &a), b1(form, "B1", &b);
    a1.setValue(true);
    b1.setValue(true);
    a2.onClick = [&] { ++clicks; };
    a2.setValue(true);
    EXPECT_FALSE(a1.Value());
    EXPECT_TRUE(a2.Value());
    EXPECT_TRUE(b1.Value());
    EXPECT_EQ(clicks, 1);
}

TEST_F(Fixture, ListsReadPastTheEndAsEmptyRefuseOtherIndicesAndKeepTheSelection) {
    ListBox list(form, "List1");
    list.AddItem("a");
    list.AddItem("c");
    list.AddItem("b", 1);
    EXPECT_EQ(list.List(1), "b");
    EXPECT_EQ(list.List(3), "");
    EXPECT_THROW(list.List(4), PlatformError);
    EXPECT_THROW(list.List(-1), PlatformError);
    EXPECT_THROW(list.setListIndex(3), PlatformError);

    // The selection follows inserts and removals.
    list.onClick = [&] { ++clicks; };
    list.setListIndex(1);
    list.AddItem("z", 0);
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ(list.Text(), "b");
    list.RemoveItem(0);
    EXPECT_EQ(list.ListIndex(), 1);
    list.RemoveItem(1); // the selected entry
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(clicks, 1); // only the user-visible selection change
}

TEST_F(Fixture, ButtonsIgnorePressesWhileDisabledOrHidden) {
    ImageButton button(form, "Command1");
    button.onClick = [&] { ++clicks; };
    button.setEnabled(false);
    button.Click();
    button.setEnabled(true);
    button.setVisible(false);
    button.Click();
    button.setVisible(true);
    button.Click();
    EXPECT_EQ(clicks, 1);
}

// [SECTION] Picture boxes

PictureRef Picture(int w, int h, std::vector<COLORREF> colors) {
    auto s = Surface::CreateShared(w, h);
    for (std::size_t i = 0; i < colors.size(); ++i)
        s->Pixels()[i] = PixelFromColor(colors[i]);
    return s;
}

std::vector<COLORREF> Colors(const PictureRef& p) {
    std::vector<COLORREF> out;
    for (auto px : p->Pixels())
        out.push_back(ColorFromPixel(px));
    return out;
}

constexpr COLORREF A = RGB(1, 0, 0), B = RGB(2, 0, 0), C = RGB(3, 0, 0), D = RGB(4, 0, 0),
                   E = RGB(5, 0, 0), F = RGB(6, 0, 0), K = RGB(0, 0, 0);

using Colours = std::vector<COLORREF>;

class PictureBoxTest : public ::testing::Test {
  protected:
    // A box of w x h pixels without border, showing `back`.
    void Borderless(int w, int h, COLORREF back) {
        box.setBorderStyle(PictureBox::vbBSNone);
        box.Move(0, 0, w * 15, h * 15);
        box.setBackColor(back);
    }
    Form form{"Form1"};
    PictureBox box{form, "Picture1"};
};

TEST(PictureBox, SnapsOuterSizeToWholePixelsHalvesToEven) {
    const struct {
        int border;
        double twips;
        int pixels;                                         // drawable pixels
        int outerTwips;                                     // Width after snapping
    } cases[] = {{0, 1500, 100, 1500}, {1, 1500, 96, 1500}, // 2 border pixels a side
                 {0, 1507, 100, 1500}, {0, 1508, 101, 1515}, {0, 112.5, 8, 120}, // 7.5 pixels
                 {0, 127.5, 8, 120},                                             // 8.5 pixels
                 {1, 30, 0, 30}};                                                // all border
    for (const auto& c : cases) {
        Form form("Form1");
        PictureBox box(form, "Picture2");
        box.setBorderStyle(c.border);
        box.setWidth(c.twips);
        EXPECT_EQ(box.Width(), c.outerTwips) << c.twips;
        EXPECT_EQ(box.PixelWidth(), c.pixels) << c.twips;
        box.setScaleMode(PictureBox::vbPixels);
        EXPECT_EQ(box.ScaleWidth(), c.pixels) << c.twips;
        box.setScaleMode(PictureBox::vbTwips);
        EXPECT_EQ(box.ScaleWidth(), c.pixels * 15) << c.twips;
    }
    // 143,165,577 pixels no longer fit in twips: an overflow, and the size stays.
    Form form("Form1");
    PictureBox box(form, "Picture2");
    box.setWidth(1500);
    EXPECT_THROW(box.setWidth(143165577.0 * 15), PlatformError);
    EXPECT_THROW(box.setHeight(3e10), PlatformError);
    EXPECT_EQ(box.Width(), 1500);
}

TEST_F(PictureBoxTest, PictureSitsTopLeftAndDrawingCopiesAnImageSomeoneHolds) {
    const COLORREF Z = RGB(9, 9, 9);
    Borderless(3, 2, Z);
    box.setPicture(Picture(2, 1, {A, B}));
    const PictureRef before = box.Image();
    EXPECT_EQ(Colors(before), (Colours{A, B, Z, Z, Z, Z}));
    EXPECT_EQ(GetPixel(box.hDC(), 3, 0), CLR_INVALID);
    ASSERT_TRUE(FillSolid(box.hDC(), 1, 0, 1, 1, C));
    EXPECT_EQ(Colors(before), (Colours{A, B, Z, Z, Z, Z}));
    EXPECT_EQ(Colors(box.Image()), (Colours{A, C, Z, Z, Z, Z}));
}

TEST_F(PictureBoxTest, PaintPictureStretchesInTheScaleModeAndReadsOldPixels) {
    Borderless(3, 1, K);
    box.setScaleMode(PictureBox::vbPixels);
    box.setPicture(Picture(3, 1, {A, B, C}));
    // Painting its own image, which is the picture itself, reads the old pixels.
    box.PaintPicture(box.Image(), 1, 0, 2, 1, 0, 0, 2, 1);
    EXPECT_EQ(Colors(box.Image()), (Colours{A, A, B}));
    EXPECT_EQ(Colors(box.Picture()), (Colours{A, B, C}));
    const auto source = Picture(4, 2, {A, B, C, D, E, F, A, B});
    box.PaintPicture(source, 0, 0, 1, 1, 2, 0, 1, 1); // only the source pixel (2, 0)
    EXPECT_EQ(Colors(box.Image()), (Colours{C, A, B}));
    // Twips: x 15 is pixel 1, and 30 twips wide is 2 pixels; a 4 x 2 source of one
    // colour halves onto exactly those two (filtering keeps a flat colour).
    box.setScaleMode(PictureBox::vbTwips);
    const COLORREF G = RGB(90, 120, 200);
    box.PaintPicture(Picture(4, 2, {G, G, G, G, G, G, G, G}), 15, 0, 30, 15);
    EXPECT_EQ(Colors(box.Image()), (Colours{C, G, G}));
    EXPECT_THROW(box.PaintPicture(nullptr, 0, 0), PlatformError);
}

// A painting over the whole box gives it the painting's profile; a logo over a
// part keeps the box's own. That no profile passes from one picture to the next
// in a run is the watermark's test.
TEST_F(PictureBoxTest, OnlyAPaintingOverTheWholeBoxTakesItsProfile) {
    auto profiled = Surface::CreateShared(4, 6);
    profiled->SetProfile(std::make_shared<const std::vector<std::uint8_t>>(3, 0x42));
    Borderless(2, 3, K);
    box.PaintPicture(profiled, 0, 0, 15, 15);
    EXPECT_FALSE(box.Image()->Profile());
    box.PaintPicture(profiled, 0, 0, box.ScaleWidth(), box.ScaleHeight());
    EXPECT_EQ(box.Image()->Profile(), profiled->Profile());
}

} // namespace
} // namespace zembra
