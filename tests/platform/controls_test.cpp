#include "platform/controls.h"
#include "platform/form.h"
#include "platform/steps.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

struct Fixture : ::testing::Test {
    Form form{"F"};
    int clicks = 0;
};

TEST_F(Fixture, ValueSettersRunTheirHandlerOnceAndOnlyOnChange) {
    CheckBox box(form, "Check1");
    box.onClick = [&] { ++clicks; };
    box.setValue(1);
    box.setValue(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(box.setValue(3), PlatformError);

    TextBox text(form, "Text1");
    int changes = 0;
    text.onChange = [&] { ++changes; };
    text.setText("a");
    text.setText("a");
    EXPECT_EQ(changes, 1);
}

TEST_F(Fixture, OptionButtonsClearTheirSiblingsOnly) {
    Frame a(form, "FrameA"), b(form, "FrameB");
    OptionButton a1(form, "A1", &a), a2(form, "A2", &a), b1(form, "B1", &b);
    a1.setValue(true);
    b1.setValue(true);
    a2.onClick = [&] { ++clicks; };
    a2.setValue(true);
    EXPECT_FALSE(a1.Value());
    EXPECT_TRUE(a2.Value());
    EXPECT_TRUE(b1.Value());
    EXPECT_EQ(clicks, 1);
}

TEST_F(Fixture, ListsReadPastTheEndAsEmptyRefuseOtherIndicesAndKeepTheSelection) {
    ListBox list(form, "List1");
    list.AddItem("a");
    list.AddItem("c");
    list.AddItem("b", 1);
    EXPECT_EQ(list.List(1), "b");
    EXPECT_EQ(list.List(3), "");
    EXPECT_THROW(list.List(4), PlatformError);
    EXPECT_THROW(list.List(-1), PlatformError);
    EXPECT_THROW(list.setListIndex(3), PlatformError);

    // The selection follows inserts and removals.
    list.onClick = [&] { ++clicks; };
    list.setListIndex(1);
    list.AddItem("z", 0);
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ(list.Text(), "b");
    list.RemoveItem(0);
    EXPECT_EQ(list.ListIndex(), 1);
    list.RemoveItem(1); // the selected entry
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(clicks, 1); // only the user-visible selection change
}

TEST_F(Fixture, ButtonsIgnorePressesWhileDisabledOrHidden) {
    ImageButton button(form, "Command1");
    button.onClick = [&] { ++clicks; };
    button.setEnabled(false);
    button.Click();
    button.setEnabled(true);
    button.setVisible(false);
    button.Click();
    button.setVisible(true);
    button.Click();
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace zembra
