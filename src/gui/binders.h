#pragma once
// One binder per control kind: it makes the control's widget, shows every model
// change at once and feeds the user's input into the model, which runs the
// handlers. A binder that is applying the model to its widget ignores the
// widget's signals, so a change never echoes back into the model.

#include "platform/control.h"

#include <QIcon>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace zembra {

class ImageButton;
class Label;

// Twips to pixels: 15 twips to a pixel, times the view's factor (above 1 when the
// font is larger than the one the layout was made for).
class ViewScale {
  public:
    explicit ViewScale(double factor = 1.0) : factor_(factor) {}
    double factor() const { return factor_; }
    int pixels(int twips) const;
    // Edges are rounded rather than sizes, so neighbouring controls still meet.
    QRect rect(int left, int top, int width, int height) const;

  private:
    double factor_;
};

// What every binder may ask of the view that holds it.
struct BinderContext {
    ViewScale scale;
    // Told when a handler that user input ran failed with an exception.
    std::function<void(const std::string& message)> reportError;
    std::function<QIcon(const Control&)> iconFor;
    std::function<QString(const Control&)> toolTipFor;
};

class Binder {
  public:
    Binder(Control& control, BinderContext& context);
    Binder(const Binder&) = delete;
    Binder& operator=(const Binder&) = delete;
    virtual ~Binder();

    Control& control() const { return control_; }
    // Null for controls without a widget (timers).
    virtual QWidget* widget() const = 0;

  protected:
    // Subscribes to the model and shows it; each binder's constructor ends with it.
    void attach();
    // Runs a change of the model that the user made, unless it is the echo of our
    // own update; afterwards the widget shows the model again, so input the model
    // refuses or rewrites is undone on screen too.
    void userInput(const std::function<void()>& change);
    bool applying() const { return applying_; }
    BinderContext& context() const { return context_; }

    // Model to widget for what is particular to the kind.
    virtual void show() = 0;
    // Shows the whole model now; changes of our own widget are not echoed.
    void refresh();

  private:
    Control& control_;
    BinderContext& context_;
    int token_ = 0;
    bool applying_ = false;
};

// The binder for a control of any kind. `parent` is the widget of the control's
// frame, or the window. `captioned` is the image button a label captions, if any.
std::unique_ptr<Binder> MakeBinder(Control& control, QWidget* parent, BinderContext& context,
                                   ImageButton* captioned = nullptr);

} // namespace zembra
