#include "cli/batch_options.h"
#include "main/form1.h"
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
                                         "--transparency", "0", "--percent", "50.5"});
    ASSERT_TRUE(w.options) << w.error;
    EXPECT_EQ(w.options->watermark, "logo.png");
    EXPECT_EQ(w.options->align, 3);
    EXPECT_TRUE(w.options->stretch);
    EXPECT_EQ(w.options->transparency, 0);
    EXPECT_EQ(w.options->percent, "50.5");
}

TEST(BatchArgs, RefusesWrongValues) {
    for (const Args& args :
         {Args{"--action", "8"}, Args{"--action", "x"}, Args{"--action"}, Args{"--date", "9"},
          Args{"--percent", "0"}, Args{"--percent", "101"}, Args{"--percent", "abc"},
          Args{"--size", "800"}, Args{"--size", "800x"}, Args{"--size", "1234567x10"},
          Args{"--quality", "0"}, Args{"--convert", "heic"}, Args{"--time=1"}, Args{"--frobnicate"},
          Args{"--size", "80x60", "--percent", "50"},
          Args{"--watermark", "w.png", "--align", "left"},
          Args{"--watermark", "w.png", "--transparency", "4"}, Args{"--stretch"}}) {
        const ParsedArgs p = ParseBatchArgs(args);
        EXPECT_FALSE(p.options) << args.front();
        EXPECT_FALSE(p.error.empty());
    }
}

// What --help calls the defaults is what a run starts from: the window's own values.
TEST(BatchArgs, HelpStatesTheWindowsDefaults) {
    testing::ScriptedServices services;
    Form1 form(services);
    form.Form_Load();
    const std::string usage = BatchUsage();
    EXPECT_NE(usage.find("default " + form.Text5.Text() + ", as in the window"), std::string::npos);
    const bool kept = form.Check3.Value() == 1 && form.Check4.Value() == 1;
    EXPECT_EQ(usage.find("JPEG pictures; kept by default") != std::string::npos, kept);
    EXPECT_EQ(usage.find("with --size; kept by default") != std::string::npos, kept);
}

} // namespace
} // namespace zembra
