// The binders: model changes show at once, user input reaches the model once.
#include "gui/form_view.h"
#include "gui/widgets.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/steps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace zembra::testing {
namespace {

// A form with one control of each kind, counting its handlers.
struct SampleForm : Form {
    SampleForm() : Form("Sample") {
        // Positions in pixels times 15.
        frame.Move(150, 150, 4500, 4500);
        text.Move(150, 300, 1500, 300);
        check.Move(150, 750, 1500, 300);
        optionA.Move(150, 1200, 1500, 300);
        optionB.Move(150, 1650, 1500, 300);
        combo.Move(150, 2100, 1500, 300);
        list.Move(1800, 300, 1500, 1500);
        spin.Move(3600, 300, 255, 360);
        spin.setRange(1, 100);
        button.Move(3000, 2100, 600, 600);
        hidden.setVisible(false); // working storage: hidden and never placed

        text.onChange = [this] { ++calls["text"]; };
        check.onClick = [this] { ++calls["check"]; };
        optionA.onClick = [this] { ++calls["optionA"]; };
        optionB.onClick = [this] { ++calls["optionB"]; };
        combo.onClick = [this] { ++calls["combo"]; };
        list.onClick = [this] { ++calls["list"]; };
        spin.onChange = [this] { ++calls["spin"]; };
        button.onClick = [this] { ++calls["button"]; };
    }

    Frame frame{*this, "Frame1"};
    TextBox text{*this, "Text1", &frame};
    CheckBox check{*this, "Check1", &frame};
    OptionButton optionA{*this, "Option1", &frame};
    OptionButton optionB{*this, "Option2", &frame};
    ComboBox combo{*this, "Combo1", &frame};
    ListBox list{*this, "List1", &frame};
    ScrollBar spin{*this, "VScroll1", &frame};
    ImageButton button{*this, "Command1", &frame};
    ListBox hidden{*this, "List2"};
    Timer timer{*this, "Timer1"};

    std::map<std::string, int> calls;
};

class Binding : public ::testing::Test {
  protected:
    SampleForm form;
    std::vector<std::string> errors;
    std::unique_ptr<FormView> view = MakeView(1.0);

    std::unique_ptr<FormView> MakeView(double scale) {
        FormViewOptions options;
        options.scale = scale;
        options.reportError = [this](const std::string& message) { errors.push_back(message); };
        return std::make_unique<FormView>(form, std::move(options));
    }

    template <class W> W* Widget(const Control& control) {
        auto* widget = dynamic_cast<W*>(view->widgetFor(control));
        EXPECT_NE(widget, nullptr) << control.Name();
        return widget;
    }
};

// Check boxes and option buttons take clicks on their indicator and caption only.
void ClickIndicator(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

TEST_F(Binding, TypingRunsTheChangeHandlerOncePerKeyUpToTheLengthLimitAndSelects) {
    // The limit is a design-time property: the view reads it when it is made.
    form.text.setMaxLength(3);
    view = MakeView(1.0);
    auto* edit = Widget<QLineEdit>(form.text);
    QTest::keyClicks(edit, "abcde");
    EXPECT_EQ(form.text.Text(), "abc");
    EXPECT_EQ(form.calls["text"], 3);
    EXPECT_EQ(edit->cursorPosition(), 3); // the caret stays where the user typed
    form.text.setText("Ærø-1234");        // code may set longer texts
    EXPECT_EQ(edit->text(), QString::fromUtf8("Ærø-1234"));
    // Model offsets count UTF-8 bytes: "Ærø" is 5 bytes and 3 characters.
    form.text.setSelection(0, 5);
    EXPECT_EQ(edit->selectedText(), QString::fromUtf8("Ærø"));
    edit->setSelection(4, 4);
    EXPECT_EQ(form.text.SelStart(), 6);
    EXPECT_EQ(form.text.SelLength(), 4);
}

// Typing over a selection moves the caret with the keys; a handler that puts its own
// text back, as option fields do with a bad value, has the last word, selection too.
TEST_F(Binding, TextRewrittenByItsHandlerShowsTheHandlersText) {
    auto* edit = Widget<QLineEdit>(form.text);
    form.text.setText("50");
    form.text.setSelection(0, 2);
    QTest::keyClicks(edit, "150");
    EXPECT_EQ(form.text.Text(), "150");
    EXPECT_EQ(edit->cursorPosition(), 3);

    form.text.setText("50");
    form.calls.clear();
    form.text.onChange = [this] {
        ++form.calls["text"];
        const std::string text = form.text.Text();
        if (text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos) {
            form.text.setText("50");
            form.text.setSelection(0, 2);
        }
    };
    edit->setCursorPosition(2);
    QTest::keyClick(edit, Qt::Key_X);
    EXPECT_EQ(form.text.Text(), "50");
    EXPECT_EQ(edit->text(), "50");
    EXPECT_EQ(form.calls["text"], 2); // the user's edit, then the handler's own
    QTest::keyClicks(edit, "150");
    EXPECT_EQ(form.text.Text(), "50");
    EXPECT_EQ(edit->selectedText(), "50");
}

TEST_F(Binding, ClicksReachTheModelAndRunEachHandlerOnce) {
    form.check.setValue(2); // greyed by code: a click ticks it, the next clears it
    EXPECT_EQ(Widget<QCheckBox>(form.check)->checkState(), Qt::PartiallyChecked);
    ClickIndicator(Widget<QCheckBox>(form.check));
    EXPECT_EQ(form.check.Value(), 1);
    EXPECT_EQ(Widget<QCheckBox>(form.check)->checkState(), Qt::Checked);
    ClickIndicator(Widget<QCheckBox>(form.check));
    EXPECT_EQ(form.check.Value(), 0);

    form.optionA.setValue(true);
    EXPECT_TRUE(Widget<QRadioButton>(form.optionA)->isChecked());
    ClickIndicator(Widget<QRadioButton>(form.optionB));
    ClickIndicator(Widget<QRadioButton>(form.optionB)); // already selected: runs nothing
    EXPECT_TRUE(form.optionB.Value());
    EXPECT_FALSE(form.optionA.Value());
    EXPECT_FALSE(Widget<QRadioButton>(form.optionA)->isChecked());

    for (const char* entry : {"Custom", "1600x1200"})
        form.combo.AddItem(entry);
    form.combo.setListIndex(0);
    auto* combo = Widget<QComboBox>(form.combo);
    EXPECT_EQ(combo->currentText(), "Custom");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(form.combo.ListIndex(), 1);

    // Short upright scroll bars are spin arrows whose upper arrow raises the value.
    auto* spin = Widget<SpinArrows>(form.spin);
    form.spin.setValue(99);
    QTest::mouseClick(spin->upArrow(), Qt::LeftButton);
    EXPECT_EQ(form.spin.Value(), 100);
    QTest::mouseClick(spin->upArrow(), Qt::LeftButton); // at the top: nothing changes
    QTest::mouseClick(spin->downArrow(), Qt::LeftButton);
    EXPECT_EQ(form.spin.Value(), 99);

    QTest::mouseClick(Widget<QToolButton>(form.button), Qt::LeftButton);

    // Code changes ran the handlers too: the greyed tick, option A, the combo's
    // first entry, the spin's 99.
    const std::map<std::string, int> expected{{"check", 3}, {"optionA", 1}, {"optionB", 1},
                                              {"combo", 2}, {"spin", 3},    {"button", 1}};
    EXPECT_EQ(form.calls, expected);
    form.combo.setListIndex(-1);
    EXPECT_EQ(combo->currentIndex(), -1);
}

TEST_F(Binding, ListSelectionGoesBothWays) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        form.list.AddItem(name);
    auto* list = Widget<QListWidget>(form.list);
    form.list.setListIndex(2);
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_TRUE(list->item(2)->isSelected());
    EXPECT_EQ(form.calls["list"], 1);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(form.list.ListIndex(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(form.list.ListIndex(), 1);
    EXPECT_EQ(form.calls["list"], 3);

    // Removing the selected entry leaves nothing selected; Qt would move the
    // current row to a neighbour, which must not reach the model.
    form.list.RemoveItem(1);
    EXPECT_EQ(form.list.ListIndex(), -1);
    EXPECT_EQ(list->item(1)->text(), "c.jpg");
    EXPECT_TRUE(list->selectedItems().isEmpty());
    form.list.Clear();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(form.calls["list"], 3);

    // A long fill reaches the widget once the event loop comes round; an entry
    // changed meanwhile shows its new text.
    for (int i = 0; i < 2000; ++i)
        form.list.AddItem(std::to_string(i));
    form.list.setList(1999, "last");
    QCoreApplication::processEvents();
    ASSERT_EQ(list->count(), 2000);
    EXPECT_EQ(list->item(1999)->text(), "last");
    form.list.setList(0, "first");
    EXPECT_EQ(list->item(0)->text(), "first");
}

TEST_F(Binding, EnabledAndVisibleFollowTheModel) {
    auto* edit = Widget<QLineEdit>(form.text);
    auto* box = Widget<QCheckBox>(form.check);
    form.frame.setCaption("Options");
    EXPECT_EQ(Widget<QGroupBox>(form.frame)->title(), "Options");
    form.text.setEnabled(false);
    EXPECT_FALSE(edit->isEnabled());
    form.text.setVisible(false);
    EXPECT_TRUE(edit->isHidden());

    // A disabled frame blocks its children on screen but leaves their own flags,
    // and enabling it again keeps a child that is disabled in its own right off.
    form.frame.setEnabled(false);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(form.check.Enabled());
    form.frame.setEnabled(true);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(edit->isEnabled());

    // Working storage and timers get no widget; a placed control hidden for now
    // has its widget, ready to be shown.
    EXPECT_EQ(view->widgetFor(form.hidden), nullptr);
    EXPECT_EQ(view->widgetFor(form.timer), nullptr);
    form.button.setVisible(false);
    auto again = MakeView(1.0);
    ASSERT_NE(again->widgetFor(form.button), nullptr);
    EXPECT_TRUE(again->widgetFor(form.button)->isHidden());
}

TEST_F(Binding, ControlsSitWhereTheModelPutsThemAtTheViewsScale) {
    form.text.Move(300, 450, 750, 150);
    auto larger = MakeView(1.5);
    EXPECT_EQ(larger->widgetFor(form.text)->geometry(), QRect(30, 45, 75, 15));
    // The window fits the outermost control with the same margin all round.
    EXPECT_EQ(larger->size(), QSize(15 + 450 + 15, 15 + 450 + 15));

    // Neighbours meet whatever the factor: no gaps or overlaps from rounding.
    const ViewScale scale(1.3);
    for (int left = 0; left < 3000; left += 137)
        EXPECT_EQ(scale.rect(left, 0, 137, 100).right() + 1,
                  scale.rect(left + 137, 0, 137, 100).left())
            << left;
}

TEST_F(Binding, FailingHandlersAreReportedAndTheWidgetShowsTheModel) {
    form.check.onClick = [] { throw PlatformError(380, "Invalid property value"); };
    ClickIndicator(Widget<QCheckBox>(form.check));
    EXPECT_EQ(errors, std::vector<std::string>{"Invalid property value"});
    EXPECT_EQ(Widget<QCheckBox>(form.check)->isChecked(), form.check.Value() == 1);
}

} // namespace
} // namespace zembra::testing
