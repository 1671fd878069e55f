#pragma once
// The updates dialog: shows this program's and the published version, offers a
// newer version's installer, and holds the "Check for updates on startup" choice.
// Shown without blocking, it keeps the main window disabled while it is open.

#include "platform/controls.h"
#include "platform/form.h"
#include "update/update_check.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace zembra {

class Form5 : public Form {
  public:
    explicit Form5(UpdateHost& host);

    // Runs once when the dialog is created, before it is shown: fills the version
    // labels, disables the main window and checks online.
    void Form_Load();
    // Takes the dialog down: the main window is enabled again, then the host is told.
    void Unload();

    // [SECTION] Controls
    ImageControl Image1{*this, "Image1"}; // the logo
    Label Label2{*this, "Label2"};
    Label Label3{*this, "Label3"};
    Label Label5{*this, "Label5"};
    Label Label4{*this, "Label4"};
    Label Label6{*this, "Label6"};
    Frame Frame2{*this, "Frame2"};
    Label Label7{*this, "Label7", &Frame2};
    Frame Frame1{*this, "Frame1"};
    CheckBox Check1{*this, "Check1", &Frame1};
    ImageButton Command2{*this, "Command2"};
    ImageButton Command3{*this, "Command3"};
    ImageButton Command1{*this, "Command1"};

    // Set when this dialog could not read the version file.
    std::int16_t VersionNotFound = 0;

    // [SECTION] Seams to the host
    // Told once the dialog is unloaded; the host removes its window.
    std::function<void()> onUnload;
    // Paints the dialog at once, before a download blocks the window.
    std::function<void()> Refresh;

    // [SECTION] Handlers and procedures
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Check1_Click();
    void CheckOnline();
    void Read_Version();
    void DownloadUpdate();
    // True while the version file or the installer is coming in.
    bool Downloading() const { return transfer_ && transfer_->Running(); }

  private:
    void setDesignValues();
    void applyLayout();
    std::string visitLine(const char* purpose) const;

    void showPublishedVersion();
    void installerArrived();

    UpdateHost& host_;
    bool unloaded_ = false;
    // The download in hand; destroying it stops the transfer.
    std::unique_ptr<BackgroundDownload> transfer_;
};

} // namespace zembra
