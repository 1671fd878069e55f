// Outputs that rewrite a JPEG keep its source's EXIF block.
#include "exif/segment_walk.h"
#include "form_fixture.h"

#include <filesystem>

namespace zembra::testing {
namespace {

// The first APP1 segment of a JPEG, marker and length included; empty when none.
Bytes FirstApp1(const Bytes& jpeg) {
    const auto segment = exif::FirstApp1Bytes(jpeg);
    return segment ? Bytes(segment->begin(), segment->end()) : Bytes();
}

class KeepExif : public FormTest {
  protected:
    Bytes source;
    void SetUp() override {
        FormTest::SetUp();
        std::filesystem::copy_file(std::string(ZEMBRA_SAMPLES_DIR) + "/harbour.jpg",
                                   dir / "harbour.jpg");
        source = *Files::Local().ReadAll(dir / "harbour.jpg");
        ASSERT_FALSE(FirstApp1(source).empty());
        Add(dir / "harbour.jpg");
        form.Text2.setText("50");
        // Notes the temporary EXIF copies seen while the run lets the window repaint.
        services.onDoEvents = [this] {
            for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
                if (e.path().filename().string().ends_with("exif.jpg"))
                    temporaries.push_back(e.path().filename());
        };
    }
    std::vector<std::string> temporaries;
};

TEST_F(KeepExif, CopyCarriesTheBlockRightAfterTheStart) {
    Run(4);
    const Bytes output = *Files::Local().ReadAll(dir / "(R)harbour.jpg");
    const Bytes block = FirstApp1(source);
    ASSERT_GT(output.size(), block.size() + 2);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), output.begin() + 2));
    // The block is held in memory: no file of the user's could stand in for it.
    EXPECT_TRUE(temporaries.empty());
    EXPECT_EQ(dir.Listing(), "(R)harbour.jpg harbour.jpg");
}

TEST_F(KeepExif, InPlaceResizeKeepsTheDate) {
    Run(3);
    const Bytes output = *Files::Local().ReadAll(dir / "harbour.jpg");
    EXPECT_NE(output, source);
    EXPECT_EQ(FirstApp1(output), FirstApp1(source));
    EXPECT_EQ(form.ReadDateTaken(dir / "harbour.jpg"), "2024:07:14 18:32:05");
}

TEST_F(KeepExif, NoCopyForOtherFormatsOrWhenNotAsked) {
    form.Combo4.setListIndex(5);
    Run(4);
    EXPECT_TRUE(temporaries.empty());
    EXPECT_EQ(dir.Listing(), "(R)harbour.PNG harbour.jpg");

    Add(dir / "harbour.jpg");
    form.Combo4.setListIndex(0);
    form.Check3.setValue(0);
    Run(4);
    EXPECT_TRUE(temporaries.empty());
    EXPECT_TRUE(FirstApp1(*Files::Local().ReadAll(dir / "(R)harbour.jpg")).empty());
}

} // namespace
} // namespace zembra::testing
