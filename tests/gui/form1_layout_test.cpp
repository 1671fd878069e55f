// The main window's layout: every control that ever shows has its own place inside
// its frame, and its text fits at the layout's font and at larger ones.
#include "gui/main_window.h"
#include "gui/widgets.h"
#include "main/form1.h"
#include "support/scripted_services.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <set>

namespace zembra::testing {
namespace {

QRect RectOf(const Control& c) {
    return {c.Left(), c.Top(), c.Width(), c.Height()};
}

// Every control that is visible at some moment of a session: start-up, adding
// pictures, ticking the options that show more controls, and a run.
std::set<const Control*> ControlsEverShown(Form1& form, ScriptedServices& services) {
    std::set<const Control*> shown;
    std::vector<std::pair<Control*, int>> tokens;
    for (Control* control : form.Controls()) {
        if (control->Visible())
            shown.insert(control);
        tokens.emplace_back(control, control->subscribe([&shown](Control& c) {
            if (c.Visible())
                shown.insert(&c);
        }));
    }
    TempDir dir;
    form.Form_Load();
    for (const char* name : {"a.jpg", "b.jpg"}) {
        services.dialogAnswers.push_back(dir.Write(name));
        form.Command7.Click();
    }
    form.Combo2.setListIndex(6);
    form.Check1.setValue(1);
    form.Check6.setValue(1);
    form.Combo2.setListIndex(1);
    form.Text1.setText("Trip");
    form.Command1.Click();
    for (auto [control, token] : tokens)
        control->unsubscribe(token);
    return shown;
}

TEST(Form1Layout, EveryControlThatShowsHasItsOwnPlaceInsideItsFrame) {
    ScriptedServices services;
    Form1 form(services);
    const std::set<const Control*> shown = ControlsEverShown(form, services);
    ASSERT_GT(shown.size(), 60u);
    for (const Control* control : shown) {
        const QRect rect = RectOf(*control);
        EXPECT_GT(rect.width(), 0) << control->Name() << " has no place";
        EXPECT_GT(rect.height(), 0) << control->Name() << " has no place";
        if (const Control* frame = control->Parent()) {
            EXPECT_TRUE(QRect(0, 0, frame->Width(), frame->Height()).contains(rect))
                << control->Name() << " reaches outside " << frame->Name();
        }
        for (const Control* other : shown) {
            if (other < control && other->Parent() == control->Parent()) {
                EXPECT_FALSE(rect.intersects(RectOf(*other)))
                    << control->Name() << " overlaps " << other->Name();
            }
        }
    }
}

// The widest texts the window shows: long counters, the widest action.
void ShowWidestTexts(Form1& form) {
    form.Label19.setCaption("Files to Process: 32767");
    form.Label3.setCaption("32767 of 32767 processed - 32767 skipped");
    form.Label28.setCaption("...watermark.png"); // names are cut to "..." and 12
    form.Combo2.setListIndex(7);
}

// The window grows with the font: a window that did not would cut texts at 14 points.
class Form1Fonts : public ::testing::TestWithParam<int> {};

TEST_P(Form1Fonts, EveryTextFitsItsControl) {
    const QFont saved = QApplication::font();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(GetParam());
    QApplication::setFont(font);
    MainWindow window({.scale = 0, .onEnd = {}});
    window.form().Form_Load();
    ShowWidestTexts(window.form());
    for (Control* control : window.form().Controls()) {
        QWidget* widget = window.view().widgetFor(*control);
        if (widget == nullptr)
            continue;
        const std::string& name = control->Name();
        if (auto* label = dynamic_cast<ElidedLabel*>(widget)) {
            EXPECT_FALSE(label->isElided()) << name << ": " << control->Caption().c_str();
        } else if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
            EXPECT_LE(widget->sizeHint().width(), widget->width()) << name;
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            const int title = frame->fontMetrics().horizontalAdvance(frame->title());
            EXPECT_LE(title + 16, frame->width()) << name;
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            EXPECT_LE(combo->sizeHint().width(), combo->width()) << name;
        }
    }
    QApplication::setFont(saved);
}

INSTANTIATE_TEST_SUITE_P(PointSizes, Form1Fonts, ::testing::Values(9, 10, 12, 14));

} // namespace
} // namespace zembra::testing
