// The action list's enabling rule, the size presets and the checks before a run.
#include "main/form1.h"

#include <initializer_list>

namespace zembra {

namespace {

bool Resizes(int action) {
    return action >= 3 && action <= 7;
}
bool Names(int action) {
    return action == 1 || action == 2 || (action >= 5 && action <= 7);
}

constexpr const char* kPresetSizes[][2] = {{"1600", "1200"}, {"1280", "768"}, {"1024", "768"},
                                           {"800", "600"},   {"640", "480"},  {"320", "200"}};

} // namespace

void Form1::Combo2_Click() {
    ApplyEnablingRule(EnablingRule::ActionChosen);
}

// The rule differs by moment: when the user picks an action, the alignment decides
// whether "Stretch/Shrink" may be used; after a run and at start-up it is enabled
// with the other watermark controls; start-up leaves both EXIF and aspect boxes as
// the settings left them.
void Form1::ApplyEnablingRule(EnablingRule rule) {
    const int action = Combo2.ListIndex();
    const bool startUp = rule == EnablingRule::StartUp;
    if (Resizes(action)) {
        SetEnabled({&Frame1, &Frame7, &Check6}, true);
        if (Check6.Value() != 0) {
            SetEnabled({&Label28, &Label30, &HScroll1, &Combo5}, true);
            if (rule != EnablingRule::ActionChosen || Combo5.ListIndex() != 0)
                Check7.setEnabled(true);
            SetEnabled({&Label29, &Command14}, true);
        }
        if (!startUp)
            Check3.setEnabled(true);
        Check8.setEnabled(true);
        SetEnabled({&VScroll2, &Text5, &Label13, &Label26, &Combo4, &Label16, &Option3, &Option4},
                   true);
        if (Option3.Value())
            SetEnabled({&VScroll1, &Text2, &Label12}, true);
        if (Option4.Value()) {
            if (!startUp)
                Check4.setEnabled(true);
            SetEnabled({&Combo3, &Text3, &Text4, &Label15, &Label14}, true);
        }
    } else {
        SetEnabled({&Frame1,  &Frame7, &Command14, &Label28, &Label30, &HScroll1, &Combo5, &Check7,
                    &Label29, &Check6, &Check3,    &Check8,  &Check4,  &VScroll2, &Text5,  &Label13,
                    &Label26, &Combo4, &Label16,   &Option3, &Option4, &VScroll1, &Text2,  &Label12,
                    &Combo3,  &Text3,  &Text4,     &Label15, &Label14},
                   false);
    }
    SetEnabled({&Label1, &Check1, &Check2, &Combo1, &Text1, &Frame2, &Frame6}, Names(action));
}

void Form1::Combo3_Click() {
    // Busy already: typing into Width or Height chose "Custom", and the typing
    // keeps the focus.
    const bool typed = shared.SizePresetBusy != 0;
    shared.SizePresetBusy = 1;
    const int preset = Combo3.ListIndex();
    if (preset == 0) {
        if (Text3.Enabled() && !typed)
            Text3.SetFocus();
    } else if (preset >= 1 && preset <= 6) {
        Text3.setText(kPresetSizes[preset - 1][0]);
        Text4.setText(kPresetSizes[preset - 1][1]);
    }
    shared.SizePresetBusy = 0;
}

bool Form1::ValidateJob(bool takeSelectedIndex) {
    if (Combo2.ListIndex() == 0) {
        services_.MsgBox("No Action Selected!");
        Combo2.SetFocus();
        return false;
    }
    if (takeSelectedIndex)
        shared.CurrentIndex = List2.ListIndex();
    if (List2.ListCount() == 0) {
        services_.MsgBox("No Pictures to Process!");
        return false;
    }
    if (Check6.Value() != 0 && Label28.Caption() == "[Browse]") {
        services_.MsgBox("No watermark image selected!");
        return false;
    }
    if (Text1.Text().find_first_of("\\/:*?\"<>|") != std::string::npos) {
        services_.MsgBox("Following characters are not allowed: \r\n\\ / : * ? \" < > |\r\n"
                         "Please re-enter");
        Text1.setText("");
        Text1.SetFocus();
        return false;
    }
    if (Frame2.Enabled() && Text1.Text().empty()) {
        services_.MsgBox("Please enter name for pictures");
        Text1.SetFocus();
        return false;
    }
    if (Frame1.Enabled()) {
        if (!Option3.Value()) {
            if (Text3.Text().empty()) {
                services_.MsgBox("Please Enter Width");
                Text3.setText("");
                Text3.SetFocus();
                return false;
            }
            if (Text4.Text().empty()) {
                services_.MsgBox("Please Enter Height");
                Text4.setText("");
                Text4.SetFocus();
                return false;
            }
        } else if (Text2.Text().empty()) {
            services_.MsgBox("Only Values Between 1 - 99 Allowed");
            Text2.setText("50");
            Text2.SetFocus();
            return false;
        }
        if (Text5.Text().empty()) {
            services_.MsgBox("Only Values Between 1 - 100 Allowed");
            Text5.setText("100");
            Text5.SetFocus();
            return false;
        }
    }
    return true;
}

} // namespace zembra
