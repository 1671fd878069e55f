#include "main/picture_naming.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(SplitDateTaken, OddValuesGoThroughAsTheyAre) {
    // Without a blank the whole value is "time" and the date part is empty.
    const DateTaken noBlank = SplitDateTaken("2008:05:17", 2);
    EXPECT_EQ(noBlank.DateText, "");
    EXPECT_EQ(noBlank.Time, "2008, 05-17");
    EXPECT_EQ(SplitDateTaken("0000:00:00 00:00:00", 2).DateText, "0000-00-00");
    // Blank-filled values, as some cameras write: the first blank ends the date.
    EXPECT_EQ(SplitDateTaken("    :  :     :  :  ", 1).DateText, "");
}

// A date that would lead a name out of its folder or hide control bytes in it is
// no date: neither its date part nor its time reaches the name.
TEST(SplitDateTaken, HostileDatesAreNoDates) {
    const struct {
        const char* value;
        int format;
    } cases[] = {{"2008/05/17 10:11:12", 0},
                 {"..:..:.. 10:11:12", 0},
                 {"2..8:.5:17 10:11:12", 1},
                 {"2008:05:\n7 10:11:12", 1},
                 {"2008:05:1\x7f 10:11:12", 2}};
    for (const auto& c : cases) {
        const DateTaken d = SplitDateTaken(c.value, c.format);
        EXPECT_EQ(d.DateText, "") << c.value;
        EXPECT_EQ(TimeStamp(d.Time), "") << c.value;
    }
    // The same characters outside the part a format uses do no harm.
    EXPECT_EQ(SplitDateTaken("2008:05:17 10:11:12/..", 2).DateText, "2008-05-17");
}

TEST(RunningNumber, PadsToThreeDigitsOnly) {
    for (auto [n, text] : {std::pair{1, "001"}, {10, "010"}, {99, "099"}, {1000, "1000"}})
        EXPECT_EQ(RunningNumber(n), text);
}

// Only six digits in HH:MM:SS form make a time stamp; anything else gives the
// running number.
TEST(TimeStamp, TakesHoursMinutesSeconds) {
    EXPECT_EQ(TimeStamp(" 00:00:00  "), "000000");
    for (const char* odd : {"", "2008, 05-17", "   , -     :  :  ", " 10:11:1", " 10:11:1x",
                            " 1:11:12", " 10:11:123", " 10-11-12", " 10:11 12"})
        EXPECT_EQ(TimeStamp(odd), "") << '"' << odd << '"';
}

// Names without a base name; those with one are made by the runs of the window tests.
NameParts Parts(bool dateForm) {
    NameParts p;
    p.SourcePath = "/pics/img_0042.jpg";
    p.Folder = "/pics/";
    p.FileName = "img_0042.jpg";
    p.Ext = ".jpg";
    p.DateText = "2008-05-17";
    p.NumberSuffix = "001";
    p.DateForm = dateForm;
    return p;
}

TEST(BuildNames, WithoutABaseName) {
    EXPECT_EQ(BuildNames(Parts(true)).NewName, "/pics/2008-05-17-001.jpg");
    EXPECT_EQ(BuildNames(Parts(false)).NewName, "/pics/001.jpg");
    EXPECT_EQ(BuildNames(Parts(false)).CopyOutputName, "/pics/(R)001.jpg");
}

TEST(PictureTypes, AcceptedByExtension) {
    EXPECT_TRUE(IsSupportedExtension(".TiFf"));
    EXPECT_FALSE(IsSupportedExtension(".JPE"));
    // Only the file's own name has an extension; a dotted folder gives none.
    EXPECT_EQ(ExtensionOf("/a.b/noext"), "");
    EXPECT_EQ(ExtensionOf("/a.b/c.JPeg"), ".JPeg");
    EXPECT_EQ(WithDashBeforeExtension("/a.b/noext"), "/a.b/noext-");
    EXPECT_EQ(WithDashBeforeExtension("/a.b/c.d.jpg"), "/a.b/c.d-.jpg");
}

} // namespace
} // namespace zembra
