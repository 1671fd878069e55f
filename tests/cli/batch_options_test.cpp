#include "cli/batch_options.h"
#include "main/form1.h"
#include "main/picture_naming.h"
#include "main/target_size.h"
#include "support/scripted_services.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

using Args = std::vector<std::string>;

TEST(BatchArgs, ReadsEveryFlag) {
    const ParsedArgs p =
        ParseBatchArgs({"--action", "4", "--name", "--x", "--date", "2", "--time", "--size",
                        "800x600", "--no-keep-aspect", "--quality", "80", "--convert", "PNG",
                        "--no-exif", "a.jpg", "--", "--odd.jpg"});
    ASSERT_TRUE(p.options) << p.error;
    const BatchOptions& o = *p.options;
    EXPECT_EQ(o.action, 4);
    EXPECT_EQ(o.name, "--x"); // a name may look like a flag
    EXPECT_EQ(o.dateFormat, 2);
    EXPECT_TRUE(o.timeStamp);
    EXPECT_EQ(o.size, (std::pair<std::string, std::string>("800", "600")));
    EXPECT_EQ(o.keepAspect, false);
    EXPECT_EQ(o.quality, "80");
    EXPECT_EQ(o.conversion, 5);
    EXPECT_EQ(o.keepExif, false);
    EXPECT_EQ(o.pictures, (Args{"a.jpg", "--odd.jpg"}));

    // The watermark flags; --percent goes without --size and keeps a fraction as typed.
    const ParsedArgs w = ParseBatchArgs({"--watermark", "logo.png", "--align=Bottom", "--stretch",
                                         "--transparency", "0", "--percent", "50.5", "a.jpg"});
    ASSERT_TRUE(w.options) << w.error;
    EXPECT_EQ(w.options->watermark, "logo.png");
    EXPECT_EQ(w.options->align, 3);
    EXPECT_TRUE(w.options->stretch);
    EXPECT_EQ(w.options->transparency, 0);
    EXPECT_EQ(w.options->percent, "50.5");
}

// Each case names a picture, so the refusal is the flag's own. A repeated flag is
// checked every time, and a flag whose value is left out takes neither the next
// flag nor a picture as its value.
TEST(BatchArgs, RefusesWrongValues) {
    for (Args args : {Args{"--action", "8"},
                      Args{"--action", "x"},
                      Args{"--date", "9"},
                      Args{"--percent", "0"},
                      Args{"--percent", "101"},
                      Args{"--percent", "abc"},
                      Args{"--size", "800"},
                      Args{"--size", "800x"},
                      Args{"--size", "1234567x10"},
                      Args{"--size", "16385x16384"},
                      Args{"--quality", "0"},
                      Args{"--convert", "heic"},
                      Args{"--time=1"},
                      Args{"--watermark", "w.png", "--align", "left"},
                      Args{"--watermark", "w.png", "--transparency", "4"},
                      Args{"--stretch"},
                      Args{"--watermark", "w.png", "--align", "top", "--align", "middle"},
                      Args{"--jobs", "0"},
                      Args{"--jobs", "two"},
                      Args{"--action"},
                      Args{"--watermark", "--stretch"}}) {
        args.push_back("a.jpg");
        const ParsedArgs p = ParseBatchArgs(args);
        EXPECT_FALSE(p.options) << args[0] << " " << args[1];
        EXPECT_FALSE(p.error.empty());
    }
    EXPECT_EQ(ParseBatchArgs({"--name", "--percent", "50", "a.jpg"}).error, "--name needs a value");
    EXPECT_EQ(ParseBatchArgs({"--action", "2", "a.jpg", "--name"}).error, "--name needs a value");
}

// Alone, the program has nothing to say but its usage; flags without pictures are
// a mistake; --help and --version need no picture. A name that only looks like a
// picture is taken when written with "=".
TEST(BatchArgs, PicturesAndWhatNeedsNone) {
    const ParsedArgs none = ParseBatchArgs({});
    EXPECT_FALSE(none.options);
    EXPECT_EQ(none.error, "");
    EXPECT_EQ(ParseBatchArgs({"--action", "2", "--name", "N"}).error, "no pictures given");
    EXPECT_TRUE(ParseBatchArgs({"--version"}).options);
    EXPECT_TRUE(ParseBatchArgs({"-h"}).options);

    const ParsedArgs p = ParseBatchArgs({"--name=b.jpg", "--jobs", "3", "-q", "a.jpg"});
    ASSERT_TRUE(p.options) << p.error;
    EXPECT_EQ(p.options->name, "b.jpg");
    EXPECT_EQ(p.options->jobs, 3);
    EXPECT_TRUE(p.options->quiet);
    EXPECT_EQ(ParseBatchArgs({"a.jpg"}).options->jobs, 0); // one per processor
    // The largest size a picture may have is still accepted.
    EXPECT_TRUE(ParseBatchArgs({"--size", "16384x16384", "a.jpg"}).options);
}

// The help's examples are what the naming and the sizes really give, and what it
// calls the defaults is what a run starts from: the window's own values.
TEST(BatchArgs, HelpMatchesTheWindowAndWhatARunMakes) {
    testing::ScriptedServices services;
    Form1 form(services);
    form.Form_Load();
    const std::string usage = BatchUsage();
    ASSERT_EQ(form.Combo1.ListCount(), 9);
    for (int format = 0; format <= 8; ++format) {
        const std::string name = SplitDateTaken("2024:07:14 18:32:05", format).DateText;
        EXPECT_NE(usage.find(std::to_string(format) + " " + form.Combo1.List(format) + " "),
                  std::string::npos)
            << format;
        EXPECT_NE(usage.find(" " + name + " Trip-001.jpg\n"), std::string::npos) << name;
    }
    SizeRule rule;
    rule.percentage = false;
    rule.width = 160;
    rule.height = 120;
    EXPECT_EQ(TargetPixels(rule, 1000, 900), (BoxPixels{160, 144}));
    EXPECT_NE(usage.find("a 1000x900 picture at\n                      --size 160x120 becomes "
                         "160x144"),
              std::string::npos);

    EXPECT_NE(usage.find("default " + form.Text5.Text() + ", as in the window"), std::string::npos);
    const bool kept = form.Check3.Value() == 1 && form.Check4.Value() == 1;
    EXPECT_EQ(usage.find("JPEG pictures; kept by default") != std::string::npos, kept);
    EXPECT_EQ(usage.find("with --size; kept by default") != std::string::npos, kept);
}

} // namespace
} // namespace zembra
