#pragma once
// The folder import dialog: browse drives and folders, collect folders, import
// the pictures directly inside them into the main window's list, with up to four
// thumbnails of the highlighted folder at a time. The host shows it without
// blocking the main window and destroys it when onUnload says so.

#include "imaging/fit_load.h"
#include "main/form1.h"
#include "platform/controls.h"
#include "platform/folder_controls.h"
#include "platform/form.h"
#include "platform/services.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace zembra {

class Form2 : public Form {
  public:
    Form2(Form1& main, Services& services, Files& files = Files::Local());

    // Opening: restores folder.txt, the remembered drive and folder; the first
    // thumbnails follow on Timer1.
    void Form_Load();
    // Closing, whichever way: writes folder.txt, then asks the host to unload.
    void Form_QueryUnload();

    // [SECTION] Controls
    Frame Frame2{*this, "Frame2"};
    DriveListBox Drive1{*this, "Drive1", &Frame2};
    DirListBox Dir1{*this, "Dir1", &Frame2};
    Frame Frame3{*this, "Frame3", &Frame2};
    ImageButton Command5{*this, "Command5", &Frame3};
    Label Label11{*this, "Label11", &Frame3};
    ImageButton Command6{*this, "Command6", &Frame3};
    Label Label12{*this, "Label12", &Frame3};
    Label Label7{*this, "Label7"};
    ListBox List1{*this, "List1"};
    ImageButton Command3{*this, "Command3"};
    Label Label8{*this, "Label8"};
    ImageButton Command4{*this, "Command4"};
    Label Label6{*this, "Label6"};
    ImageButton Command1{*this, "Command1"};
    Label Label4{*this, "Label4"};
    ImageButton Command2{*this, "Command2"};
    Label Label5{*this, "Label5"};
    CheckBox Check1{*this, "Check1"};
    Frame Frame1{*this, "Frame1"};
    ImageControl Image1_0{*this, "Image1(0)", &Frame1};
    ImageControl Image1_1{*this, "Image1(1)", &Frame1};
    ImageControl Image1_2{*this, "Image1(2)", &Frame1};
    ImageControl Image1_3{*this, "Image1(3)", &Frame1};
    Label Label1_0{*this, "Label1(0)", &Frame1};
    Label Label1_1{*this, "Label1(1)", &Frame1};
    Label Label1_2{*this, "Label1(2)", &Frame1};
    Label Label1_3{*this, "Label1(3)", &Frame1};
    Label Label9{*this, "Label9", &Frame1};
    Label Label10{*this, "Label10", &Frame1};
    // Hidden: the full paths of List1, and the files of one folder.
    ListBox List2{*this, "List2"};
    FileListBox File1{*this, "File1"};
    Timer Timer1{*this, "Timer1"};

    // The control arrays.
    const std::array<ImageControl*, 4> Image1{&Image1_0, &Image1_1, &Image1_2, &Image1_3};
    const std::array<Label*, 4> Label1{&Label1_0, &Label1_1, &Label1_2, &Label1_3};

    // [SECTION] Fields
    int StartDelay = 2;
    std::string CurrentDrive;
    std::string CurrentFolder;
    std::string CurrentFolderSlash;
    std::array<std::string, 4> ThumbPaths;
    std::int16_t NextPreviewStart = 0;

    // [SECTION] Seams to the host
    // Told when the dialog has closed and may be destroyed; never from inside a
    // thumbnail load.
    std::function<void()> onUnload;
    // Opens a picture with the desktop's program for its type.
    std::function<void(const std::string& path)> OpenPicture;
    // Loads one thumbnail at most `box` pixels square.
    std::function<FittedPicture(const std::string& path)> LoadThumbnail;
    // The special folders of "Jump To".
    std::function<std::string()> DesktopFolder;
    std::function<std::string()> PicturesFolder;
    // Where folder.txt lives; empty takes the main window's settings folder.
    std::string settingsFolder;

    bool Closed() const { return closed_; }

    // [SECTION] Handlers
    void Drive1_Change();
    void Dir1_Click();
    void Dir1_Change();
    void Dir1_DblClick();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void List1_Click();
    void List1_GotFocus();
    void Check1_Click();
    void Label9_Click();
    void Label10_Click();
    void Timer1_Timer();
    void Image1_DblClick(int index);

    // [SECTION] Thumbnails
    void ShowPreviews(const std::string& folder);
    void ShowMorePreviews(const std::string& folder);
    void ClearPreviews();

    // Thumbnails are decoded for a square this many pixels wide: twice the slot,
    // so they stay sharp on a scaled-up window.
    static constexpr int kThumbPixels = 2 * 1335 / 15;

  private:
    void setDesignValues();
    void applyLayout();
    void wireHandlers();
    std::string folderFilePath() const;
    void readFolderFile();
    void writeFolderFile();
    void jumpTo(const std::string& folder);
    void setCurrentFolder(const std::string& folder);
    void loadPage(const std::string& folder, int start, bool more);
    void fillSlot(int slot, const std::string& path);

    // The thumbnails of the last pages, so that showing a page again (the first
    // load, then Timer1's) decodes nothing; a changed file is decoded again.
    struct CachedThumb {
        std::uintmax_t size = 0;
        std::int64_t modified = 0;
        FittedPicture picture;
    };
    FittedPicture thumbnail(const std::string& path);
    std::map<std::string, CachedThumb> thumbCache_;

    Form1& main_;
    Services& services_;
    Files& files_;
    bool closed_ = false;
    int loadDepth_ = 0;
    unsigned loadGeneration_ = 0;
};

} // namespace zembra
