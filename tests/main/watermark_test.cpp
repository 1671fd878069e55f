// The watermark on the main window: placement, wash, the panel and the run, on
// small pictures made here whose pixels can be checked exactly.
#include "imaging/codec.h"
#include "imaging/gdiplus.h"
#include "imaging/test_pictures.h"
#include "main/form1.h"
#include "support/scripted_services.h"
#include "support/temp_dir.h"
#include "watermark/watermark_controls.h"

#include <gtest/gtest.h>

namespace zembra::testing {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kYellow = 0xFFFFFF00u;

// The panel's previews are only drawn for hosts that show them.
struct DisplayServices : ScriptedServices {
    bool HasDisplay() const override { return true; }
};

Surface Solid(int w, int h, std::uint32_t pixel) {
    return std::move(*Surface::Create(w, h, pixel));
}

// Several colours, no two neighbours alike.
Surface Scene(int w, int h) {
    auto s = Surface::Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s->Row(y)[std::size_t(x)] = 0xFF000000u | std::uint32_t((x * 5) % 256) << 16 |
                                        std::uint32_t((y * 7) % 256) << 8 |
                                        std::uint32_t((x + 2 * y) % 256);
    return std::move(*s);
}

// 100x50 white with a black 40x20 rectangle in the middle.
Surface Logo() {
    Surface s = Solid(100, 50, kWhite);
    for (int y = 15; y < 35; ++y)
        for (int x = 30; x < 70; ++x)
            s.Row(y)[std::size_t(x)] = kBlack;
    return s;
}

bool InLogoRect(int x, int y) {
    return x >= 30 && x < 70 && y >= 15 && y < 35;
}

int Blue(std::uint32_t pixel) {
    return int(pixel & 0xFF);
}

class Watermark : public ::testing::Test {
  protected:
    DisplayServices services;
    Form1 form{services};
    TempDir dir;

    void SetUp() override { form.Form_Load(); }

    std::string Png(const std::string& name, const Surface& s) {
        EXPECT_TRUE(Files::Local().WriteAll(dir / name, EncodePng(s, {}).value()));
        return dir / name;
    }
    void List(const std::string& path) {
        form.Command8_Click();
        services.dialogAnswers.push_back(path);
        form.Command7.Click();
    }
    void Choose(const std::string& path) {
        services.dialogAnswers.push_back(path);
        form.Command14_Click();
    }
    // Lists a picture and chooses a watermark with "Add Watermark Image" ticked.
    void Prepare(const Surface& picture, const Surface& logo) {
        List(Png("picture.png", picture));
        form.Check6.setValue(1);
        Choose(Png("logo.png", logo));
    }
    PictureRef Shown() {
        EXPECT_EQ(form.Image1.Picture(), form.Picture4.Image()) << "the preview lags";
        return form.Picture4.Image();
    }
};

TEST_F(Watermark, CentredLogoIsWashedAndCombinedByAndInTheSavedPicture) {
    const Surface scene = Scene(400, 300);
    Prepare(scene, Logo());
    form.Combo5.setListIndex(kAlignCenter);
    form.HScroll1.setValue(1);
    form.Combo2.setListIndex(4);
    form.Command1_Click();

    const PictureRef out = cGdiPlus().FilenameToIPicture(dir / "(R)picture.png");
    ASSERT_TRUE(out);
    Surface want = scene;
    for (int y = 125; y < 175; ++y)
        for (int x = 150; x < 250; ++x)
            if (InLogoRect(x - 150, y - 125)) // black washed to grey 135, under AND
                want.Row(y)[std::size_t(x)] &= 0xFF878787u;
    EXPECT_TRUE(SamePixels(*out, want));
    EXPECT_TRUE(services.messages.empty());
}

// A yellow logo (a light key) clears the blue of a white picture where it lands.
TEST_F(Watermark, LandsByAlignmentAndStretch) {
    struct Case {
        int alignment;
        bool stretch;
        int W, H;
        int x0, y0, x1, y1; // the covered area, clipped to the picture
    };
    const Case cases[] = {
        {kAlignTop, false, 400, 300, 150, 0, 250, 50},
        {kAlignCenter, false, 400, 300, 150, 125, 250, 175},
        {kAlignBottom, false, 400, 300, 150, 250, 250, 300},
        {kAlignCenter, true, 400, 300, 0, 50, 400, 250},
        {kAlignCenter, true, 50, 40, 0, 8, 50, 33},  // shrunk to 50x25, 7.5 to 8
        {kAlignBottom, false, 60, 30, 0, 0, 60, 30}, // larger than the picture
    };
    Prepare(Solid(400, 300, kWhite), Solid(100, 50, kYellow));
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.alignment << (c.stretch ? " stretched " : " ") << c.W << "x" << c.H);
        List(Png("picture.png", Solid(c.W, c.H, kWhite)));
        form.Combo5.setListIndex(c.alignment);
        form.Check7.setValue(c.stretch ? 1 : 0);
        form.Check7_Click(); // shows the result even when the value stayed
        const PictureRef p = Shown();
        ASSERT_EQ(p->Width(), c.W);
        ASSERT_EQ(p->Height(), c.H);
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x) {
                const bool inside = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
                ASSERT_EQ(p->At(x, y), inside ? kYellow : kWhite) << x << "," << y;
            }
    }
}

TEST_F(Watermark, CornerToCornerFollowsTheRisingDiagonalSmoothly) {
    Prepare(Solid(400, 300, kWhite), Solid(100, 50, kYellow));
    for (auto [W, H] : {std::pair{400, 300}, std::pair{300, 400}}) {
        SCOPED_TRACE(::testing::Message() << W << "x" << H);
        List(Png("picture.png", Solid(W, H, kWhite)));
        form.Combo5.setListIndex(kAlignBottom);
        form.Combo5.setListIndex(kCornerToCorner);
        const PictureRef p = Shown();
        EXPECT_EQ(form.Picture7.PixelWidth(), 500); // as wide as the diagonal
        EXPECT_EQ(form.Picture7.PixelHeight(), H);
        EXPECT_EQ(Blue(p->At(W / 2, H / 2)), 0);
        EXPECT_EQ(Blue(p->At(W - 8, 8)), 0); // top right
        EXPECT_EQ(Blue(p->At(8, H - 8)), 0); // bottom left
        EXPECT_EQ(Blue(p->At(3, 3)), 255);   // the other diagonal stays clear
        EXPECT_EQ(Blue(p->At(W - 4, H - 4)), 255);
        int soft = 0;
        for (std::uint32_t pixel : p->Pixels())
            soft += Blue(pixel) > 0 && Blue(pixel) < 255;
        EXPECT_GT(soft, 300) << "the logo's long edges step";
    }
}

// Black keys wash in the button-text colour (black), light keys in white.
TEST_F(Watermark, SliderWashesTheWatermark) {
    Surface dark = Solid(100, 50, kBlack);
    for (int y = 15; y < 35; ++y)
        for (int x = 30; x < 70; ++x)
            dark.Row(y)[std::size_t(x)] = kWhite;
    for (bool darkKey : {true, false}) {
        Prepare(Scene(40, 30), darkKey ? dark : Logo());
        const int alphas[] = {135, 70, 5, 200};
        for (int value : {1, 2, 3, 0}) {
            form.HScroll1.setValue(value);
            const int alpha = alphas[(value + 3) % 4];
            const COLORREF key = GetPixel(form.Picture5.hDC(), 1, 1);
            const COLORREF mark = GetPixel(form.Picture5.hDC(), 50, 25);
            if (darkKey) {
                EXPECT_EQ(key, RGB(0, 0, 0));
                EXPECT_EQ(mark, RGB(255 - alpha, 255 - alpha, 255 - alpha)) << value;
            } else {
                EXPECT_EQ(key, RGB(255, 255, 255));
                EXPECT_EQ(mark, RGB(alpha, alpha, alpha)) << value;
            }
        }
    }
}

// Transparent parts are drawn black, the key is dark, and OR leaves them out.
TEST_F(Watermark, TransparentLogoLeavesThePictureShowing) {
    PngLayout layout{20, 10, PNG_COLOR_TYPE_RGB_ALPHA};
    std::vector<unsigned> samples;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const unsigned opaque = x >= 5 && x < 15 && y >= 3 && y < 7 ? 255 : 0;
            samples.insert(samples.end(), {255, 255, 255, opaque});
        }
    const Bytes png = WritePng(layout, samples);
    ASSERT_TRUE(Files::Local().WriteAll(dir / "logo.png", png));
    const Surface scene = Scene(40, 30);
    List(Png("picture.png", scene));
    form.Check6.setValue(1);
    form.Combo5.setListIndex(kAlignCenter);
    Choose(dir / "logo.png");

    Surface want = scene;
    for (int y = 13; y < 17; ++y)
        for (int x = 15; x < 25; ++x)
            want.Row(y)[std::size_t(x)] = kWhite;
    EXPECT_TRUE(SamePixels(*Shown(), want));
}

TEST_F(Watermark, WithoutAFileItAsksForOneAndShowsThePlainPicture) {
    const Surface scene = Scene(40, 30);
    List(Png("picture.png", scene));
    form.Check6.setValue(1);
    form.placewatermark();
    EXPECT_EQ(services.messages, std::vector<std::string>{"Please select watermark image"});
    ASSERT_TRUE(form.Image1.Picture());
    EXPECT_TRUE(SamePixels(*form.Image1.Picture(), scene));
}

TEST_F(Watermark, PanelEnablesItsControlsAndNamesTheFile) {
    Control* const seven[] = {&form.Label28, &form.Label30, &form.HScroll1, &form.Combo5,
                              &form.Check7,  &form.Label29, &form.Command14};
    auto enabled = [&] {
        std::string out;
        for (Control* c : seven)
            out += c->Enabled() ? '1' : '0';
        return out;
    };
    form.Check6.setValue(1); // with an empty list only the enabling changes
    EXPECT_EQ(enabled(), "1111011");
    EXPECT_FALSE(form.Image1.Picture());
    form.Combo5.setListIndex(kAlignTop);
    EXPECT_TRUE(form.Check7.Enabled());
    form.Combo5.setListIndex(kCornerToCorner);
    EXPECT_FALSE(form.Check7.Enabled());
    form.Check6.setValue(0);
    EXPECT_EQ(enabled(), "0000000");
    form.Combo5.setListIndex(kAlignTop);
    EXPECT_FALSE(form.Check7.Enabled());

    form.HScroll1.setValue(2); // not ready: only the caption changes
    EXPECT_EQ(form.Label30.Caption(), "25% Transparency");
    EXPECT_EQ(form.Picture5.PixelWidth(), 0);

    Choose(""); // cancelled
    EXPECT_EQ(form.Label28.Caption(), "[Browse]");
    EXPECT_TRUE(form.Command1.Enabled());
    ASSERT_EQ(services.dialogRequests.size(), 1u);
    EXPECT_EQ(services.dialogRequests[0].flags, 0x81004);
    EXPECT_EQ(services.dialogRequests[0].filter,
              "Images Files (*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff)|"
              "*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff");
    Choose("/pics/WatermarkLogo_2024.png");
    EXPECT_EQ(form.Label28.Caption(), "...ogo_2024.png");
    Choose("/pics/watermark15.png");
    EXPECT_EQ(form.Label28.Caption(), "watermark15.png");
    EXPECT_EQ(form.shared.WatermarkFile, "/pics/watermark15.png");
}

} // namespace
} // namespace zembra::testing
