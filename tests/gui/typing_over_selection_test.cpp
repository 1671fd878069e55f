// Typing over a selected field: the caret follows the keys, and a change handler
// that puts its own text back and selects it still has the last word.
#include "gui_fixture.h"

#include <QLineEdit>
#include <QTest>

namespace zembra::testing {
namespace {

using TypingOverSelection = ViewTest;

TEST_F(TypingOverSelection, CaretFollowsTheKeysUntilAHandlerSelects) {
    auto* edit = Widget<QLineEdit>(form.text);
    form.text.setText("50");
    form.text.setSelection(0, 2);
    QTest::keyClicks(edit, "150");
    EXPECT_EQ(form.text.Text(), "150");
    EXPECT_EQ(edit->cursorPosition(), 3);

    // A field that refuses three digits puts "50" back, selected.
    form.text.onChange = [this] {
        if (form.text.Text().size() > 2) {
            form.text.setText("50");
            form.text.setSelection(0, 2);
        }
    };
    form.text.setSelection(0, 3);
    QTest::keyClicks(edit, "150");
    EXPECT_EQ(form.text.Text(), "50");
    EXPECT_EQ(edit->selectedText(), "50");
}

} // namespace
} // namespace zembra::testing
