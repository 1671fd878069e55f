#pragma once
// The window-system model: controls with the behaviour the form handlers rely on.
// Setting a value from code runs the control's handler before the setter returns,
// exactly as a user's input would; hosts (Qt, the batch runner, tests) observe
// every change through subscribe().

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace zembra {

class Form;

// Positions are kept in twips; the layouts are drawn in pixels at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

enum class ControlKind {
    Label,
    TextBox,
    CheckBox,
    OptionButton,
    ComboBox,
    ListBox,
    Frame,
    ScrollBar,
    PictureBox,
    Image,
    ImageButton,
    Timer,
};

using Handler = std::function<void()>;

class Control {
  public:
    using Observer = std::function<void(Control&)>;

    Control(Form& form, std::string name, ControlKind kind, Control* parent);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& Name() const { return name_; }
    ControlKind Kind() const { return kind_; }
    Form& Owner() const { return form_; }
    Control* Parent() const { return parent_; }

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void setVisible(bool visible);

    // Caption of labels, frames, check boxes, option buttons and image buttons.
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);

    // Position and size in twips, relative to the parent.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Move(int left, int top, int width, int height);
    // Move, in pixels of a 96 dpi layout.
    void MoveInPixels(int x, int y, int width, int height);

    void SetFocus();
    bool HasFocus() const;

    // Hosts observe every visible change; returns a token for unsubscribe().
    int subscribe(Observer observer);
    void unsubscribe(int token);

    Handler onClick;
    Handler onDblClick;
    Handler onGotFocus;

  protected:
    void changed();

  private:
    Form& form_;
    std::string name_;
    ControlKind kind_;
    Control* parent_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string caption_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::vector<std::pair<int, Observer>> observers_;
    int nextToken_ = 1;
};

// Enables, disables, shows or hides a group of controls in one statement.
void SetEnabled(std::initializer_list<Control*> controls, bool enabled);
void SetVisible(std::initializer_list<Control*> controls, bool visible);

// Runs a handler if one is attached.
inline void fire(const Handler& handler) {
    if (handler)
        handler();
}

} // namespace zembra
