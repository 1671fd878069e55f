// Whole runs of the rename and copy actions in a temporary folder.
#include "form_fixture.h"

#include <filesystem>
#include <map>

namespace zembra::testing {
namespace {

class BatchRun : public FormTest {
  protected:
    std::vector<std::string> outcomes;

    void SetUp() override {
        FormTest::SetUp();
        form.List2.subscribe([this](Control&) {
            const int i = form.shared.CurrentIndex;
            if (i >= 0 && i < form.List2.ListCount()) {
                const std::string text = form.List2.List(i);
                if (text.ends_with("finished") || text.ends_with("skipped"))
                    outcomes.push_back(text);
            }
        });
    }
};

TEST_F(BatchRun, RenamesInListOrderAndContinuesTheNumbering) {
    AddFiles({"a.jpg", "b.jpg", "c.jpg"});
    Run(1, "Holiday");
    EXPECT_EQ(dir.Listing(), "Holiday-001.jpg Holiday-002.jpg Holiday-003.jpg");
    EXPECT_EQ(outcomes, (std::vector<std::string>{"a.jpg --- finished", "b.jpg --- finished",
                                                  "c.jpg --- finished"}));
    EXPECT_EQ(form.Label3.Caption(), "3 of 3 processed - 0 skipped");
    EXPECT_EQ(form.List2.ListCount(), 0);
    EXPECT_FALSE(form.Command1.Visible());
    EXPECT_TRUE(form.Combo2.Enabled());

    // A second run with the same base name goes on from 003.
    AddFiles({"d.jpg"});
    form.Command1_Click();
    EXPECT_TRUE(dir.Listing().find("Holiday-004.jpg") != std::string::npos);

    // A new base name starts again at 001.
    AddFiles({"e.jpg"});
    form.Text1.setText("Trip");
    form.Command1_Click();
    EXPECT_TRUE(dir.Listing().find("Trip-001.jpg") != std::string::npos);
}

TEST_F(BatchRun, TakenNamesGetDashesThenTheSkip) {
    dir.Write("Holiday-001.jpg");
    AddFiles({"a.jpg"});
    Run(1, "Holiday");
    EXPECT_EQ(dir.Listing(), "Holiday-001-.jpg Holiday-001.jpg");

    // Twenty taken names: no dash count is free, so the picture stays as it is.
    for (int dashes = 0; dashes <= 19; ++dashes)
        dir.Write("Trip-001" + std::string(static_cast<std::size_t>(dashes), '-') + ".jpg");
    AddFiles({"b.jpg"});
    form.Text1.setText("Trip");
    form.Command1_Click();
    EXPECT_TRUE(dir.Listing().find("b.jpg") != std::string::npos);
    EXPECT_EQ(outcomes.back(), "b.jpg --- skipped");
    EXPECT_EQ(form.Label3.Caption(), "0 of 1 processed - 1 skipped");
}

TEST_F(BatchRun, MissingAndUnsupportedPicturesAreSkipped) {
    AddFiles({"a.jpg", "b.jpg", "FILE.JPE", "noext", "FILE.JPG"});
    std::filesystem::remove(dir / "b.jpg");
    std::vector<std::string> remaining;
    form.Label19.subscribe([&](Control& c) { remaining.push_back(c.Caption()); });
    Run(2, "X");
    EXPECT_EQ(outcomes, (std::vector<std::string>{"a.jpg --- finished", "b.jpg --- skipped",
                                                  "FILE.JPE --- skipped", "noext --- skipped",
                                                  "FILE.JPG --- finished"}));
    EXPECT_EQ(remaining.front(), "Files to Process: 4");
    EXPECT_EQ(remaining.back(), "Files to Process: 0");
    EXPECT_EQ(form.Label3.Caption(), "2 of 5 processed - 3 skipped");
    // Copies leave the originals where they were.
    EXPECT_EQ(dir.Listing(), "FILE.JPE FILE.JPG X-001.jpg X-002.JPG a.jpg noext");
}

TEST_F(BatchRun, DatedNamesUseOneCounterPerDate) {
    // The dates the reader finds per file name; d.jpg is undated.
    const std::map<std::string, std::string> dates = {{"a.jpg", "2008:05:17 10:11:12"},
                                                      {"b.jpg", "2009:01:02 03:04:05"},
                                                      {"c.jpg", "2008:05:17 11:00:00"}};
    form.ReadDateTaken = [&](const std::string& path) {
        const auto it = dates.find(FileNamePart(path));
        return it == dates.end() ? std::string() : it->second;
    };
    AddFiles({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    form.Check1.setValue(1);
    form.Combo1.setListIndex(2);
    Run(2, "Holiday");
    // d.jpg has no date: it takes the slot past the known dates without adding one.
    EXPECT_EQ(dir.Listing(), "2008-05-17 Holiday-001.jpg 2008-05-17 Holiday-002.jpg "
                             "2009-01-02 Holiday-001.jpg Holiday-001.jpg a.jpg b.jpg c.jpg d.jpg");
    EXPECT_EQ(form.List1.ListCount(), 2);
}

TEST_F(BatchRun, ProcessHandlesOnlyTheSelectedPicture) {
    AddFiles({"a.jpg", "b.jpg"});
    form.Combo2.setListIndex(1);
    form.Text1.setText("One");
    form.List2.setListIndex(1);
    form.Command6.Click();
    EXPECT_EQ(dir.Listing(), "One-001.jpg a.jpg");
    EXPECT_EQ(form.List2.List(1), "b.jpg --- finished");
    EXPECT_EQ(form.List2.ListCount(), 2);
    EXPECT_TRUE(form.List2.Enabled());
    EXPECT_EQ(form.Label3.Caption(), "0 of 2 processed - 0 skipped");
}

TEST_F(BatchRun, CancelDuringARunStopsIt) {
    AddFiles({"a.jpg", "b.jpg", "c.jpg"});
    services.onDoEvents = [this] {
        if (form.shared.ProcessedCount == 1)
            form.Command2.Click();
    };
    Run(2, "C");
    EXPECT_TRUE(form.Ending());
    EXPECT_EQ(dir.Listing(), "C-001.jpg a.jpg b.jpg c.jpg");
}

} // namespace
} // namespace zembra::testing
