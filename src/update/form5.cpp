#include "update/form5.h"

namespace zembra {

namespace {

// The layout is drawn in pixels at 96 dpi.
void Place(Control& control, int x, int y, int width, int height) {
    control.MoveInPixels(x, y, width, height);
}

} // namespace

Form5::Form5(UpdateHost& host) : Form("Form5"), host_(host) {
    setCaption("Updates");
    setDesignValues();
    applyLayout();
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Check1.onClick = [this] { Check1_Click(); };
}

void Form5::setDesignValues() {
    Image1.setStretch(true);
    Label2.setCaption("Zembra");
    Label3.setCaption("Your Version:");
    Label4.setCaption("Current Version:");
    Frame2.setCaption("Status");
    Frame1.setCaption("Automatic Updates");
    Check1.setCaption("Check for updates on startup");
    Command2.setCaption("YES");
    Command3.setCaption("NO");
    Command1.setCaption("OK");
    SetVisible({&Command2, &Command3, &Command1}, false);
}

void Form5::applyLayout() {
    Place(Image1, 12, 12, 160, 48);
    Place(Label2, 188, 26, 280, 20);
    Place(Label3, 12, 72, 120, 18);
    Place(Label5, 136, 72, 200, 18);
    Place(Label4, 12, 94, 120, 18);
    Place(Label6, 136, 94, 200, 18);
    Place(Frame2, 8, 120, 464, 74);
    Place(Label7, 10, 20, 444, 46);
    Place(Frame1, 8, 200, 464, 52);
    Place(Check1, 12, 22, 300, 22);
    // "OK" and "NO" share the place at the right; "YES" stands before "NO".
    Place(Command2, 304, 262, 80, 28);
    Place(Command3, 392, 262, 80, 28);
    Place(Command1, 392, 262, 80, 28);
}

std::string Form5::visitLine(const char* purpose) const {
    return "Please visit " + host_.site + " to " + purpose + " latest version.";
}

void Form5::Form_Load() {
    Label5.setCaption(DisplayedRunningVersion());
    Label6.setCaption("Checking Online");
    if (host_.setMainWindowEnabled)
        host_.setMainWindowEnabled(false);
    Check1.setValue(host_.main.shared.UpdateOnStartup == 1 ? 1 : 0);
    CheckOnline();
}

void Form5::Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    if (host_.setMainWindowEnabled)
        host_.setMainWindowEnabled(true);
    if (onUnload)
        onUnload();
}

void Form5::CheckOnline() {
    transfer_ = FetchVersionFile(host_, [this] { showPublishedVersion(); });
}

void Form5::showPublishedVersion() {
    Read_Version();
    if (VersionNotFound == 1)
        return;
    const std::int16_t published = host_.main.shared.PublishedVersion;
    Label6.setCaption(DisplayedPublishedVersion(published));
    if (RunningVersionNumber() < published) {
        Label7.setCaption("A newer version is currently available.\r\nWould you like to update?");
        SetVisible({&Command2, &Command3}, true);
    } else {
        Label7.setCaption("You are currently running the latest version.");
        Command1.setVisible(true);
    }
}

void Form5::Read_Version() {
    // The dialog reads only three characters after "VER=".
    if (!ReadVersionFile(host_, VersionDigits::ThreeCharacters).failed)
        return;
    Label6.setCaption("Version not found");
    Label7.setCaption("Error checking for updates.\r\n" + visitLine("check for"));
    Command1.setVisible(true);
    VersionNotFound = 1;
}

void Form5::Command2_Click() {
    Label7.setCaption("Downloading Updates. Please Wait...");
    SetVisible({&Command2, &Command3}, false);
    Command1.setCaption("Cancel");
    Command1.setVisible(true);
    // Without a thread for it the download blocks the window; what it says
    // meanwhile must be on screen.
    if (Refresh && !host_.post)
        Refresh();
    DownloadUpdate();
}

void Form5::Command1_Click() {
    // "Cancel" during a download stops it; its partial file goes with it.
    if (transfer_)
        transfer_->Cancel();
    Unload();
}

void Form5::Command3_Click() {
    Unload();
}

void Form5::Check1_Click() {
    host_.main.shared.UpdateOnStartup = Check1.Value() == 1 ? 1 : 2;
}

void Form5::DownloadUpdate() {
    const std::string installer = UpdateInstallerPath(host_.main.shared);
    // Only this download may leave update.exe behind, so its presence means success.
    host_.files.Remove(installer);
    transfer_ = std::make_unique<BackgroundDownload>(
        host_.site + InstallerPath(host_.main.shared.PublishedVersion), installer,
        host_.installerLimits, host_.post, [this](bool) { installerArrived(); });
}

void Form5::installerArrived() {
    host_.services.DoEvents();
    const std::string installer = UpdateInstallerPath(host_.main.shared);
    if (host_.files.Exists(installer)) {
        if (host_.openWithDesktop)
            host_.openWithDesktop(installer);
        if (host_.endProgram)
            host_.endProgram();
        return;
    }
    Command1.setCaption("OK");
    Label7.setCaption("Error downloading updates.\r\n" + visitLine("download"));
}

} // namespace zembra
