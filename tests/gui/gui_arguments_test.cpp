// The executable's options and the command-line text that follows them.
#include "gui/gui_arguments.h"

#include <gtest/gtest.h>

namespace zembra::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(Arguments, SplitIntoOptionsAndCommandLineText) {
    const struct {
        Strings args;
        std::string commandLine;
        Strings add;
    } cases[] = {
        {{}, "", {}},
        {{"/p/||a.jpg|b.jpg", "and", "more"}, "/p/||a.jpg|b.jpg and more", {}},
        {{"--add", "a.jpg", "pics"}, "", {"a.jpg", "pics"}},
        {{"--add", "a.jpg", "--", "||/x.jpg"}, "||/x.jpg", {"a.jpg"}},
        {{"--", "--add"}, "--add", {}},
        // The text begins at the first argument that is no option.
        {{"x", "--add", "a.jpg"}, "x --add a.jpg", {}},
    };
    for (const auto& c : cases) {
        const GuiArguments parsed = ParseGuiArguments(c.args);
        EXPECT_EQ(parsed.error, "") << c.commandLine;
        EXPECT_EQ(parsed.commandLine, c.commandLine);
        EXPECT_EQ(parsed.add, c.add) << c.commandLine;
    }
}

TEST(Arguments, ReadTheirValuesAndFailOnMissingOrBadOnesAndUnknownOptions) {
    const GuiArguments parsed =
        ParseGuiArguments({"--version", "--screenshot", "w.png", "--font-size", "14", "--help"});
    EXPECT_TRUE(parsed.version);
    EXPECT_TRUE(parsed.help);
    EXPECT_EQ(parsed.screenshot, "w.png");
    EXPECT_EQ(parsed.fontSize, 14);
    const Strings bad[] = {{"--add"},   {"--add", "--version"}, {"--screenshot"},
                           {"--bogus"}, {"--font-size", "12x"}, {"--font-size", "200"}};
    for (const Strings& args : bad)
        EXPECT_NE(ParseGuiArguments(args).error, "") << args.front() << ' ' << args.back();
}

} // namespace
} // namespace zembra::testing
