#include "platform/controls.h"

#include "platform/form.h"
#include "platform/steps.h"

namespace zembra {

void ImageButton::Click() {
    if (Enabled() && Visible())
        fire(onClick);
}

void TextBox::setText(std::string text) {
    if (text_ == text)
        return;
    text_ = std::move(text);
    selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
    selLength_ = 0;
    changed();
    fire(onChange);
}

void TextBox::setSelection(int start, int length) {
    selStart_ = start;
    selLength_ = length;
    changed();
}

void CheckBox::setValue(int value) {
    if (value < 0 || value > 2)
        throw PlatformError(kInvalidPropertyValue, "Invalid property value");
    if (value_ == value)
        return;
    value_ = value;
    changed();
    fire(onClick);
}

void OptionButton::setValue(bool value) {
    if (value_ == value)
        return;
    value_ = value;
    if (value) {
        for (Control* other : Owner().Controls()) {
            if (other != this && other->Kind() == ControlKind::OptionButton &&
                other->Parent() == Parent())
                static_cast<OptionButton*>(other)->setValue(false);
        }
    }
    changed();
    if (value)
        fire(onClick);
}

void ListControl::checkIndex(int index) const {
    if (index < 0 || index >= ListCount())
        throw PlatformError(kInvalidArrayIndex, "Invalid property array index");
}

std::string ListControl::List(int index) const {
    if (index == ListCount())
        return {};
    checkIndex(index);
    return items_[static_cast<std::size_t>(index)];
}

void ListControl::setList(int index, std::string text) {
    checkIndex(index);
    items_[static_cast<std::size_t>(index)] = std::move(text);
    changed();
}

void ListControl::AddItem(std::string text) {
    AddItem(std::move(text), ListCount());
}

void ListControl::AddItem(std::string text, int index) {
    if (index < 0 || index > ListCount())
        throw PlatformError(kInvalidArrayIndex, "Invalid property array index");
    items_.insert(items_.begin() + index, std::move(text));
    if (listIndex_ >= index)
        ++listIndex_;
    changed();
}

void ListControl::RemoveItem(int index) {
    checkIndex(index);
    items_.erase(items_.begin() + index);
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    changed();
}

void ListControl::Clear() {
    items_.clear();
    listIndex_ = -1;
    changed();
}

void ListControl::setListIndex(int index) {
    if (index != -1)
        checkIndex(index);
    if (listIndex_ == index)
        return;
    listIndex_ = index;
    changed();
    fire(onClick);
}

std::string ListControl::Text() const {
    return listIndex_ < 0 ? std::string() : items_[static_cast<std::size_t>(listIndex_)];
}

void ScrollBar::setRange(int min, int max) {
    min_ = min;
    max_ = max;
    value_ = std::clamp(value_, std::min(min, max), std::max(min, max));
    changed();
}

void ScrollBar::setValue(int value) {
    if (value < std::min(min_, max_) || value > std::max(min_, max_))
        throw PlatformError(kInvalidPropertyValue, "Invalid property value");
    if (value_ == value)
        return;
    value_ = value;
    changed();
    fire(onChange);
}

void ImageControl::setPicture(PictureRef picture) {
    picture_ = std::move(picture);
    // Without stretching the control takes the picture's natural size (15 twips a
    // pixel); removing the picture keeps the size.
    if (!stretch_ && picture_) {
        Move(Left(), Top(), picture_->Width() * 15, picture_->Height() * 15);
        return;
    }
    changed();
}

void ImageControl::setStretch(bool stretch) {
    stretch_ = stretch;
    changed();
}

void Timer::setInterval(int ms) {
    interval_ = ms;
    changed();
}

void Timer::Tick() {
    if (Enabled() && interval_ > 0)
        fire(onTimer);
}

} // namespace zembra
