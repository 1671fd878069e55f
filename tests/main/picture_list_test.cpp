#include "form_fixture.h"

namespace zembra::testing {
namespace {

using PictureList = FormTest;
using Strings = std::vector<std::string>;

// Linux file names are case-sensitive: only the exact same path is a duplicate,
// chosen alone or among others; adding resets the counters.
TEST_F(PictureList, AddsEachExactPathOnceAndResetsTheCounters) {
    Add("/P/a.jpg");
    Add("/P/a.jpg");
    EXPECT_EQ(Entries(form.List3), Strings{"/P/a.jpg"});
    EXPECT_EQ(form.List2.ListIndex(), 0);
    EXPECT_TRUE(form.Command1.Visible());
    EXPECT_TRUE(form.Command3.Visible());
    EXPECT_FALSE(form.Command11.Visible()); // arrows need two pictures
    EXPECT_EQ(form.Frame4.Caption(), "Preview - Double Click Pic to Open");
    EXPECT_EQ(services.dialogRequests.back().flags, 528900);
    EXPECT_EQ(
        services.dialogRequests.back().filter,
        "Images Files (*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff;*.webp;*.avif;*.heic;*.heif)|"
        "*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff;*.webp;*.avif;*.heic;*.heif");
    form.shared.ProcessedCount = 3;
    Add(std::string("/P\0a.jpg\0A.JPG\0b.jpg", 20));
    EXPECT_EQ(Entries(form.List3), (Strings{"/P/a.jpg", "/P/A.JPG", "/P/b.jpg"}));
    EXPECT_EQ(Entries(form.List2), (Strings{"a.jpg", "A.JPG", "b.jpg"}));
    EXPECT_EQ(form.shared.ProcessedCount, 0);
    EXPECT_EQ(form.Label19.Caption(), "Files to Process: 3");
    EXPECT_EQ(form.Label3.Caption(), "0 of 3 processed - 0 skipped");
    EXPECT_TRUE(form.Command11.Visible());
    Add(""); // a cancelled dialog changes nothing
    EXPECT_EQ(form.List3.ListCount(), 3);
    EXPECT_EQ(form.Label19.Caption(), "Files to Process: 3");
}

// Lists longer than 16-bit counters hold: duplicates are still found after the
// list changed behind the quick test, and a run counts every entry.
TEST_F(PictureList, ListsPastSixteenBitsStayExactAndCountEveryPicture) {
    constexpr int kCount = 32770;
    std::string answer = dir / "gone";
    for (int i = 0; i < kCount; ++i)
        answer += '\0' + std::to_string(i) + ".jpg";
    Add(answer);
    Add(answer); // all listed already
    EXPECT_EQ(form.Label19.Caption(), "Files to Process: 32770");
    form.List2.setListIndex(5);
    form.Command3_Click(); // removes 5.jpg
    Add(dir / "gone/5.jpg");
    Add(dir / "gone/6.jpg");
    EXPECT_EQ(form.List3.ListCount(), kCount);
    EXPECT_EQ(form.List3.List(kCount - 1), dir / "gone/5.jpg");

    Run(4); // the files are gone: every one is skipped, and counted
    EXPECT_EQ(form.Label3.Caption(), "0 of 32770 processed - 32770 skipped");
}

// A run meeting more dates than the naming's table holds refuses in words.
TEST(NameCounters, RefuseSlotsPastTheTableWithAClearMessage) {
    NameCounterTable table;
    table.at(NameCounterTable::kSize - 1) = 1 << 20; // 32 bits
    EXPECT_EQ(table.at(NameCounterTable::kSize - 1), 1 << 20);
    try {
        table.at(NameCounterTable::kSize);
        ADD_FAILURE() << "no refusal";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "More than 10000 different picture dates in one run: "
                               "this picture is left as it is");
    }
}

TEST_F(PictureList, LongNamesShowTheirLastCharacters) {
    Add("/P/abcdefghijklmnopqrstuvwxyz.jpg"); // 30 characters
    EXPECT_EQ(form.List2.List(0), "...jklmnopqrstuvwxyz.jpg");
    // Multi-byte names are cut between characters, never inside one.
    Add("/P/Ångström-Åland-Öland-Ærø-ÿ.jpg");
    EXPECT_EQ(form.List2.List(1), "...Åland-Öland-Ærø-ÿ.jpg");
}

TEST_F(PictureList, RemovingSelectsTheNextEntry) {
    const struct {
        int count, selected;
        Strings remaining;
        int selectedAfter;
    } cases[] = {{3, 2, {"a.jpg", "b.jpg"}, 1},
                 {3, 1, {"a.jpg", "c.jpg"}, 0},
                 {3, 0, {"b.jpg", "c.jpg"}, 0},
                 {5, 2, {"a.jpg", "b.jpg", "d.jpg", "e.jpg"}, 2}};
    for (const auto& c : cases) {
        form.Command8.Click();
        for (int i = 0; i < c.count; ++i)
            Add("/P/" + std::string(1, char('a' + i)) + ".jpg");
        form.List2.setListIndex(c.selected);
        form.Command3.Click();
        EXPECT_EQ(Entries(form.List2), c.remaining) << c.count << " " << c.selected;
        EXPECT_EQ(form.List3.ListCount(), form.List2.ListCount());
        EXPECT_EQ(form.List2.ListIndex(), c.selectedAfter) << c.count << " " << c.selected;
    }
}

TEST_F(PictureList, ClearingOrRemovingEveryPictureEmptiesTheWindow) {
    Add("/P/a.jpg");
    Add("/P/b.jpg");
    form.Command8.Click();
    EXPECT_EQ(form.List2.ListCount() + form.List3.ListCount(), 0);
    EXPECT_FALSE(form.Label22.Visible());
    EXPECT_EQ(form.Label3.Caption(), "0 of 0 processed - 0 skipped");

    Add("/P/a.jpg");
    Add("/P/b.jpg");
    form.Command3.Click();
    EXPECT_FALSE(form.Command11.Visible());
    form.Command3.Click();
    EXPECT_EQ(form.List2.ListCount(), 0);
    EXPECT_FALSE(form.Command1.Visible());
    EXPECT_FALSE(form.Command3.Visible());
    EXPECT_EQ(form.Frame4.Caption(), "Preview");
    EXPECT_EQ(form.Label19.Caption(), "Files to Process: 0");
}

TEST_F(PictureList, ArrowsMoveAndWrapAround) {
    for (const char* n : {"/P/a.jpg", "/P/b.jpg", "/P/c.jpg"})
        Add(n);
    form.List2.setListIndex(0);
    form.Command11.Click();
    EXPECT_EQ(Entries(form.List2), (Strings{"b.jpg", "c.jpg", "a.jpg"}));
    EXPECT_EQ(Entries(form.List3), (Strings{"/P/b.jpg", "/P/c.jpg", "/P/a.jpg"}));
    EXPECT_EQ(form.List2.ListIndex(), 2);
    EXPECT_TRUE(form.Command6.HasFocus());

    form.Command12.Click(); // the last wraps to the front
    EXPECT_EQ(Entries(form.List2), (Strings{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(form.List2.ListIndex(), 0);

    form.Command12.Click();
    EXPECT_EQ(Entries(form.List3), (Strings{"/P/b.jpg", "/P/a.jpg", "/P/c.jpg"}));
    EXPECT_EQ(form.List2.ListIndex(), 1);
    form.Command11.Click();
    EXPECT_EQ(Entries(form.List2), (Strings{"a.jpg", "b.jpg", "c.jpg"}));
}

} // namespace
} // namespace zembra::testing
