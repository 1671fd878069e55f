#include "gui/form_view.h"

#include "platform/controls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QScreen>

#include <algorithm>
#include <climits>
#include <exception>

namespace zembra {

namespace {

// Line height of the font the layout was drawn for (9 pt sans at 96 dpi).
constexpr double kLayoutFontHeight = 15.0;

// A caption sits at most this far under its button, in twips.
constexpr int kCaptionReach = 300;

bool WorkingStorage(const Control& control) {
    return control.Kind() != ControlKind::Timer && !control.Visible() && control.Width() == 0 &&
           control.Height() == 0;
}

} // namespace

double FormView::FontScale(const QFont& font) {
    return std::max(1.0, QFontMetricsF(font).height() / kLayoutFontHeight);
}

std::map<const Control*, ImageButton*> FormView::FindCaptions(const Form& form) {
    std::map<const Control*, ImageButton*> captions;
    for (Control* label : form.Controls()) {
        if (label->Kind() != ControlKind::Label)
            continue;
        ImageButton* best = nullptr;
        int bestGap = INT_MAX;
        for (Control* button : form.Controls()) {
            if (button->Kind() != ControlKind::ImageButton || button->Parent() != label->Parent())
                continue;
            const int centre = button->Left() + button->Width() / 2;
            const int gap = label->Top() - (button->Top() + button->Height());
            if (centre < label->Left() || centre > label->Left() + label->Width() || gap < -45 ||
                gap > kCaptionReach || gap >= bestGap)
                continue;
            best = static_cast<ImageButton*>(button);
            bestGap = gap;
        }
        if (best)
            captions[label] = best;
    }
    return captions;
}

FormView::FormView(Form& form, FormViewOptions options, QWidget* parent)
    : QWidget(parent), form_(form), options_(std::move(options)) {
    setObjectName(QString::fromStdString(form.Name()));
    context_.scale = ViewScale(options_.scale > 0 ? options_.scale : FontScale(font()));
    context_.iconFor = options_.iconFor;
    context_.toolTipFor = options_.toolTipFor;
    context_.reportError = options_.reportError;
    build();
    syncCaption();
    focusWatch_ = QObject::connect(qApp, &QApplication::focusChanged, this,
                                   [this](QWidget*, QWidget* now) { focusMovedTo(now); });
    showModelFocus();
}

FormView::~FormView() {
    // Destroying the widgets moves the focus; none of that may reach this view.
    QObject::disconnect(focusWatch_);
    for (auto& [control, token] : focusTokens_)
        control->unsubscribe(token);
    // Binders go before the widgets they hold.
    binders_.clear();
}

void FormView::build() {
    const auto captions = FindCaptions(form_);
    for (Control* control : form_.Controls())
        bind(*control, captions);

    // The window fits its outermost controls with the same margin on every side.
    QRect used;
    for (const auto& [control, widget] : widgets_) {
        if (control->Parent() == nullptr)
            used |= widget->geometry();
    }
    const int margin = std::max(0, std::min(used.left(), used.top()));
    setFixedSize(used.right() + 1 + margin, used.bottom() + 1 + margin);

    for (Control* control : form_.Controls())
        focusTokens_.emplace_back(control,
                                  control->subscribe([this](Control&) { showModelFocus(); }));
}

void FormView::bind(Control& control, const std::map<const Control*, ImageButton*>& captions) {
    if (widgets_.contains(&control) || WorkingStorage(control))
        return;
    QWidget* parent = this;
    if (Control* frame = control.Parent()) {
        bind(*frame, captions);
        if (auto it = widgets_.find(frame); it != widgets_.end())
            parent = it->second;
    }
    const auto caption = captions.find(&control);
    auto binder = MakeBinder(control, parent, context_,
                             caption == captions.end() ? nullptr : caption->second);
    if (!binder)
        return;
    if (QWidget* widget = binder->widget()) {
        widgets_[&control] = widget;
        controls_[widget] = &control;
        // Controls made later are drawn over earlier ones, as in the designer.
        widget->raise();
    }
    binders_.push_back(std::move(binder));
}

QWidget* FormView::widgetFor(const Control& control) const {
    const auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

QWidget* FormView::widgetFor(const std::string& name) const {
    const Control* control = form_.Find(name);
    return control ? widgetFor(*control) : nullptr;
}

Control* FormView::controlFor(const QWidget* widget) const {
    for (; widget != nullptr && widget != this; widget = widget->parentWidget()) {
        if (const auto it = controls_.find(widget); it != controls_.end())
            return it->second;
    }
    return nullptr;
}

void FormView::syncCaption() {
    setWindowTitle(QString::fromStdString(form_.Caption()));
}

void FormView::showModelFocus() {
    Control* focused = form_.Focused();
    if (focused == shownFocus_)
        return;
    shownFocus_ = focused;
    if (QWidget* widget = focused ? widgetFor(*focused) : nullptr)
        widget->setFocus(Qt::OtherFocusReason);
}

void FormView::focusMovedTo(QWidget* widget) {
    if (widget == nullptr || widget->window() != this)
        return;
    Control* control = controlFor(widget);
    if (control == nullptr || form_.Focused() == control)
        return;
    shownFocus_ = control;
    try {
        control->SetFocus();
    } catch (const std::exception& e) {
        if (options_.reportError)
            options_.reportError(e.what());
    }
}

void FormView::closeEvent(QCloseEvent* event) {
    if (options_.onClose && !options_.onClose())
        event->ignore();
    else
        event->accept();
}

void CentreOn(QWidget& dialog, const QWidget& owner) {
    QRect place(QPoint(), dialog.frameGeometry().size());
    place.moveCenter(owner.frameGeometry().center());
    if (const QScreen* screen = owner.screen()) {
        const QRect room = screen->availableGeometry();
        place.moveLeft(std::max(room.left(), std::min(place.left(), room.right() - place.width())));
        place.moveTop(std::max(room.top(), std::min(place.top(), room.bottom() - place.height())));
    }
    dialog.move(place.topLeft());
}

} // namespace zembra
