// The watermark panel in the window: each change made through its widgets shows
// at once in the preview.
#include "gui/main_window.h"
#include "gui/widgets.h"
#include "imaging/codec.h"
#include "support/temp_dir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace zembra::testing {
namespace {

class WatermarkPanel : public ::testing::Test {
  protected:
    TempDir dir;
    MainWindow window{{.scale = 1.0, .onEnd = {}}};

    void SetUp() override { window.form().Form_Load(); }

    std::string Png(const std::string& name, int w, int h, std::uint32_t pixel) {
        const auto s = Surface::Create(w, h, pixel);
        EXPECT_TRUE(Files::Local().WriteAll(dir / name, EncodePng(*s, {}).value()));
        return dir / name;
    }
    template <class W> W* Widget(const char* name) {
        auto* w = dynamic_cast<W*>(window.view().widgetFor(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Blue of the preview at (x, y): a yellow watermark on white clears it.
    int PreviewBlue(int x, int y) {
        const QImage& shown = Widget<PictureView>("Image1")->image();
        EXPECT_EQ(shown.size(), QSize(64, 48));
        return qBlue(shown.pixel(x, y));
    }
};

TEST_F(WatermarkPanel, EveryChangeShowsInThePreview) {
    Form1& form = window.form();
    ASSERT_TRUE(window.AddPictures({Png("white.png", 64, 48, 0xFFFFFFFFu)}));
    form.Combo2.setListIndex(4); // an action that resizes opens the frame
    Widget<QCheckBox>("Check6")->click();
    EXPECT_FALSE(Widget<QCheckBox>("Check7")->isEnabled()); // "Corner to Corner" stretches

    window.services().QueueOpenAnswer(Png("logo.png", 16, 8, 0xFFFFFF00u));
    Widget<QToolButton>("Command14")->click();
    EXPECT_EQ(form.Label28.Caption(), "logo.png");
    EXPECT_EQ(PreviewBlue(32, 24), 0); // on the diagonal
    EXPECT_EQ(PreviewBlue(1, 1), 255);

    auto* align = Widget<QComboBox>("Combo5");
    align->setCurrentIndex(1);
    Q_EMIT align->activated(1); // "Top"
    EXPECT_TRUE(Widget<QCheckBox>("Check7")->isEnabled());
    EXPECT_EQ(PreviewBlue(32, 2), 0);
    EXPECT_EQ(PreviewBlue(32, 24), 255);

    Widget<QCheckBox>("Check7")->click(); // stretched to 64x32 along the top
    EXPECT_EQ(PreviewBlue(2, 30), 0);

    auto* slider = Widget<QScrollBar>("HScroll1");
    slider->setValue(3); // "0% Transparency" still washes 5/255 of white in
    EXPECT_EQ(PreviewBlue(2, 30), 5);
    EXPECT_EQ(form.Label30.Caption(), "0% Transparency");
    EXPECT_TRUE(slider->isEnabled());
}

} // namespace
} // namespace zembra::testing
