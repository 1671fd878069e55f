// The watermark on the main window: placement, wash, the panel and the run, on
// small pictures made here whose pixels can be checked exactly.
#include "form_fixture.h"
#include "imaging/gdiplus.h"
#include "imaging/test_pictures.h"
#include "watermark/watermark_controls.h"

namespace zembra::testing {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kYellow = 0xFFFFFF00u;

Surface Solid(int w, int h, std::uint32_t pixel) {
    return std::move(*Surface::Create(w, h, pixel));
}

// `outer` with a 40x20 rectangle of `inner` in the middle of its 100x50.
Surface Logo(std::uint32_t outer, std::uint32_t inner) {
    Surface s = Solid(100, 50, outer);
    for (int y = 15; y < 35; ++y)
        std::fill_n(s.Row(y).begin() + 30, 40, inner);
    return s;
}

class Watermark : public FormTest {
  protected:
    // The panel's previews are only drawn for hosts that show them.
    void SetUp() override {
        services.display = true;
        FormTest::SetUp();
    }

    std::string Png(const std::string& name, const Surface& s) {
        EXPECT_TRUE(Files::Local().WriteAll(dir / name, EncodePng(s, {}).value()));
        return dir / name;
    }
    // The only picture of the list.
    void List(const std::string& path) {
        form.Command8_Click();
        Add(path);
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

// A picture that does not load leaves the one before in Picture4, which must not
// be saved under its name.
TEST_F(Watermark, CentredLogoIsWashedAndCombinedByAndInTheSavedPicture) {
    const Surface scene = PhotoLike(400, 300);
    Prepare(scene, Logo(kWhite, kBlack));
    Add(dir.Write("broken.png", "not a picture"));
    form.Combo5.setListIndex(kAlignCenter);
    form.HScroll1.setValue(1);
    Run(4);

    const PictureRef out = cGdiPlus().FilenameToIPicture(dir / "(R)picture.png");
    ASSERT_TRUE(out);
    Surface want = scene; // the black rectangle, washed to grey 135, under AND
    for (int y = 125 + 15; y < 125 + 35; ++y)
        for (int x = 150 + 30; x < 150 + 70; ++x)
            want.Row(y)[std::size_t(x)] &= 0xFF878787u;
    EXPECT_TRUE(SamePixels(*out, want));
    EXPECT_FALSE(Files::Local().Exists(dir / "(R)broken.png"));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].rfind(dir / "broken.png: ", 0), 0u);
}

// A yellow logo (a light key) clears the blue of a white picture where it lands.
TEST_F(Watermark, LandsByAlignmentAndStretch) {
    struct Case {
        int alignment;
        bool stretch;
        int W, H, x0, y0, x1, y1; // the covered area, clipped to the picture
    };
    const Case cases[] = {
        {kAlignTop, false, 400, 300, 150, 0, 250, 50},
        {kAlignBottom, false, 400, 300, 150, 250, 250, 300},
        {kAlignCenter, false, 101, 51, 0, 0, 100, 50}, // 0.5 goes to the even 0
        {kAlignCenter, true, 400, 300, 0, 50, 400, 250},
        {kAlignCenter, true, 50, 40, 0, 8, 50, 33},  // 50x25, 7.5 to the even 8
        {kAlignBottom, false, 60, 30, 0, 0, 60, 30}, // larger than the picture
    };
    Prepare(Solid(400, 300, kWhite), Solid(100, 50, kYellow));
    for (const Case& c : cases) {
        List(Png("picture.png", Solid(c.W, c.H, kWhite)));
        form.Combo5.setListIndex(c.alignment);
        form.Check7.setValue(c.stretch ? 1 : 0);
        form.Check7_Click(); // shows the result even when the value stayed
        Surface want = Solid(c.W, c.H, kWhite);
        for (int y = c.y0; y < c.y1; ++y)
            std::fill(want.Row(y).begin() + c.x0, want.Row(y).begin() + c.x1, kYellow);
        EXPECT_TRUE(SamePixels(*Shown(), want)) << c.alignment << " " << c.W << "x" << c.H;
    }
}

// A tall logo stretched to a wide picture comes out far taller than the picture;
// only its rows that land are made, in bands, and they are the right ones. A 2 x
// 100 logo, yellow at the top, red in the middle and blue at the bottom, becomes
// 600 x 30000 on a 600 x 300 picture; 2 x 6000 would be 600 x 1.8 million, too
// large to make whole, and its centred offset leaves 16 bits, so it is drawn from
// the top. Rows 255 and 256 lie on both sides of a band's edge. Along the
// diagonal the 30000 rows are 671 long, and only the middle (red) ones that reach
// the picture are turned onto it in bands.
TEST_F(Watermark, TallStretchedLogoDrawsOnlyTheRowsThatLand) {
    constexpr std::uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;
    auto logo = [&](int h) {
        Surface s = Solid(2, h, kRed);
        for (int y = 0; y < h / 10; ++y) {
            std::fill_n(s.Row(y).begin(), 2, kYellow);
            std::fill_n(s.Row(h - 1 - y).begin(), 2, kBlue);
        }
        return s;
    };
    const struct {
        int logoHeight, alignment;
        std::uint32_t shown;
    } cases[] = {{100, kAlignTop, kYellow},
                 {100, kAlignCenter, kRed},
                 {100, kAlignBottom, kBlue},
                 {6000, kAlignCenter, kYellow},
                 {100, kCornerToCorner, kRed}};
    for (const auto& c : cases) {
        Prepare(Solid(600, 300, kWhite), logo(c.logoHeight));
        form.Combo5.setListIndex(c.alignment);
        form.Check7.setValue(1);
        form.Check7_Click();
        const PictureRef shown = Shown();
        ASSERT_TRUE(shown);
        for (auto [x, y] : {std::pair{0, 0}, {300, 255}, {300, 256}, {599, 299}})
            EXPECT_EQ(shown->At(x, y), c.shown) << c.logoHeight << " " << c.alignment;
        if (c.alignment != kCornerToCorner) {
            EXPECT_LE(form.Picture6.PixelHeight(), 256);
        }
    }
}

TEST_F(Watermark, CornerToCornerFollowsTheRisingDiagonalSmoothly) {
    Prepare(Solid(400, 300, kWhite), Solid(100, 50, kYellow));
    for (auto [W, H] : {std::pair{400, 300}, std::pair{300, 400}}) {
        List(Png("picture.png", Solid(W, H, kWhite)));
        form.Combo5.setListIndex(kAlignBottom);
        form.Combo5.setListIndex(kCornerToCorner);
        const PictureRef p = Shown();
        // Of the canvas as wide as the diagonal, only the part on the picture is kept.
        EXPECT_EQ(form.Picture7.PixelWidth(), W);
        // On the rising diagonal and off the falling one.
        for (auto [x, y] : {std::pair{W / 2, H / 2}, {W - 8, 8}, {8, H - 8}})
            EXPECT_EQ(p->At(x, y), kYellow) << W << "x" << H << " at " << x << "," << y;
        EXPECT_EQ(p->At(3, 3), kWhite);
        EXPECT_EQ(p->At(W - 4, H - 4), kWhite);
        int soft = 0;
        for (std::uint32_t pixel : p->Pixels())
            soft += pixel != kWhite && pixel != kYellow;
        EXPECT_GT(soft, 300) << "the logo's long edges step";
    }
}

// The run's working boxes outlive each picture: a colour profile must not pass from
// one picture to the next, in either direction.
TEST_F(Watermark, EachOutputCarriesOnlyItsOwnColourProfile) {
    const auto profile = std::make_shared<const std::vector<std::uint8_t>>(RgbDisplayProfile());
    struct Source {
        const char* name;
        std::uint32_t colour;
        bool profiled;
    };
    const Source sources[] = {{"a.png", 0xFFC83232u, true},
                              {"b.png", 0xFF3232C8u, false},
                              {"c.png", 0xFF32C832u, true},
                              {"d.png", 0xFF808080u, false}};
    form.Check6.setValue(1);
    form.Combo5.setListIndex(kAlignTop);
    Choose(Png("logo.png", Solid(20, 10, kWhite)));
    for (const Source& s : sources) {
        Surface picture = Solid(60, 40, s.colour);
        if (s.profiled)
            picture.SetProfile(profile);
        Add(Png(s.name, picture));
    }
    Run(4);
    for (const Source& s : sources) {
        const auto bytes = Files::Local().ReadAll(dir / (std::string("(R)") + s.name));
        ASSERT_TRUE(bytes) << s.name;
        const auto out = DecodePng(*bytes, DecodeLimits{}, 0);
        ASSERT_TRUE(out) << s.name;
        EXPECT_EQ(out.value().pixels.At(0, 39), s.colour) << s.name;
        EXPECT_EQ(out.value().pixels.Profile() != nullptr, s.profiled) << s.name;
        if (s.profiled && out.value().pixels.Profile()) {
            EXPECT_EQ(*out.value().pixels.Profile(), *profile) << s.name;
        }
    }
}

// Light keys are washed white, dark keys in the button-text colour (black).
TEST_F(Watermark, SliderWashesTheWatermark) {
    for (bool dark : {false, true}) {
        Prepare(PhotoLike(40, 30), dark ? Logo(kBlack, kWhite) : Logo(kWhite, kBlack));
        for (auto [value, alpha] : {std::pair{1, 135}, {2, 70}, {3, 5}, {0, 200}}) {
            form.HScroll1.setValue(value);
            const int mark = dark ? 255 - alpha : alpha;
            EXPECT_EQ(GetPixel(form.Picture5.hDC(), 1, 1),
                      dark ? RGB(0, 0, 0) : RGB(255, 255, 255));
            EXPECT_EQ(GetPixel(form.Picture5.hDC(), 50, 25), RGB(mark, mark, mark)) << value;
        }
    }
}

// Transparent parts are drawn black, the key is dark, and OR leaves them out.
TEST_F(Watermark, TransparentLogoLeavesThePictureShowing) {
    std::vector<unsigned> samples;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            samples.insert(samples.end(),
                           {255, 255, 255, x >= 5 && x < 15 && y >= 3 && y < 7 ? 255u : 0u});
    ASSERT_TRUE(Files::Local().WriteAll(dir / "logo.png",
                                        WritePng({20, 10, PNG_COLOR_TYPE_RGB_ALPHA}, samples)));
    const Surface scene = PhotoLike(40, 30);
    List(Png("picture.png", scene));
    form.Check6.setValue(1);
    form.Combo5.setListIndex(kAlignCenter);
    Choose(dir / "logo.png");

    Surface want = scene;
    for (int y = 13; y < 17; ++y)
        std::fill_n(want.Row(y).begin() + 15, 10, kWhite);
    EXPECT_TRUE(SamePixels(*Shown(), want));
}

TEST_F(Watermark, PanelEnablesItsControlsAndNamesTheFile) {
    auto enabled = [&] {
        std::string out;
        for (const Control* c : std::initializer_list<const Control*>{
                 &form.Label28, &form.Label30, &form.HScroll1, &form.Combo5, &form.Check7,
                 &form.Label29, &form.Command14})
            out += c->Enabled() ? '1' : '0';
        return out;
    };
    form.Check6.setValue(1); // with an empty list only the enabling changes
    EXPECT_EQ(enabled(), "1111011");
    form.Combo5.setListIndex(kAlignTop);
    EXPECT_EQ(enabled(), "1111111");
    form.Check6.setValue(0);
    EXPECT_EQ(enabled(), "0000000");
    form.HScroll1.setValue(2); // not ready: only the caption changes
    EXPECT_EQ(form.Label30.Caption(), "25% Transparency");
    EXPECT_EQ(form.Picture5.PixelWidth(), 0);

    Choose(""); // cancelled
    EXPECT_EQ(form.Label28.Caption(), "[Browse]");
    ASSERT_EQ(services.dialogRequests.size(), 1u);
    EXPECT_EQ(services.dialogRequests[0].flags, 0x81004);
    Choose("/pics/watermark15.png");
    EXPECT_EQ(form.Label28.Caption(), "watermark15.png");

    // Placing without a chosen file asks for one and shows the plain picture.
    form.Label28.setCaption("[Browse]");
    const Surface scene = PhotoLike(40, 30);
    List(Png("picture.png", scene));
    form.placewatermark();
    EXPECT_EQ(services.messages, std::vector<std::string>{"Please select watermark image"});
    EXPECT_TRUE(SamePixels(*form.Image1.Picture(), scene));
}

} // namespace
} // namespace zembra::testing
