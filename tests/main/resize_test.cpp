// Resize and conversion actions end to end, on pictures made in the test.
#include "form_fixture.h"
#include "imaging/codec.h"
#include "imaging/gdiplus.h"
#include "imaging/test_pictures.h"

#include <filesystem>

namespace zembra::testing {
namespace {

class Resize : public FormTest {
  protected:
    std::string Picture(const std::string& name, int w, int h, int quality = 90) {
        const auto bytes = name.ends_with(".png")   ? EncodePng(PhotoLike(w, h), {})
                           : name.ends_with(".gif") ? EncodeGif(PhotoLike(w, h), {})
                                                    : EncodeJpeg(PhotoLike(w, h), {quality});
        EXPECT_TRUE(Files::Local().WriteAll(dir / name, bytes.value()));
        return dir / name;
    }
    // Width and height of a picture file, 0x0 when it does not load.
    std::pair<int, int> SizeOf(const std::string& name) {
        const PictureRef p = cGdiPlus().FilenameToIPicture(dir / name);
        return p ? std::pair{p->Width(), p->Height()} : std::pair{0, 0};
    }
    void Run(int action, int conversion = 0) {
        form.Combo4.setListIndex(conversion);
        FormTest::Run(action);
    }
};

// Landscape pictures go by the width field, portrait and square ones by the height.
TEST_F(Resize, PixelSizeKeepsTheAspectByTheLongSide) {
    Add(Picture("portrait.jpg", 120, 160));
    Add(Picture("square.png", 160, 160));
    Add(Picture("landscape.jpg", 160, 100));
    form.Option4.setValue(true);
    form.Text3.setText("80");
    form.Text4.setText("60");
    Run(6);
    EXPECT_EQ(SizeOf("New-001.jpg"), (std::pair{45, 60}));
    EXPECT_EQ(SizeOf("New-002.png"), (std::pair{60, 60}));
    EXPECT_EQ(SizeOf("New-003.jpg"), (std::pair{80, 50}));
    Add(Picture("wide.jpg", 160, 160));
    form.Check4.setValue(0);
    Run(6);
    EXPECT_EQ(SizeOf("New-004.jpg"), (std::pair{80, 60})); // distorted on purpose
}

TEST_F(Resize, ConvertingTheOriginalReplacesIt) {
    Add(Picture("photo.jpg", 40, 30));
    Run(3, 5);
    EXPECT_EQ(dir.Listing(), "photo.PNG");
    EXPECT_EQ(SizeOf("photo.PNG"), (std::pair{40, 30}));
    // A file that already has the new name is another picture: it stays untouched.
    const auto unrelated = Files::Local().ReadAll(dir / "photo.PNG");
    Add(Picture("photo.jpg", 20, 10));
    Run(3, 5);
    EXPECT_EQ(dir.Listing(), "photo-.PNG photo.PNG");
    EXPECT_EQ(Files::Local().ReadAll(dir / "photo.PNG"), unrelated);
    EXPECT_EQ(SizeOf("photo-.PNG"), (std::pair{20, 10}));
}

// A side that rounds to no pixel keeps one: 13x7 at 1 % is written as 1x1.
TEST_F(Resize, NoPictureShrinksToNothing) {
    Add(Picture("tiny.png", 13, 7));
    form.Text2.setText("1");
    Run(4);
    EXPECT_EQ(SizeOf("(R)tiny.png"), (std::pair{1, 1}));
    EXPECT_TRUE(failures.empty());
}

TEST_F(Resize, ResizingTheOriginalInPlaceOrUnderANewName) {
    Add(Picture("photo.jpg", 40, 30));
    form.Text2.setText("25");
    Run(3);
    EXPECT_EQ(dir.Listing(), "photo.jpg");
    EXPECT_EQ(SizeOf("photo.jpg"), (std::pair{10, 8}));
    Add(dir / "photo.jpg");
    form.shared.NameCounters.fill(0);
    form.Text2.setText("50");
    Run(5, 2);
    EXPECT_EQ(dir.Listing(), "New-001.GIF");
    EXPECT_EQ(SizeOf("New-001.GIF"), (std::pair{5, 4}));
}

TEST_F(Resize, RenameOriginalAndConvertedCopy) {
    Add(Picture("photo.jpg", 40, 30));
    Run(7, 2);
    EXPECT_EQ(dir.Listing(), "(R)New-001.GIF New-001.jpg");
    EXPECT_EQ(SizeOf("(R)New-001.GIF"), (std::pair{40, 30}));
    // A second run beside the first gets dashes for the taken copy name.
    Add(Picture("photo.jpg", 40, 30));
    form.shared.NameCounters.fill(0);
    Run(7, 2);
    EXPECT_EQ(dir.Listing(), "(R)New-001-.GIF (R)New-001.GIF New-001-.jpg New-001.jpg");
}

// Quality 80 saves a JPEG source with 75 and a GIF converted after it with 80: the
// bytes are exactly the encoder's at that quality.
TEST_F(Resize, OnlyJpegSourcesLoseFiveQualityPoints) {
    Add(Picture("photo.jpg", 64, 48));
    Add(Picture("g.gif", 64, 48));
    form.Text5.setText("80");
    form.Check3.setValue(0);
    Run(4, 1);
    for (const auto& [source, output, quality] :
         {std::tuple{"photo.jpg", "(R)photo.jpg", 75}, std::tuple{"g.gif", "(R)g.JPG", 80}}) {
        const PictureRef decoded = cGdiPlus().FilenameToIPicture(dir / source);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(Files::Local().ReadAll(dir / output), EncodeJpeg(*decoded, {quality}).value())
            << output;
    }
}

// photo.jpg in a folder of its own, run through one action on the test's file layer.
struct RunOnDisk {
    TempDir dir;
    const Bytes jpeg = EncodeJpeg(PhotoLike(32, 24), {90}).value();
    std::vector<std::string> failures;

    RunOnDisk(Files& disk, int action, int conversion) {
        EXPECT_TRUE(Files::Local().WriteAll(dir / "photo.jpg", jpeg));
        ScriptedServices services;
        Form1 form(services, disk);
        form.Form_Load();
        form.onFailure = [this](const std::string& m) { failures.push_back(m); };
        services.dialogAnswers.push_back(dir / "photo.jpg");
        form.Command7.Click();
        form.Combo2.setListIndex(action);
        form.Text1.setText("New");
        form.Text2.setText("50");
        form.Combo4.setListIndex(conversion);
        form.Command1_Click();
    }
};

// A file layer on a full disk: every whole-file write fails.
class FullDisk : public Files {
  public:
    bool WriteAll(const std::string&, const Bytes&) override { return false; }
};

TEST(ResizeSafety, AFailedSaveLosesNoPictureAndLeavesNoStrayFile) {
    for (int action : {3, 5, 7}) {
        FullDisk disk;
        const RunOnDisk run(disk, action, 5);
        // Action 7 renames the original whatever becomes of its converted copy.
        const std::string kept = action == 7 ? "New-001.jpg" : "photo.jpg";
        EXPECT_EQ(Files::Local().ReadAll(run.dir / kept), run.jpeg) << "action " << action;
        EXPECT_EQ(run.dir.Listing(), kept);
        EXPECT_FALSE(run.failures.empty());
    }
}

// A disk that cannot sync: nothing may then replace or outlive an original, while
// a fresh copy needs no sync.
class UnsyncedDisk : public Files {
  public:
    int flushes = 0;
    bool Flush(const std::string&) override {
        ++flushes;
        return false;
    }
};

TEST(ResizeSafety, OnlyFilesThatReplaceOrOutliveAPictureMustReachTheDiskFirst) {
    const struct {
        int action;
        const char* listing;
        int flushes;
    } cases[] = {{3, "photo.jpg", 1}, {5, "photo.jpg", 1}, {4, "(R)photo.jpg photo.jpg", 0}};
    for (const auto& c : cases) {
        UnsyncedDisk disk;
        const RunOnDisk run(disk, c.action, 0);
        EXPECT_EQ(run.dir.Listing(), c.listing) << "action " << c.action;
        EXPECT_EQ(Files::Local().ReadAll(run.dir / "photo.jpg"), run.jpeg) << "action " << c.action;
        EXPECT_EQ(disk.flushes, c.flushes) << "action " << c.action;
        EXPECT_EQ(run.failures.empty(), c.flushes == 0) << "action " << c.action;
    }
}

TEST_F(Resize, UnreadablePictureLeavesTheOriginal) {
    Add(dir.Write("broken.jpg", "not a picture"));
    Run(3);
    EXPECT_EQ(dir.Listing(), "broken.jpg");
    ASSERT_FALSE(failures.empty());
    EXPECT_EQ(failures.front().rfind(dir / "broken.jpg: ", 0), 0u);
}

} // namespace
} // namespace zembra::testing
