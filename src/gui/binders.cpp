#include "gui/binders.h"

#include "gui/widgets.h"
#include "platform/controls.h"
#include "platform/picture_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <exception>

namespace zembra {

// [SECTION] Scale

int ViewScale::pixels(int twips) const {
    return static_cast<int>(std::lround(twips * factor_ / kTwipsPerPixel));
}

QRect ViewScale::rect(int left, int top, int width, int height) const {
    const int x = pixels(left);
    const int y = pixels(top);
    return {x, y, std::max(0, pixels(left + width) - x), std::max(0, pixels(top + height) - y)};
}

// [SECTION] Binder

Binder::Binder(Control& control, BinderContext& context) : control_(control), context_(context) {}

Binder::~Binder() {
    if (token_ != 0)
        control_.unsubscribe(token_);
}

void Binder::attach() {
    token_ = control_.subscribe([this](Control&) { refresh(); });
    refresh();
}

void Binder::refresh() {
    QScopedValueRollback guard(applying_, true);
    if (QWidget* w = widget()) {
        const QRect r = context_.scale.rect(control_.Left(), control_.Top(), control_.Width(),
                                            control_.Height());
        if (w->geometry() != r)
            w->setGeometry(r);
        // A widget disabled by its frame is still enabled in its own right; only
        // the control's own flag is mirrored.
        if (w->testAttribute(Qt::WA_ForceDisabled) == control_.Enabled())
            w->setEnabled(control_.Enabled());
        if (w->isHidden() == control_.Visible())
            w->setVisible(control_.Visible());
    }
    show();
}

void Binder::userInput(const std::function<void()>& change) {
    if (applying_)
        return;
    try {
        change();
    } catch (const std::exception& e) {
        if (context_.reportError)
            context_.reportError(e.what());
    }
    refresh();
}

namespace {

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

// Byte offsets of the model's UTF-8 text and positions of Qt's UTF-16 text.
int Utf16Position(const std::string& text, int bytes) {
    bytes = std::clamp(bytes, 0, static_cast<int>(text.size()));
    return static_cast<int>(QString::fromUtf8(text.data(), bytes).size());
}

int Utf8Offset(const QString& text, int position) {
    return static_cast<int>(text.left(position).toUtf8().size());
}

// Brings a widget's items in line with a list control's, changing only what differs,
// so a list never flickers or loses its scroll position for one changed entry.
template <class Count, class TextAt, class SetTextAt, class Append, class RemoveLast>
void SyncItems(const ListControl& list, Count count, TextAt textAt, SetTextAt setTextAt,
               Append append, RemoveLast removeLast) {
    const int wanted = list.ListCount();
    while (count() > wanted)
        removeLast();
    for (int i = 0; i < wanted; ++i) {
        const QString text = ToQString(list.List(i));
        if (i < count()) {
            if (textAt(i) != text)
                setTextAt(i, text);
        } else {
            append(text);
        }
    }
}

// Signals connect to this object's lifetime, so none reaches a binder that is gone.
class WidgetBinder : public Binder {
  public:
    using Binder::Binder;

  protected:
    QObject receiver_;
};

class LabelBinder final : public WidgetBinder {
  public:
    LabelBinder(Control& control, QWidget* parent, BinderContext& context, ImageButton* captioned)
        : WidgetBinder(control, context), label_(new ElidedLabel(parent)), captioned_(captioned) {
        label_->setObjectName(ToQString(control.Name()));
        if (captioned_)
            label_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label_->onClick = [this] { userInput([this] { click(); }); };
        label_->onDoubleClick = [this] { userInput([this] { fire(this->control().onDblClick); }); };
        attach();
    }
    ~LabelBinder() override { label_->onClick = label_->onDoubleClick = nullptr; }
    QWidget* widget() const override { return label_; }

  private:
    // A caption without a handler of its own presses its button, as users expect
    // of a button's text.
    void click() {
        if (control().onClick)
            control().onClick();
        else if (captioned_)
            captioned_->Click();
    }
    void show() override { label_->setText(ToQString(control().Caption())); }

    ElidedLabel* label_;
    ImageButton* captioned_;
};

class TextBoxBinder final : public WidgetBinder {
  public:
    TextBoxBinder(TextBox& box, QWidget* parent, BinderContext& context)
        : WidgetBinder(box, context), box_(box), edit_(new QLineEdit(parent)) {
        edit_->setObjectName(ToQString(box.Name()));
        QObject::connect(edit_, &QLineEdit::textEdited, &receiver_, [this](const QString& text) {
            std::string typed = text.toStdString();
            // Setting the text pulls the model's selection in to the text's end; that
            // is no selection of the model's own, and must not move the caret while
            // the user types. One that a change handler makes still does.
            seenSelection_ = {std::min(box_.SelStart(), static_cast<int>(typed.size())), 0};
            userInput([&] { box_.setText(std::move(typed)); });
            selectionToModel();
        });
        const auto caretMoved = [this] {
            if (!applying())
                selectionToModel();
        };
        QObject::connect(edit_, &QLineEdit::cursorPositionChanged, &receiver_, caretMoved);
        QObject::connect(edit_, &QLineEdit::selectionChanged, &receiver_, caretMoved);
        attach();
    }
    QWidget* widget() const override { return edit_; }

  private:
    void show() override {
        const QString text = ToQString(box_.Text());
        // The limit is for typing: a longer text set by code is shown whole.
        const int limit = box_.MaxLength() > 0
                              ? std::max<int>(box_.MaxLength(), static_cast<int>(text.size()))
                              : 32767;
        if (edit_->maxLength() != limit)
            edit_->setMaxLength(limit);
        if (edit_->text() != text) {
            const int caret = edit_->cursorPosition();
            edit_->setText(text);
            edit_->setCursorPosition(std::min(caret, static_cast<int>(text.size())));
        }
        // Only a selection the model made itself moves the caret; echoing every
        // change would put the caret back while the user types.
        const std::pair selection{box_.SelStart(), box_.SelLength()};
        if (selection != seenSelection_) {
            seenSelection_ = selection;
            const int start = Utf16Position(box_.Text(), selection.first);
            const int end = Utf16Position(box_.Text(), selection.first + selection.second);
            if (end > start)
                edit_->setSelection(start, end - start);
            else
                edit_->setCursorPosition(start);
        }
    }

    void selectionToModel() {
        const QString text = edit_->text();
        int start = edit_->cursorPosition();
        int end = start;
        if (edit_->hasSelectedText()) {
            start = edit_->selectionStart();
            end = start + static_cast<int>(edit_->selectedText().size());
        }
        const int byteStart = Utf8Offset(text, start);
        const std::pair selection{byteStart, Utf8Offset(text, end) - byteStart};
        if (selection == std::pair{box_.SelStart(), box_.SelLength()})
            return;
        seenSelection_ = selection;
        box_.setSelection(selection.first, selection.second);
    }

    TextBox& box_;
    QLineEdit* edit_;
    std::pair<int, int> seenSelection_{0, 0};
};

class CheckBoxBinder final : public WidgetBinder {
  public:
    CheckBoxBinder(CheckBox& check, QWidget* parent, BinderContext& context)
        : WidgetBinder(check, context), check_(check), box_(new QCheckBox(parent)) {
        box_->setObjectName(ToQString(check.Name()));
        // A click ticks a cleared or greyed box and clears a ticked one.
        QObject::connect(box_, &QCheckBox::clicked, &receiver_, [this] {
            userInput([this] { check_.setValue(check_.Value() == 1 ? 0 : 1); });
        });
        attach();
    }
    QWidget* widget() const override { return box_; }

  private:
    void show() override {
        box_->setText(ToQString(check_.Caption()));
        const Qt::CheckState state = check_.Value() == 1   ? Qt::Checked
                                     : check_.Value() == 2 ? Qt::PartiallyChecked
                                                           : Qt::Unchecked;
        if (box_->checkState() != state)
            box_->setCheckState(state);
    }
    CheckBox& check_;
    QCheckBox* box_;
};

class OptionButtonBinder final : public WidgetBinder {
  public:
    OptionButtonBinder(OptionButton& option, QWidget* parent, BinderContext& context)
        : WidgetBinder(option, context), option_(option), radio_(new QRadioButton(parent)) {
        radio_->setObjectName(ToQString(option.Name()));
        // The model clears the other buttons of the container; Qt must not do it
        // on its own, nor clear a selected button that is clicked again.
        radio_->setAutoExclusive(false);
        QObject::connect(radio_, &QRadioButton::clicked, &receiver_,
                         [this] { userInput([this] { option_.setValue(true); }); });
        attach();
    }
    QWidget* widget() const override { return radio_; }

  private:
    void show() override {
        radio_->setText(ToQString(option_.Caption()));
        if (radio_->isChecked() != option_.Value())
            radio_->setChecked(option_.Value());
    }
    OptionButton& option_;
    QRadioButton* radio_;
};

class ComboBoxBinder final : public WidgetBinder {
  public:
    ComboBoxBinder(ComboBox& combo, QWidget* parent, BinderContext& context)
        : WidgetBinder(combo, context), combo_(combo), box_(new QComboBox(parent)) {
        box_->setObjectName(ToQString(combo.Name()));
        QObject::connect(box_, &QComboBox::activated, &receiver_,
                         [this](int index) { userInput([&] { combo_.setListIndex(index); }); });
        attach();
    }
    QWidget* widget() const override { return box_; }

  private:
    void show() override {
        SyncItems(
            combo_, [&] { return box_->count(); }, [&](int i) { return box_->itemText(i); },
            [&](int i, const QString& text) { box_->setItemText(i, text); },
            [&](const QString& text) { box_->addItem(text); },
            [&] { box_->removeItem(box_->count() - 1); });
        if (box_->currentIndex() != combo_.ListIndex())
            box_->setCurrentIndex(combo_.ListIndex());
    }
    ComboBox& combo_;
    QComboBox* box_;
};

// Lists may hold tens of thousands of pictures. Added items are brought in once
// the event loop (or a handler letting messages through) comes round, not one by
// one, and every pass compares against a copy of what the widget shows, so a long
// fill costs one pass per repaint and a changed entry no conversions of the rest.
class ListBoxBinder final : public WidgetBinder {
  public:
    ListBoxBinder(ListBox& list, QWidget* parent, BinderContext& context)
        : WidgetBinder(list, context), list_(list), view_(new QListWidget(parent)) {
        view_->setObjectName(ToQString(list.Name()));
        view_->setSelectionMode(QAbstractItemView::SingleSelection);
        view_->setUniformItemSizes(true);
        // Clicks and the arrow keys both move the selection, as the handlers expect.
        QObject::connect(view_, &QListWidget::currentRowChanged, &receiver_,
                         [this](int row) { userInput([&] { list_.setListIndex(row); }); });
        QObject::connect(view_, &QListWidget::itemDoubleClicked, &receiver_,
                         [this] { userInput([this] { fire(list_.onDblClick); }); });
        syncNow_ = true;
        attach();
        syncNow_ = false;
    }
    QWidget* widget() const override { return view_; }

  private:
    void show() override {
        const int index = list_.ListIndex();
        // Entries added wait for the next pass, unless a selection among them needs
        // them now; any other change costs one quick pass and is shown at once.
        if (syncNow_ || index >= view_->count() || list_.Items().size() <= shown_.size())
            syncItems();
        else
            syncLater();
        if (view_->currentRow() != index)
            view_->setCurrentRow(index);
        if (index < 0)
            view_->clearSelection();
        else if (!view_->item(index)->isSelected())
            view_->item(index)->setSelected(true);
    }

    void syncLater() {
        if (syncPending_)
            return;
        syncPending_ = true;
        QTimer::singleShot(0, &receiver_, [this] {
            syncPending_ = false;
            syncNow_ = true;
            refresh();
            syncNow_ = false;
        });
    }

    void syncItems() {
        const std::vector<std::string>& items = list_.Items();
        while (shown_.size() > items.size()) {
            delete view_->takeItem(view_->count() - 1);
            shown_.pop_back();
        }
        for (std::size_t i = 0; i < shown_.size(); ++i) {
            if (shown_[i] != items[i]) {
                shown_[i] = items[i];
                view_->item(static_cast<int>(i))->setText(ToQString(items[i]));
            }
        }
        if (items.size() > shown_.size()) {
            QStringList added;
            added.reserve(static_cast<qsizetype>(items.size() - shown_.size()));
            for (std::size_t i = shown_.size(); i < items.size(); ++i)
                added << ToQString(items[i]);
            shown_.insert(shown_.end(), items.begin() + static_cast<std::ptrdiff_t>(shown_.size()),
                          items.end());
            view_->addItems(added);
        }
    }

    ListBox& list_;
    QListWidget* view_;
    // The texts the widget shows, item by item.
    std::vector<std::string> shown_;
    bool syncPending_ = false;
    bool syncNow_ = false;
};

class FrameBinder final : public WidgetBinder {
  public:
    FrameBinder(Control& frame, QWidget* parent, BinderContext& context)
        : WidgetBinder(frame, context), box_(new QGroupBox(parent)) {
        box_->setObjectName(ToQString(frame.Name()));
        attach();
    }
    QWidget* widget() const override { return box_; }

  private:
    void show() override { box_->setTitle(ToQString(control().Caption())); }
    QGroupBox* box_;
};

class ScrollBarBinder final : public WidgetBinder {
  public:
    ScrollBarBinder(ScrollBar& scroll, QWidget* parent, BinderContext& context)
        : WidgetBinder(scroll, context), scroll_(scroll) {
        // The layout gives the kind: wider than high runs across; upright and too
        // short for a thumb is a spin control.
        const bool across = scroll.Width() > scroll.Height();
        if (!across && scroll.Height() < 3 * scroll.Width()) {
            spin_ = new SpinArrows(parent);
            spin_->onStep = [this](int step) { userInput([&] { stepBy(step); }); };
            widget_ = spin_;
        } else {
            bar_ = new QScrollBar(across ? Qt::Horizontal : Qt::Vertical, parent);
            bar_->setPageStep(1);
            QObject::connect(bar_, &QScrollBar::valueChanged, &receiver_,
                             [this](int value) { userInput([&] { scroll_.setValue(value); }); });
            widget_ = bar_;
        }
        widget_->setObjectName(ToQString(scroll.Name()));
        attach();
    }
    ~ScrollBarBinder() override {
        if (spin_)
            spin_->onStep = nullptr;
    }
    QWidget* widget() const override { return widget_; }

  private:
    // A spin control steps the number up or down, whichever way the range runs.
    void stepBy(int step) {
        const int low = std::min(scroll_.Min(), scroll_.Max());
        const int high = std::max(scroll_.Min(), scroll_.Max());
        scroll_.setValue(std::clamp(scroll_.Value() + step, low, high));
    }

    void show() override {
        if (!bar_)
            return;
        // A range given high to low puts its maximum first.
        const bool inverted = scroll_.Min() > scroll_.Max();
        bar_->setInvertedAppearance(inverted);
        bar_->setInvertedControls(inverted);
        bar_->setRange(std::min(scroll_.Min(), scroll_.Max()),
                       std::max(scroll_.Min(), scroll_.Max()));
        if (bar_->value() != scroll_.Value())
            bar_->setValue(scroll_.Value());
    }
    ScrollBar& scroll_;
    QWidget* widget_ = nullptr;
    QScrollBar* bar_ = nullptr;
    SpinArrows* spin_ = nullptr;
};

// Picture boxes and image controls. Pixels are copied only while the control is
// visible: hidden working boxes are drawn on constantly and never shown.
class PictureBinder final : public WidgetBinder {
  public:
    PictureBinder(Control& control, QWidget* parent, BinderContext& context)
        : WidgetBinder(control, context), view_(new PictureView(parent)) {
        view_->setObjectName(ToQString(control.Name()));
        view_->onClick = [this] { userInput([this] { fire(this->control().onClick); }); };
        view_->onDoubleClick = [this] { userInput([this] { fire(this->control().onDblClick); }); };
        attach();
    }
    ~PictureBinder() override { view_->onClick = view_->onDoubleClick = nullptr; }
    QWidget* widget() const override { return view_; }

  private:
    void show() override {
        if (!control().Visible()) {
            shown_.reset();
            view_->setImage({});
            return;
        }
        if (control().Kind() == ControlKind::PictureBox) {
            auto& box = static_cast<PictureBox&>(control());
            view_->setFramed(box.BorderStyle() == PictureBox::vbFixedSingle);
            // Drawings reach the box without a new picture object, so every change
            // is copied; the object is not kept, or each drawing would copy it.
            const PictureRef image = box.Image();
            view_->setImage(image ? ToQImage(*image) : QImage());
            return;
        }
        auto& image = static_cast<ImageControl&>(control());
        view_->setStretch(image.Stretch());
        // Picture objects never change, so each is copied once.
        const PictureRef& picture = image.Picture();
        const bool shown = picture ? shown_.lock() == picture : view_->image().isNull();
        if (!shown) {
            shown_ = picture;
            view_->setImage(picture ? ToQImage(*picture) : QImage());
        }
    }
    PictureView* view_;
    std::weak_ptr<const Surface> shown_;
};

class ImageButtonBinder final : public WidgetBinder {
  public:
    ImageButtonBinder(ImageButton& button, QWidget* parent, BinderContext& context)
        : WidgetBinder(button, context), button_(button), tool_(new QToolButton(parent)) {
        tool_->setObjectName(ToQString(button.Name()));
        tool_->setToolButtonStyle(Qt::ToolButtonIconOnly);
        tool_->setAutoRaise(true);
        if (context.iconFor)
            tool_->setIcon(context.iconFor(button));
        if (context.toolTipFor)
            tool_->setToolTip(context.toolTipFor(button));
        QObject::connect(tool_, &QToolButton::clicked, &receiver_,
                         [this] { userInput([this] { button_.Click(); }); });
        attach();
    }
    QWidget* widget() const override { return tool_; }

  private:
    void show() override {
        // Room for the button's own frame around the picture.
        const int side = std::min(tool_->width(), tool_->height()) - 4;
        if (side > 0 && tool_->iconSize() != QSize(side, side))
            tool_->setIconSize({side, side});
        // A button with a caption of its own (a dialog's "OK") shows it as text.
        const QString caption = ToQString(button_.Caption());
        if (tool_->text() != caption) {
            tool_->setText(caption);
            tool_->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                        : Qt::ToolButtonTextOnly);
            tool_->setAutoRaise(caption.isEmpty());
        }
    }
    ImageButton& button_;
    QToolButton* tool_;
};

class TimerBinder final : public Binder {
  public:
    TimerBinder(Timer& timer, BinderContext& context) : Binder(timer, context), timer_(timer) {
        QObject::connect(&clock_, &QTimer::timeout, &clock_,
                         [this] { userInput([this] { timer_.Tick(); }); });
        attach();
    }
    QWidget* widget() const override { return nullptr; }

  private:
    void show() override {
        if (timer_.Enabled() && timer_.Interval() > 0) {
            if (!clock_.isActive() || clock_.interval() != timer_.Interval())
                clock_.start(timer_.Interval());
        } else {
            clock_.stop();
        }
    }
    Timer& timer_;
    QTimer clock_;
};

} // namespace

std::unique_ptr<Binder> MakeBinder(Control& control, QWidget* parent, BinderContext& context,
                                   ImageButton* captioned) {
    switch (control.Kind()) {
    case ControlKind::Label:
        return std::make_unique<LabelBinder>(control, parent, context, captioned);
    case ControlKind::TextBox:
        return std::make_unique<TextBoxBinder>(static_cast<TextBox&>(control), parent, context);
    case ControlKind::CheckBox:
        return std::make_unique<CheckBoxBinder>(static_cast<CheckBox&>(control), parent, context);
    case ControlKind::OptionButton:
        return std::make_unique<OptionButtonBinder>(static_cast<OptionButton&>(control), parent,
                                                    context);
    case ControlKind::ComboBox:
        return std::make_unique<ComboBoxBinder>(static_cast<ComboBox&>(control), parent, context);
    case ControlKind::ListBox:
        return std::make_unique<ListBoxBinder>(static_cast<ListBox&>(control), parent, context);
    case ControlKind::Frame:
        return std::make_unique<FrameBinder>(control, parent, context);
    case ControlKind::ScrollBar:
        return std::make_unique<ScrollBarBinder>(static_cast<ScrollBar&>(control), parent, context);
    case ControlKind::PictureBox:
    case ControlKind::Image:
        return std::make_unique<PictureBinder>(control, parent, context);
    case ControlKind::ImageButton:
        return std::make_unique<ImageButtonBinder>(static_cast<ImageButton&>(control), parent,
                                                   context);
    case ControlKind::Timer:
        return std::make_unique<TimerBinder>(static_cast<Timer&>(control), context);
    }
    return nullptr;
}

} // namespace zembra
