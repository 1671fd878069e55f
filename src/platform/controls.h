#pragma once
// The concrete control kinds of the window-system model.

#include "platform/control.h"
#include "platform/surface.h"

#include <memory>
#include <string>
#include <vector>

namespace zembra {

class Label : public Control {
  public:
    Label(Form& form, std::string name, Control* parent = nullptr)
        : Control(form, std::move(name), ControlKind::Label, parent) {}
};

class Frame : public Control {
  public:
    Frame(Form& form, std::string name, Control* parent = nullptr)
        : Control(form, std::move(name), ControlKind::Frame, parent) {}
};

// An image button; its caption is a separate label placed under it.
class ImageButton : public Control {
  public:
    ImageButton(Form& form, std::string name, Control* parent = nullptr)
        : Control(form, std::move(name), ControlKind::ImageButton, parent) {}
    // A user's press: ignored while the button is disabled or hidden.
    void Click();
};

class TextBox : public Control {
  public:
    TextBox(Form& form, std::string name, Control* parent = nullptr)
        : Control(form, std::move(name), ControlKind::TextBox, parent) {}

    const std::string& Text() const { return text_; }
    // Runs onChange only when the text actually changes.
    void setText(std::string text);

    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void setSelection(int start, int length);

    // Longest text a user may type, 0 = no limit; code may set longer texts.
    int MaxLength() const { return maxLength_; }
    void setMaxLength(int length) {
        maxLength_ = length;
        changed();
    }

    Handler onChange;

  private:
    std::string text_;
    int selStart_ = 0, selLength_ = 0;
    int maxLength_ = 0;
};

class CheckBox : public Control {
  public:
    CheckBox(Form& form, std::string name, Control* parent = nullptr)
        : Control(form, std::move(name), ControlKind::CheckBox, parent) {}
    int Value() const { return value_; }
    // 0 cleared, 1 ticked, 2 greyed; runs onClick when the value changes.
    void setValue(int value);

  private:
    int value_ = 0;
};

// Selecting one clears the other option buttons of the same container.
class OptionButton : public Control {
  public:
    OptionButton(Form& form, std::string name, Control* parent = nullptr)
        : Control(form, std::move(name), ControlKind::OptionButton, parent) {}
    bool Value() const { return value_; }
    // true runs onClick when the button was not selected before.
    void setValue(bool value);

  private:
    bool value_ = false;
};

// List and combo boxes share the item model.
class ListControl : public Control {
  public:
    ListControl(Form& form, std::string name, ControlKind kind, Control* parent)
        : Control(form, std::move(name), kind, parent) {}

    int ListCount() const { return static_cast<int>(items_.size()); }
    // All items at once, for hosts that show long lists.
    const std::vector<std::string>& Items() const { return items_; }
    // List(ListCount()) reads as empty; other indices outside the list throw.
    std::string List(int index) const;
    void setList(int index, std::string text);
    void AddItem(std::string text);
    void AddItem(std::string text, int index);
    // Removing the selected item leaves nothing selected.
    void RemoveItem(int index);
    void Clear();

    int ListIndex() const { return listIndex_; }
    // -1 selects nothing; runs onClick when the selection changes.
    void setListIndex(int index);
    // Text of the selected item, empty when nothing is selected.
    std::string Text() const;

  private:
    void checkIndex(int index) const;
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

class ListBox : public ListControl {
  public:
    ListBox(Form& form, std::string name, Control* parent = nullptr)
        : ListControl(form, std::move(name), ControlKind::ListBox, parent) {}
};

class ComboBox : public ListControl {
  public:
    ComboBox(Form& form, std::string name, Control* parent = nullptr)
        : ListControl(form, std::move(name), ControlKind::ComboBox, parent) {}
};

class ScrollBar : public Control {
  public:
    ScrollBar(Form& form, std::string name, Control* parent = nullptr)
        : Control(form, std::move(name), ControlKind::ScrollBar, parent) {}
    int Min() const { return min_; }
    int Max() const { return max_; }
    void setRange(int min, int max);
    int Value() const { return value_; }
    // Outside [Min, Max] throws; runs onChange when the value changes.
    void setValue(int value);
    Handler onChange;

  private:
    int min_ = 0, max_ = 32767, value_ = 0;
};

// An image control: shows a picture, stretched to its own size when asked;
// otherwise it takes the picture's natural size.
class ImageControl : public Control {
  public:
    ImageControl(Form& form, std::string name, Control* parent = nullptr)
        : Control(form, std::move(name), ControlKind::Image, parent) {}
    const PictureRef& Picture() const { return picture_; }
    void setPicture(PictureRef picture);
    bool Stretch() const { return stretch_; }
    void setStretch(bool stretch);

  private:
    PictureRef picture_;
    bool stretch_ = false;
};

// A timer runs onTimer every Interval milliseconds while enabled; the host's
// event loop drives it.
class Timer : public Control {
  public:
    Timer(Form& form, std::string name)
        : Control(form, std::move(name), ControlKind::Timer, nullptr) {
        setVisible(false);
    }
    int Interval() const { return interval_; }
    void setInterval(int ms);
    Handler onTimer;
    void Tick();

  private:
    int interval_ = 0;
};

} // namespace zembra
