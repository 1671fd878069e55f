// The plan: its file survives any path and refuses damage; names that depend on
// each other stay in order, in one part; the run does what its plan said.
#include "form_fixture.h"
#include "main/picture_plan.h"

#include <set>

namespace zembra::testing {
namespace {

TEST(PlanFile, KeepsAnyPathAndRefusesDamage) {
    PicturePlan row;
    row.index = 3;
    row.source = "/p/tab\there\\ and\nline\r.jpg";
    row.action = 7;
    row.newName = "/p/2024-07-14 Trip-001.jpg";
    row.output = "/p/(R)2024-07-14 Trip-001.jpg";
    row.width = 160;
    row.height = 120;
    row.format = "JPEG";
    row.original = PicturePlan::Original::Renamed;
    row.date = "2024:07:14 18:32:05";
    row.dateWanted = true;
    row.group = 2;
    row.sourceBytes = 12345;
    row.sourceModified = -7;
    PicturePlan skipped = row;
    skipped.skipped = true;
    skipped.reason = "no free name for it";
    const std::string text = PlanFileText({"--name", "a\tb"}, {row, skipped});

    std::string error;
    const auto plan = ParsePlanFile(text, error);
    ASSERT_TRUE(plan) << error;
    EXPECT_EQ(plan->flags, (std::vector<std::string>{"--name", "a\tb"}));
    ASSERT_EQ(plan->rows.size(), 2u);
    EXPECT_EQ(plan->rows[0], row);
    EXPECT_EQ(plan->rows[1], skipped);

    const std::string line = PlanLine(row);
    const auto with = [&](const std::string& from, const std::string& to) {
        std::string damaged = text;
        damaged.replace(damaged.find(from), from.size(), to);
        return damaged;
    };
    for (const std::string& damaged :
         {text.substr(0, text.size() - 1), with("\\t", "\\q"), with("\t7\t", "\t8\t"),
          with("\trenamed\t", "\tgone\t"), with("\t160\t", "\t-1\t"), with("\t160\t", "\t16x\t"),
          with(line, line + "\textra"), with("# zembra-batch plan 1", "# plan 2"),
          with("\tprocess\t", "\tmaybe\t"), std::string()}) {
        EXPECT_FALSE(ParsePlanFile(damaged, error)) << damaged;
        EXPECT_FALSE(error.empty());
    }
}

TEST(PlanFile, PartsTakeWholeGroupsAndEveryRowOnce) {
    std::vector<PicturePlan> rows(9);
    const int groups[] = {0, 1, 0, 3, 4, 4, 6, 1, 8};
    for (int i = 0; i < 9; ++i) {
        rows[i].index = i;
        rows[i].group = groups[i];
    }
    std::vector<int> seen(9, 0);
    for (int part = 1; part <= 4; ++part) {
        std::set<int> groupsHere;
        for (const auto& row : PlanShard(rows, part, 4)) {
            ++seen[row.index];
            groupsHere.insert(row.group);
        }
        for (int other = 1; other <= 4; ++other) {
            if (other == part)
                continue;
            for (const auto& row : PlanShard(rows, other, 4))
                EXPECT_EQ(groupsHere.count(row.group), 0u) << "group split across parts";
        }
    }
    EXPECT_EQ(seen, std::vector<int>(9, 1));
}

class PlanRun : public FormTest {};

// b.jpg wants the name Trip-002.jpg that renaming Trip-002.jpg frees: the plan
// sees it free, and keeps both rows in one group, in order.
TEST_F(PlanRun, ANameFreedEarlierIsPlannedAndTheRunTakesIt) {
    AddFiles({"Trip-002.jpg", "b.jpg", "c.txt"});
    form.Combo2.setListIndex(1);
    form.Text1.setText("Trip");
    const std::string before = dir.Listing();
    const auto rows = form.PlanRun();
    EXPECT_EQ(dir.Listing(), before);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].newName, dir / "Trip-001.jpg");
    EXPECT_EQ(rows[1].newName, dir / "Trip-002.jpg");
    EXPECT_EQ(rows[1].group, rows[0].group);
    EXPECT_TRUE(rows[2].skipped);
    EXPECT_EQ(rows[2].reason, "not a picture");

    // Planning left the numbering where it was: the run gives the same names.
    form.Command1_Click();
    EXPECT_EQ(dir.Listing(), "Trip-001.jpg Trip-002.jpg c.txt");
}

} // namespace
} // namespace zembra::testing
