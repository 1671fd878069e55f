#pragma once
// A form with one control of each kind, counting its handlers, shown in a view.

#include "gui/form_view.h"
#include "platform/controls.h"
#include "platform/form.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace zembra::testing {

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

class ViewTest : public ::testing::Test {
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

} // namespace zembra::testing
