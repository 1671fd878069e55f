#pragma once
// A form shown as a Qt window: one widget per control, placed where the control
// says, kept in step with the model by the binders. The focus follows the model's
// focused control and the model learns where the user puts the focus.

#include "gui/binders.h"
#include "platform/form.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zembra {

struct FormViewOptions {
    // Pixels per 1/15 of a twip; 0 takes it from the font (see FontScale).
    double scale = 0;
    std::function<QIcon(const Control&)> iconFor;
    std::function<QString(const Control&)> toolTipFor;
    // Told when a handler run by user input fails with an exception.
    std::function<void(const std::string& message)> reportError;
    // Asked when the user closes the window; true lets it close.
    std::function<bool()> onClose;
};

class FormView : public QWidget {
  public:
    explicit FormView(Form& form, FormViewOptions options = {}, QWidget* parent = nullptr);
    ~FormView() override;

    Form& form() const { return form_; }
    // Null for controls without a widget: timers, and working storage (controls
    // hidden and never placed when the view was made).
    QWidget* widgetFor(const Control& control) const;
    QWidget* widgetFor(const std::string& name) const;
    // The control of a widget or of the nearest bound widget around it.
    Control* controlFor(const QWidget* widget) const;
    double scaleFactor() const { return context_.scale.factor(); }

    // The form's caption as window title; forms do not announce caption changes.
    void syncCaption();

    // How much larger than the layout's design font the font is; never below 1, so
    // the layout only ever grows to fit its texts.
    static double FontScale(const QFont& font);

    // The label under an image button is its caption.
    static std::map<const Control*, ImageButton*> FindCaptions(const Form& form);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    void bind(Control& control, const std::map<const Control*, ImageButton*>& captions);
    void showModelFocus();
    void focusMovedTo(QWidget* widget);

    Form& form_;
    FormViewOptions options_;
    BinderContext context_;
    std::vector<std::unique_ptr<Binder>> binders_;
    std::map<const Control*, QWidget*> widgets_;
    std::map<const QWidget*, Control*> controls_;
    std::vector<std::pair<Control*, int>> focusTokens_;
    QMetaObject::Connection focusWatch_;
    Control* shownFocus_ = nullptr;
};

// Centres a dialog on its owner window, kept on the owner's screen. Window
// managers may place it otherwise; without one, this is where it appears.
void CentreOn(QWidget& dialog, const QWidget& owner);

} // namespace zembra
