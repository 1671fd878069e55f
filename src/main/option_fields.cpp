// Checks of the typed option values, the spin controls and the resize modes.
#include "main/form1.h"

#include "platform/steps.h"
#include "platform/text.h"

#include <cmath>

namespace zembra {

namespace {

// Shared by the percentage and quality fields: a number from 1 to 100 moves the
// spin control; anything else is refused with a message and the reset value.
void CheckPercentField(Services& services, TextBox& field, ScrollBar& spin,
                       const char* notNumberMessage, const char* resetValue) {
    const std::string& text = field.Text();
    if (text.empty())
        return;
    const char* message = nullptr;
    double value = 0;
    if (!IsNumeric(text)) {
        message = notNumberMessage;
    } else {
        value = NumericValue(text);
        if (value < 1 || value > 100)
            message = "Only Values Between 1 - 100 Allowed";
    }
    if (message) {
        services.MsgBox(message);
        field.setText(resetValue);
        field.SetFocus();
        field.setSelection(0, static_cast<int>(field.Text().size()));
        return;
    }
    spin.setValue(static_cast<int>(std::nearbyint(value)));
}

} // namespace

void Form1::Text2_Change() {
    CheckPercentField(services_, Text2, VScroll1, "Only Values Between 1 - 99 Allowed", "50");
}

void Form1::Text5_Change() {
    CheckPercentField(services_, Text5, VScroll2, "Only Values Between 1 - 100 Allowed", "100");
}

// A typed width or height turns the size preset back to "Custom" (unless a preset
// is writing it) and must be a number of pixels that six digits can write: a
// pasted or remembered "1e9" would make boxes larger than any picture can be.
void Form1::checkPixelField(TextBox& field) {
    if (field.Text().empty())
        return;
    if (shared.SizePresetBusy == 0)
        Combo3.setListIndex(0);
    const char* message = nullptr;
    if (!IsNumeric(field.Text()))
        message = "Only Numeric Values Allowed";
    else if (const double value = NumericValue(field.Text()); !(value >= 1 && value <= 999999))
        message = "Only Values Between 1 - 999999 Allowed";
    if (message) {
        services_.MsgBox(message);
        field.setText("");
        field.SetFocus();
    }
}

void Form1::Text3_Change() {
    checkPixelField(Text3);
}

void Form1::Text4_Change() {
    checkPixelField(Text4);
}

void Form1::VScroll1_Change() {
    Text2.setText(std::to_string(VScroll1.Value()));
}

void Form1::VScroll2_Change() {
    Text5.setText(std::to_string(VScroll2.Value()));
}

void Form1::Option3_Click() {
    if (!Option3.Value())
        return;
    Option4.setValue(false);
    SetEnabled({&Text3, &Text4, &Label14, &Label15, &Combo3}, false);
    SetEnabled({&VScroll1, &Text2, &Label12}, true);
    Check4.setEnabled(false);
}

void Form1::Option4_Click() {
    if (!Option4.Value())
        return;
    Option3.setValue(false);
    SetEnabled({&Text3, &Text4, &Combo3, &Label14, &Label15}, true);
    SetEnabled({&VScroll1, &Text2, &Label12}, false);
    Check4.setEnabled(true);
}

void Form1::Check1_Click() {
    Combo1.setVisible(Check1.Value() == 1);
}

} // namespace zembra
