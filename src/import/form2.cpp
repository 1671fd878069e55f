// The folder import dialog: opening and closing, the drive list and folder tree,
// the folder list and the import itself.
#include "import/form2.h"

#include "exif/upright_block.h"
#include "imaging/upright.h"
#include "import/folder_file.h"
#include "import/import_rules.h"
#include "platform/steps.h"
#include "platform/user_dirs.h"

#include <cstdlib>
#include <filesystem>
#include <utility>

namespace zembra {

Form2::Form2(Form1& main, Services& services, Files& files)
    : Form("Form2"), main_(main), services_(services), files_(files) {
    LoadThumbnail = [this](const std::string& path) {
        FittedPicture fitted = LoadPictureToFit(path, kThumbPixels, kThumbPixels);
        // Thumbnails show pictures upright; the box is square, so the fit holds.
        const int orientation = exif::FileOrientation(files_, path);
        fitted.picture = TurnedUpright(std::move(fitted.picture), orientation);
        if (orientation >= 5)
            std::swap(fitted.naturalWidth, fitted.naturalHeight);
        return fitted;
    };
    // Pictures open the way the main window opens its own.
    OpenPicture = [this](const std::string& path) {
        if (main_.OpenWithDesktop)
            main_.OpenWithDesktop(path);
    };
    DesktopFolder = UserDirectories::Desktop;
    PicturesFolder = UserDirectories::Pictures;
    setCaption("Import Picture Folder(s)");
    setDesignValues();
    applyLayout();
    wireHandlers();
}

void Form2::setDesignValues() {
    Frame2.setCaption("Drive:                       Folder:");
    Frame3.setCaption("Jump To");
    Label11.setCaption("Desktop");
    Label12.setCaption("My Pictures");
    Label7.setCaption("Folder(s) to Import:");
    Label8.setCaption("Add Folder");
    Label6.setCaption("Remove Folder");
    Label4.setCaption("Import Folder(s)");
    Label5.setCaption("Cancel");
    Check1.setCaption("Preview Folder Pictures");
    Frame1.setCaption("Preview");
    for (ImageControl* image : Image1)
        image->setStretch(true);
    for (Label* label : Label1) {
        label->setCaption("Loading...");
        label->setVisible(false);
    }
    Label9.setCaption("Click Here For More Previews");
    Label10.setCaption("End of Previews - Click Here For Beginning");
    SetVisible({&Command4, &Label6, &Command1, &Label4, &Label9, &Label10, &List2, &File1}, false);
    Timer1.setInterval(10);
    Timer1.setEnabled(true);
}

void Form2::wireHandlers() {
    Drive1.onClick = [this] { Drive1_Change(); };
    Dir1.onClick = [this] { Dir1_Click(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    Dir1.onDblClick = [this] { Dir1_DblClick(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    List1.onClick = [this] { List1_Click(); };
    List1.onGotFocus = [this] { List1_GotFocus(); };
    Check1.onClick = [this] { Check1_Click(); };
    Label9.onClick = [this] { Label9_Click(); };
    Label10.onClick = [this] { Label10_Click(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    for (int i = 0; i < 4; ++i)
        Image1[static_cast<std::size_t>(i)]->onDblClick = [this, i] { Image1_DblClick(i); };
}

// [SECTION] Opening and closing

void Form2::Form_Load() {
    StartDelay = 2;
    // The drive list and the folder tree start at the home folder; that is where
    // they are made, not a change the user made.
    const Handler driveChange = std::exchange(Drive1.onClick, nullptr);
    Step([&] { Drive1.Refresh(); });
    Step([&] {
        const char* home = std::getenv("HOME");
        const std::string start = home && *home ? home : "/";
        Drive1.setDrive(start);
        Dir1.setPath(start);
    });
    Drive1.onClick = driveChange;
    Step([&] { File1.setPath(Dir1.Path()); });
    readFolderFile();
    if (!main_.shared.LastDrive.empty()) {
        Step([&] {
            Drive1.setDrive(main_.shared.LastDrive);
            Drive1.Refresh();
        });
    }
    if (!main_.shared.LastFolder.empty()) {
        Step([&] {
            Dir1.setPath(main_.shared.LastFolder);
            Dir1.Refresh();
        });
    }
    Step([&] { services_.DoEvents(); });
    if (closed_)
        return;
    CurrentDrive = Drive1.Drive();
    setCurrentFolder(Dir1.Highlighted());
}

std::string Form2::folderFilePath() const {
    if (!settingsFolder.empty())
        return settingsFolder + "/folder.txt";
    const std::string appData =
        main_.shared.AppDataFolder.empty() ? UserDirectories::Config() : main_.shared.AppDataFolder;
    return appData + "/KVD/folder.txt";
}

void Form2::readFolderFile() {
    const auto bytes = files_.ReadAll(folderFilePath());
    if (!bytes)
        return;
    const std::string text(bytes->begin(), bytes->end());
    // The first value that cannot be applied ends the reading.
    for (const FolderFileLine& line : ParseFolderFile(text)) {
        try {
            if (line.key == "previewfolder=") {
                const auto value = WholeNumber(line.value);
                if (!value)
                    return;
                Check1.setValue(*value);
            } else if (line.key == "lastdrive=") {
                main_.shared.LastDrive = line.value;
            } else if (!line.value.empty()) {
                main_.shared.LastFolder = line.value;
            }
        } catch (const std::exception&) {
            return;
        }
    }
}

void Form2::writeFolderFile() {
    const std::string path = folderFilePath();
    const std::string text = FormatFolderFile(Check1.Value(), Dir1.Highlighted(), Drive1.Drive());
    bool written = false;
    try {
        std::error_code ec;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!std::filesystem::is_directory(folder, ec))
            std::filesystem::create_directories(folder, ec);
        written = files_.WriteAll(path, Bytes(text.begin(), text.end()));
    } catch (const std::exception&) {
        written = false;
    }
    if (!written)
        services_.MsgBox("Error writing config file");
}

void Form2::Form_QueryUnload() {
    if (closed_)
        return;
    closed_ = true;
    Timer1.setEnabled(false);
    writeFolderFile();
    // A load in progress still runs below us; it ends at its next step and the
    // host is told then.
    if (loadDepth_ == 0 && onUnload)
        onUnload();
}

// [SECTION] Drives and folders

void Form2::setCurrentFolder(const std::string& folder) {
    CurrentFolder = folder;
    CurrentFolderSlash = WithSlash(folder);
}

void Form2::Drive1_Change() {
    const std::string previous = Dir1.Highlighted();
    try {
        Dir1.setPath(Drive1.MountPoint());
        Dir1.Refresh();
        CurrentDrive = Drive1.Drive();
        CurrentFolderSlash = WithSlash(File1.Path());
        Label9.setVisible(false);
        ShowPreviews(Dir1.Highlighted());
    } catch (const std::exception&) {
        // A drive that cannot be read: the previous drive and folder come back.
        Step([&] { Drive1.setDrive(CurrentDrive); });
        Step([&] { Dir1.setPath(previous); });
    }
}

void Form2::Dir1_DblClick() {
    Step([&] { Dir1.setPath(Dir1.Highlighted()); });
}

void Form2::jumpTo(const std::string& folder) {
    std::error_code ec;
    // A special folder that does not exist leaves the dialog where it is.
    if (folder.empty() || !std::filesystem::is_directory(folder, ec))
        return;
    Step([&] { Drive1.setDrive(folder); });
    Step([&] { Dir1.setPath(folder); });
}

void Form2::Command5_Click() {
    jumpTo(DesktopFolder ? DesktopFolder() : std::string());
}

void Form2::Command6_Click() {
    jumpTo(PicturesFolder ? PicturesFolder() : std::string());
}

// [SECTION] The folder list

void Form2::Command3_Click() {
    const std::string path = Dir1.Highlighted();
    bool listed = false;
    // Up to and including ListCount, whose entry reads as empty.
    for (int i = 0; i <= List2.ListCount() && !listed; ++i)
        listed = List2.List(i) == path;
    if (!listed) {
        List1.AddItem(FolderDisplayName(path));
        List2.AddItem(path);
        SetVisible({&Command1, &Label4}, true);
        List1.setListIndex(List1.ListCount() - 1);
    }
    // Pressing again takes the next folder down the tree.
    if (Dir1.ListIndex() < Dir1.ListCount() - 1)
        Step([&] { Dir1.setListIndex(Dir1.ListIndex() + 1); });
}

void Form2::List1_Click() {
    SetVisible({&Command4, &Label6}, true);
}

void Form2::List1_GotFocus() {
    if (List1.ListIndex() >= 0)
        SetVisible({&Command4, &Label6}, true);
}

void Form2::Command4_Click() {
    const int i = List1.ListIndex();
    if (i < 0)
        return;
    const int next = i == 0 ? 0 : i - 1;
    List2.RemoveItem(i);
    List1.RemoveItem(i);
    if (List2.ListCount() > 0) {
        List1.setListIndex(next);
    } else {
        SetVisible({&Command4, &Label6, &Command1, &Label4}, false);
        Frame1.setCaption("Preview");
    }
}

void Form2::Command1_Click() {
    for (int f = 0; f < List2.ListCount(); ++f) {
        const std::string folder = List2.List(f);
        // A folder that cannot be listed any more is passed over.
        try {
            File1.setPath(folder);
        } catch (const std::exception&) {
            continue;
        }
        const std::string prefix = WithSlash(folder);
        for (int j = 0; j < File1.ListCount(); ++j) {
            const std::string name = File1.List(j);
            if (IsPictureFile(name))
                Step([&] { main_.AddImportedPicture(prefix + name); });
        }
    }
    Step([&] { main_.RefreshAfterImport(); });
    Form_QueryUnload();
}

void Form2::Command2_Click() {
    Form_QueryUnload();
}

} // namespace zembra
