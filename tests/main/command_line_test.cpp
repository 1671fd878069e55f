#include "form_fixture.h"
#include "main/command_line.h"

namespace zembra::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(CommandLine, PrefixAndNames) {
    EXPECT_EQ(CommandLinePictures("/P/||a.jpg|a.jpg"), (Strings{"/P/a.jpg", "/P/a.jpg"}));
    // A picture type anywhere in the path is enough.
    EXPECT_EQ(CommandLinePictures("/my.jpg.files/||readme"), Strings{"/my.jpg.files/readme"});
    // Pieces between the first and the last "||" are ignored.
    EXPECT_EQ(CommandLinePictures("/A/||x.jpg||y.png"), Strings{"/A/y.png"});
    // Without "||" the whole text is the prefix of each of its own pieces.
    EXPECT_EQ(CommandLinePictures("a.jpg|b"), (Strings{"a.jpg|ba.jpg", "a.jpg|bb"}));
    EXPECT_EQ(CommandLinePictures("||/a/b.jpg|/c/d.png"), (Strings{"/a/b.jpg", "/c/d.png"}));
    EXPECT_TRUE(CommandLinePictures("").empty());
}

TEST(StartUp, ListsTheCommandLinePictures) {
    ScriptedServices services;
    Form1 form{services};
    form.Form_Load("/P/||a.jpg|notes.txt|b.TIFF");
    EXPECT_EQ(form.List2.List(0), "a.jpg");
    EXPECT_EQ(form.List3.List(1), "/P/b.TIFF");
    EXPECT_EQ(form.Label19.Caption(), "Files to Process: 2");
    EXPECT_EQ(form.List2.ListIndex(), 0);
    EXPECT_TRUE(form.Command1.Visible());
    EXPECT_TRUE(form.Command11.Visible());
}

TEST(StartUp, StarTakesTheClipboard) {
    ScriptedServices services;
    Form1 form{services};
    services.clipboard = "/P/||x.gif";
    form.Form_Load("*");
    EXPECT_EQ(form.List3.ListCount(), 1);
    EXPECT_EQ(services.clipboard, "");
}

} // namespace
} // namespace zembra::testing
