// Run journal lines: paths with any byte but NUL survive the trip through a
// line, and every malformed journal is refused rather than half read.
#include "platform/journal_lines.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

const std::string kHeader = std::string(kJournalHeader) + "\n";
const std::string kId = "1:2:3:4:5";

TEST(JournalLines, EveryByteButNulSurvivesAPath) {
    std::string path = "/p";
    for (int byte = 1; byte < 256; ++byte)
        path += static_cast<char>(byte);
    const std::string field = EscapePath(path);
    EXPECT_EQ(field.find_first_of(" \n\t\r"), std::string::npos);
    EXPECT_EQ(UnescapePath(field), path);
    EXPECT_EQ(EscapePath("a b%c\n"), "a%20b%25c%0A");
}

TEST(JournalLines, RefusesFieldsThatAreNoEscapedPath) {
    for (const char* field : {"", "%", "%4", "%G1", "%00", "a%0", "a\tb", "a\x7F"})
        EXPECT_FALSE(UnescapePath(field).has_value()) << field;
}

TEST(JournalLines, StepsComeBackAsWritten) {
    JournalStep replaced;
    replaced.kind = StepKind::Replaced;
    replaced.path = "/a b/p.jpg";
    replaced.file = {1, 2, 3, -4, 5};
    replaced.original = {18446744073709551615u, 7, 8, 9, 999999999};
    replaced.trashFile = "/t/files/p.jpg";
    replaced.trashInfo = "/t/info/p.jpg.trashinfo";
    JournalStep copied;
    copied.kind = StepKind::Copied;
    copied.path = "/x";
    copied.target = "/y\n";
    copied.file = {1, 1, 1, 1, 1};
    copied.made = FileIdentity{2, 2, 2, 2, 2};
    JournalStep deleted;
    deleted.kind = StepKind::Trashed;
    deleted.path = "/z";
    deleted.deleted = true;
    const std::string text = kHeader + IntentLine(1, replaced) + "\n" + DoneLine(1, replaced) +
                             "\n" + IntentLine(2, copied) + "\n" + DoneLine(2, copied) + "\n" +
                             IntentLine(3, deleted) + "\n" + DoneLine(3, deleted) + "\n" +
                             UndoneLine(2) + "\n" + "ok 3 cut-off";
    const auto steps = ParseJournal(text);
    ASSERT_TRUE(steps.has_value());
    ASSERT_EQ(steps->size(), 3u);
    const JournalStep& r = (*steps)[0];
    EXPECT_TRUE(r.kind == StepKind::Replaced && r.path == replaced.path && r.done && !r.undone);
    EXPECT_TRUE(r.file == replaced.file && r.original == replaced.original);
    EXPECT_TRUE(r.trashFile == replaced.trashFile && r.trashInfo == replaced.trashInfo);
    const JournalStep& c = (*steps)[1];
    EXPECT_TRUE(c.target == "/y\n" && c.made == copied.made && c.undone);
    EXPECT_TRUE((*steps)[2].deleted && (*steps)[2].done);
}

TEST(JournalLines, RefusesMalformedJournals) {
    const std::string created = "1 created /p " + kId + "\n";
    const std::string cases[] = {
        "",
        "zembra run journal 2\n",
        kHeader + "2 created /p " + kId + "\n",                  // numbers start at 1
        kHeader + created + created,                             // and do not repeat
        kHeader + "ok 1\n",                                      // no such step
        kHeader + created + "ok 1\nok 1\n",                      // done twice
        kHeader + created + "undone 1\nundone 1\n",              // undone twice
        kHeader + created + "ok 0\n",                            //
        kHeader + created + "ok 1 trash /a\n",                   // record missing
        kHeader + created + "ok 1 deleted\n",                    // a created file is never deleted
        kHeader + "1 moved /p " + kId + "\n",                    // no such kind
        kHeader + "1 created /p\n",                              // identity missing
        kHeader + "1 created /p  " + kId + "\n",                 // empty field
        kHeader + "1 created /p 1:2:3:4\n",                      // short identity
        kHeader + "1 created /p 1:2:3:4:5:6\n",                  // long identity
        kHeader + "1 created /p 18446744073709551616:2:3:4:5\n", // past 64 bits
        kHeader + "1 created /p -1:2:3:4:5\n",                   // a device is not negative
        kHeader + "1 renamed /p " + kId + "\n",                  // target missing
        kHeader + "1 created /p%00 " + kId + "\n",               // NUL in a path
        kHeader + "1 created /p " + kId + " a b c d e f\n",      // too many fields
    };
    for (const std::string& text : cases)
        EXPECT_FALSE(ParseJournal(text).has_value()) << text;
}

} // namespace
} // namespace zembra
