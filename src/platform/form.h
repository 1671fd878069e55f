#pragma once
// A form: a window with its controls, found by name, and the focused control.

#include "platform/control.h"

#include <string>
#include <vector>

namespace zembra {

class Form {
  public:
    explicit Form(std::string name) : name_(std::move(name)) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form() = default;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }

    // Controls in creation order; a form's controls live as long as the form.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* Find(const std::string& name) const;

    Control* Focused() const { return focused_; }

  private:
    friend class Control;
    void registerControl(Control* control) { controls_.push_back(control); }
    void setFocused(Control* control) { focused_ = control; }

    std::string name_;
    std::string caption_;
    std::vector<Control*> controls_;
    Control* focused_ = nullptr;
};

} // namespace zembra
