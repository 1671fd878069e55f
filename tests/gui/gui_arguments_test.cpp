// The executable's options and the command-line text that follows them.
#include "gui/gui_arguments.h"

#include <gtest/gtest.h>

namespace zembra::testing {
namespace {

using Strings = std::vector<std::string>;

struct ArgumentCase {
    Strings args;
    std::string commandLine;
    Strings add;
    bool failed = false;
};

void PrintTo(const ArgumentCase& c, std::ostream* out) {
    for (const auto& arg : c.args)
        *out << '[' << arg << ']';
}

class Arguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(Arguments, SplitIntoOptionsAndCommandLineText) {
    const GuiArguments parsed = ParseGuiArguments(GetParam().args);
    EXPECT_EQ(!parsed.error.empty(), GetParam().failed) << parsed.error;
    if (GetParam().failed)
        return;
    EXPECT_EQ(parsed.commandLine, GetParam().commandLine);
    EXPECT_EQ(parsed.add, GetParam().add);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Arguments,
    ::testing::Values(
        ArgumentCase{{}, "", {}}, ArgumentCase{{"||/a.jpg|/b c.jpg"}, "||/a.jpg|/b c.jpg", {}},
        ArgumentCase{{"/p/||a.jpg|b.jpg", "and", "more"}, "/p/||a.jpg|b.jpg and more", {}},
        ArgumentCase{{"*"}, "*", {}},
        ArgumentCase{{"--add", "a.jpg", "pics"}, "", {"a.jpg", "pics"}},
        ArgumentCase{{"--add", "a.jpg", "--", "||/x.jpg"}, "||/x.jpg", {"a.jpg"}},
        ArgumentCase{{"--", "--add"}, "--add", {}},
        // The text begins at the first argument that is no option.
        ArgumentCase{{"x", "--add", "a.jpg"}, "x --add a.jpg", {}},
        ArgumentCase{{"--add"}, "", {}, true}, ArgumentCase{{"--add", "--version"}, "", {}, true},
        ArgumentCase{{"--screenshot"}, "", {}, true},
        ArgumentCase{{"--font-size", "12x"}, "", {}, true},
        ArgumentCase{{"--font-size", "200"}, "", {}, true},
        ArgumentCase{{"--bogus"}, "", {}, true}));

TEST(Arguments, ReadTheirValues) {
    const GuiArguments parsed =
        ParseGuiArguments({"--version", "--screenshot", "w.png", "--font-size", "14", "--help"});
    EXPECT_TRUE(parsed.version);
    EXPECT_TRUE(parsed.help);
    EXPECT_EQ(parsed.screenshot, "w.png");
    EXPECT_EQ(parsed.fontSize, 14);
}

} // namespace
} // namespace zembra::testing
