#include "platform/control.h"

#include "platform/form.h"

#include <algorithm>

namespace zembra {

Control::Control(Form& form, std::string name, ControlKind kind, Control* parent)
    : form_(form), name_(std::move(name)), kind_(kind), parent_(parent) {
    form_.registerControl(this);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    changed();
}

void Control::setVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    changed();
}

void Control::setCaption(std::string caption) {
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    changed();
}

void Control::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed();
}

void Control::MoveInPixels(int x, int y, int width, int height) {
    Move(x * kTwipsPerPixel, y * kTwipsPerPixel, width * kTwipsPerPixel, height * kTwipsPerPixel);
}

void Control::SetFocus() {
    form_.setFocused(this);
    changed();
    fire(onGotFocus);
}

bool Control::HasFocus() const {
    return form_.Focused() == this;
}

int Control::subscribe(Observer observer) {
    observers_.emplace_back(nextToken_, std::move(observer));
    return nextToken_++;
}

void Control::unsubscribe(int token) {
    std::erase_if(observers_, [token](const auto& entry) { return entry.first == token; });
}

void Control::changed() {
    // Copy: an observer may subscribe or unsubscribe while being notified.
    auto observers = observers_;
    for (auto& [token, observer] : observers)
        observer(*this);
}

void SetEnabled(std::initializer_list<Control*> controls, bool enabled) {
    for (Control* control : controls)
        control->setEnabled(enabled);
}

void SetVisible(std::initializer_list<Control*> controls, bool visible) {
    for (Control* control : controls)
        control->setVisible(visible);
}

} // namespace zembra
