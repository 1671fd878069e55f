// The main window's layout: every text fits its control at the layout's font and at
// larger ones; so do the folder import dialog's button captions.
#include "gui/main_window.h"
#include "gui/widgets.h"
#include "main/form1.h"
#include "support/scripted_services.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace zembra::testing {
namespace {

// Every placed control sits inside its frame and overlaps none of its neighbours.
TEST(Form1Layout, EveryControlHasItsOwnPlaceInsideItsFrame) {
    ScriptedServices services;
    Form1 form(services);
    auto rectOf = [](const Control& c) { return QRect(c.Left(), c.Top(), c.Width(), c.Height()); };
    int placed = 0;
    for (const Control* control : form.Controls()) {
        const QRect rect = rectOf(*control);
        if (rect.isEmpty())
            continue; // working storage and hidden boxes have no place
        ++placed;
        if (const Control* frame = control->Parent()) {
            EXPECT_TRUE(QRect(0, 0, frame->Width(), frame->Height()).contains(rect))
                << control->Name() << " reaches outside " << frame->Name();
        }
        for (const Control* other : form.Controls()) {
            if (other < control && other->Parent() == control->Parent()) {
                EXPECT_FALSE(rect.intersects(rectOf(*other)))
                    << control->Name() << " overlaps " << other->Name();
            }
        }
    }
    EXPECT_GT(placed, 60);
}

// The window grows with the font: a window that did not would cut texts at 14 points.
// Each test sets the application's font to the point size and restores it after.
class Form1Fonts : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(GetParam());
        QApplication::setFont(font);
    }
    void TearDown() override { QApplication::setFont(saved_); }

  private:
    QFont saved_ = QApplication::font();
};

TEST_P(Form1Fonts, EveryTextFitsItsControl) {
    MainWindow window({.scale = 0, .onEnd = {}});
    Form1& form = window.form();
    form.Form_Load();
    // The widest texts the window shows: long counters, the widest action.
    form.Label19.setCaption("Files to Process: 32767");
    form.Label3.setCaption("32767 of 32767 processed - 32767 skipped");
    form.Label28.setCaption("...watermark.png"); // names are cut to "..." and 12
    form.Combo2.setListIndex(7);
    for (Control* control : form.Controls()) {
        QWidget* widget = window.view().widgetFor(*control);
        if (widget == nullptr)
            continue;
        const std::string& name = control->Name();
        if (auto* label = dynamic_cast<ElidedLabel*>(widget)) {
            EXPECT_FALSE(label->isElided()) << name << ": " << control->Caption().c_str();
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            const int title = frame->fontMetrics().horizontalAdvance(frame->title());
            EXPECT_LE(title + 16, frame->width()) << name;
        } else if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget) ||
                   qobject_cast<QComboBox*>(widget)) {
            EXPECT_LE(widget->sizeHint().width(), widget->width()) << name;
        }
    }
    // The check above trusts isElided(): a caption too long must be cut, and whole
    // in the tooltip.
    const std::string tooLong(200, 'W');
    form.Label19.setCaption(tooLong);
    auto* label = dynamic_cast<ElidedLabel*>(window.view().widgetFor(form.Label19));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isElided());
    EXPECT_EQ(label->toolTip().toStdString(), tooLong);

    // So do the folder import dialog's captions; its folder buttons only show once
    // a folder is chosen, and are measured anyway.
    form.Command9.Click();
    ImportWindow* import = window.importWindow();
    ASSERT_NE(import, nullptr);
    Form2& dialog = import->form();
    for (Label* caption : {&dialog.Label8, &dialog.Label6, &dialog.Label4, &dialog.Label5}) {
        auto* shown = dynamic_cast<ElidedLabel*>(import->view().widgetFor(*caption));
        ASSERT_NE(shown, nullptr);
        EXPECT_FALSE(shown->isElided()) << caption->Caption();
    }
}

INSTANTIATE_TEST_SUITE_P(PointSizes, Form1Fonts, ::testing::Values(9, 10, 12, 14));

} // namespace
} // namespace zembra::testing
