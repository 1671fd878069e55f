#include "form_fixture.h"

namespace zembra::testing {
namespace {

using JobOptions = FormTest;

TEST_F(JobOptions, EnablingFollowsTheAction) {
    const struct {
        int action;
        bool naming, resizing;
    } cases[] = {{0, false, false}, {1, true, false}, {2, true, false}, {3, false, true},
                 {4, false, true},  {5, true, true},  {6, true, true},  {7, true, true}};
    using Controls = std::initializer_list<const Control*>;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        form.Combo2.setListIndex(c.action);
        for (const Control* n : Controls{&form.Text1, &form.Check1, &form.Check2, &form.Frame2})
            EXPECT_EQ(n->Enabled(), c.naming) << n->Name();
        for (const Control* r : Controls{&form.Frame1, &form.Combo4, &form.Text5, &form.Check3,
                                         &form.Check6, &form.Text2})
            EXPECT_EQ(r->Enabled(), c.resizing) << r->Name();
    }
}

TEST_F(JobOptions, PixelModeEnablesTheSizeFieldsAndTheirPresets) {
    form.Combo2.setListIndex(4);
    EXPECT_FALSE(form.Text3.Enabled()); // "Percentage" is selected
    form.Option4.setValue(true);
    EXPECT_TRUE(form.Text3.Enabled());
    EXPECT_TRUE(form.Check4.Enabled());
    EXPECT_FALSE(form.Text2.Enabled());

    form.Combo3.setListIndex(4);
    EXPECT_EQ(form.Text3.Text(), "800");
    EXPECT_EQ(form.Text4.Text(), "600");
    EXPECT_EQ(form.Combo3.ListIndex(), 4); // the preset stays chosen
    form.Combo3.setListIndex(0);
    EXPECT_EQ(form.Text3.Text(), "800"); // "Custom" keeps the values
    EXPECT_TRUE(form.Text3.HasFocus());
    form.Combo3.setListIndex(1);
    form.Text3.setText("1024"); // typing switches back to "Custom"
    EXPECT_EQ(form.Combo3.ListIndex(), 0);
    form.Option3.setValue(true);
    EXPECT_FALSE(form.Check4.Enabled());
}

TEST_F(JobOptions, StretchWaitsForAnAlignmentWhenTheActionChanges) {
    form.Check6.setValue(1);
    form.Combo5.setListIndex(2);
    form.Combo2.setListIndex(5);
    EXPECT_TRUE(form.Check7.Enabled());
    // After a run the box comes back whatever the alignment.
    form.Combo5.setListIndex(0);
    form.Combo2.setListIndex(6);
    EXPECT_TRUE(form.HScroll1.Enabled());
    EXPECT_FALSE(form.Check7.Enabled()); // "Corner to Corner"
    form.ApplyEnablingRule(Form1::EnablingRule::RunEnded);
    EXPECT_TRUE(form.Check7.Enabled());
}

TEST_F(JobOptions, FieldChecksRefuseBadValues) {
    form.Text2.setText("15");
    EXPECT_EQ(form.VScroll1.Value(), 15);
    form.Text2.setText("150");
    EXPECT_EQ(services.messages.back(), "Only Values Between 1 - 100 Allowed");
    EXPECT_EQ(form.Text2.Text(), "50");
    EXPECT_EQ(form.VScroll1.Value(), 50);
    EXPECT_TRUE(form.Text2.HasFocus());
    EXPECT_EQ(form.Text2.SelLength(), 2); // the reset value is selected, ready to type over
    const std::size_t shown = services.messages.size();
    form.Text2.setText(""); // emptying the field is allowed while typing
    EXPECT_EQ(services.messages.size(), shown);
    EXPECT_EQ(form.VScroll1.Value(), 50);
    form.Text2.setText("abc");
    EXPECT_EQ(services.messages.back(), "Only Values Between 1 - 99 Allowed");
    form.Text5.setText("0");
    EXPECT_EQ(form.Text5.Text(), "100");
    form.Text4.setText("x");
    EXPECT_EQ(services.messages.back(), "Only Numeric Values Allowed");
    EXPECT_EQ(form.Text4.Text(), "");
    EXPECT_TRUE(form.Text4.HasFocus());
    form.VScroll2.setValue(42);
    EXPECT_EQ(form.Text5.Text(), "42");
}

// Each check stops the run with its own message and focus, in a fixed order.
TEST_F(JobOptions, ValidationOrder) {
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(), "No Action Selected!");
    EXPECT_TRUE(form.Combo2.HasFocus());

    form.Combo2.setListIndex(3);
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(), "No Pictures to Process!");

    AddFiles({"a.jpg"});
    form.Check6.setValue(1);
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(), "No watermark image selected!");
    form.Check6.setValue(0);

    // The naming group is disabled for action 3, yet the base name is checked.
    form.Text1.setText("a:b");
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(),
              "Following characters are not allowed: \r\n\\ / : * ? \" < > |\r\nPlease re-enter");
    EXPECT_EQ(form.Text1.Text(), "");
    EXPECT_TRUE(form.Text1.HasFocus());

    form.Option4.setValue(true);
    form.Text4.setText("600");
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(), "Please Enter Width");
    EXPECT_TRUE(form.Text3.HasFocus());
    form.Text3.setText("800");
    form.Text4.setText("");
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(), "Please Enter Height");
    form.Text4.setText("600");
    form.Text5.setText("");
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(), "Only Values Between 1 - 100 Allowed");
    EXPECT_EQ(form.Text5.Text(), "100");

    form.Combo2.setListIndex(2);
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(), "Please enter name for pictures");
    EXPECT_TRUE(form.Text1.HasFocus());
    EXPECT_EQ(dir.Listing(), "a.jpg"); // nothing was touched
}

} // namespace
} // namespace zembra::testing
