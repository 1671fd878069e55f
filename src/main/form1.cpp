#include "main/form1.h"

#include "exif/cls_exif.h"
#include "exif/exif_reader.h"
#include "imaging/gdiplus.h"
#include "main/command_line.h"
#include "main/maker_site.h"
#include "main/settings_file.h"
#include "platform/steps.h"
#include "platform/text.h"

namespace zembra {

namespace {
constexpr const char* kDateFormats[] = {"CCYY, MM-DD", "CCYYMMDD", "CCYY-MM-DD",
                                        "YY-MM-DD",    "YYMMDD",   "MMDDCCYY",
                                        "MM-DD-CCYY",  "MMDDYY",   "MM-DD-YY"};
// New entries go at the end: settings store the index.
constexpr const char* kConversions[] = {"No Conversion",   "Convert to JPG", "Convert to GIF",
                                        "Convert to BMP",  "Convert to TIF", "Convert to PNG",
                                        "Convert to WEBP", "Convert to AVIF"};
constexpr const char* kActions[] = {"******************* Select Action ******************",
                                    "Rename Original",
                                    "Create/Rename Copy",
                                    "Resize/Convert Original",
                                    "Create/Resize/Convert Copy",
                                    "Resize/Rename/Convert Original",
                                    "Create/Resize/Rename/Convert Copy",
                                    "Rename Original & Resize/Rename/Convert Copy"};
constexpr const char* kSizePresets[] = {"Custom",  "1600x1200", "1280x768", "1024x768",
                                        "800x600", "640x480",   "320x200"};
constexpr const char* kAlignments[] = {"Corner to Corner", "Top", "Center", "Bottom"};

constexpr const char* kVersion = "2.4.0";
// The installer an update downloads is named after the version it replaces.
constexpr const char* kLeftoverInstallers[] = {"KVDv240setup.exe", "update.exe"};
constexpr int kLogoInterval = 100; // milliseconds between logo ticks
} // namespace

void AddOne(std::int16_t& counter) {
    if (counter == INT16_MAX)
        throw PlatformError(kOverflow, "Overflow");
    ++counter;
}

void AddOne(std::int32_t& counter) {
    if (counter == INT32_MAX)
        throw PlatformError(kOverflow, "Overflow");
    ++counter;
}

std::int32_t& NameCounterTable::at(std::size_t slot) {
    if (slot >= counters_.size())
        throw PlatformError(kOverflow, "More than " + std::to_string(kSize) +
                                           " different picture dates in one run: "
                                           "this picture is left as it is");
    return counters_[slot];
}

Form1::Form1(Services& services, Files& files) : Form("Form1"), services_(services), files_(files) {
    // Each picture gets a reader of its own, so nothing of one file leaks into the next.
    ReadDateTaken = [this](const std::string& path) -> std::string {
        ExifReader reader(files_);
        reader.Load(path);
        return reader.Tag(36867);
    };
    ProgramFolder = ProgramDataFolder();
    setCaption(std::string("Zembra v") + kVersion);
    setDesignValues();
    applyLayout();
    wireHandlers();
    setUpWatermark();
}

void Form1::setDesignValues() {
    Frame5.setCaption("Action to Perform");
    Frame2.setCaption("New Name");
    Check1.setCaption("Include date of picture");
    Combo1.setVisible(false);
    Frame6.setCaption("jpg/jpeg naming");
    Check2.setCaption("Use time stamp");
    Label1.setCaption("Instead of 001,002...");

    Frame1.setCaption("Resize / Convert");
    Option3.setCaption("Percentage");
    Option3.setValue(true);
    Text2.setText("100");
    VScroll1.setRange(1, 100);
    VScroll1.setValue(100);
    Label12.setCaption("%");
    Option4.setCaption("Pixel Size");
    Label15.setCaption("Width:");
    Text3.setMaxLength(6);
    Label14.setCaption("Height:");
    Text4.setMaxLength(6);
    Check4.setCaption("Keep Aspect Ratio");
    Check4.setValue(1);
    Label13.setCaption("Resized Quality");
    Text5.setText("100");
    Text5.setMaxLength(3);
    Label16.setCaption("%");
    VScroll2.setRange(1, 100);
    VScroll2.setValue(100);
    Label26.setCaption("Convert Image(s)");
    Check3.setCaption("Copy JPG/JPEG EXIF");
    Check3.setValue(1);
    Check8.setCaption("Turn Pictures Upright");

    Frame7.setCaption("Watermark");
    Check6.setCaption("Add Watermark Image");
    Label28.setCaption("[Browse]");
    Label29.setCaption("Align:");
    Check7.setCaption("Stretch/Shrink to Image");
    HScroll1.setRange(0, 3);
    Label30.setCaption("75% Transparency");

    Frame3.setCaption("Pictures to Process");
    Label11.setCaption("Add Pic(s)");
    Label24.setCaption("Add Folder(s)");
    Label18.setCaption("Clear List");
    Label20.setCaption("Remove");
    Label19.setCaption("Files to Process: 0");
    Label3.setCaption("0 of 0 processed - 0 skipped");
    Label3.setVisible(false);

    Frame4.setCaption("Preview");
    Label9.setCaption("prev");
    Label10.setCaption("next");
    Label21.setCaption("Process");
    Label32.setCaption("Preview\r\nNames");
    Check5.setCaption("Enable Preview While Processing");
    Label7.setCaption("(enabled will impact speed)");
    Image1.setStretch(true);

    Frame8.setCaption("Execute");
    Label22.setCaption("Process All");
    Label23.setCaption("Cancel/Quit");

    Label17.setCaption("Ostrel Software");
    Label4.setCaption("Help");
    Label27.setCaption("Updates");
    Picture3.setBorderStyle(PictureBox::vbBSNone);
    Picture3.setAutoRedraw(true);

    // The list buttons and the preview appear once pictures are listed.
    SetVisible({&Command3, &Label20, &Command4, &Label9, &Command5, &Label10, &Command6, &Label21,
                &Command11, &Command12, &Image1, &Command17, &Label32},
               false);
    for (PictureBox* box : {&Picture1, &Picture2, &Picture4}) {
        box->setVisible(false);
        box->setAutoRedraw(true);
    }
    Picture1.setAutoSize(true);
    List1.setVisible(false);
    List3.setVisible(false);
    Timer1.setEnabled(false);
    Timer1.setInterval(kLogoInterval);
}

void Form1::wireHandlers() {
    Combo2.onClick = [this] { Combo2_Click(); };
    Combo3.onClick = [this] { Combo3_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    Command17.onClick = [this] { Command17_Click(); };
    // "Preview Names" is offered wherever "Process" is: with pictures listed, and
    // not during a run.
    Command6.subscribe([this](Control&) {
        Command17.setVisible(Command6.Visible());
        Label32.setVisible(Command6.Visible());
    });
    Command7.onClick = [this] { Command7_Click(); };
    Command8.onClick = [this] { Command8_Click(); };
    Command9.onClick = [this] { fire(ShowImportDialog); };
    Command11.onClick = [this] { Command11_Click(); };
    Command12.onClick = [this] { Command12_Click(); };
    Text2.onChange = [this] { Text2_Change(); };
    Text3.onChange = [this] { Text3_Change(); };
    Text4.onChange = [this] { Text4_Change(); };
    Text5.onChange = [this] { Text5_Change(); };
    VScroll1.onChange = [this] { VScroll1_Change(); };
    VScroll2.onChange = [this] { VScroll2_Change(); };
    Option3.onClick = [this] { Option3_Click(); };
    Option4.onClick = [this] { Option4_Click(); };
    Check1.onClick = [this] { Check1_Click(); };
    List2.onClick = [this] { List2_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Image1.onDblClick = [this] { Image1_DblClick(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Command10.onClick = [this] { Command10_Click(); };
    Command15.onClick = [this] { Command15_Click(); };
    Label17.onClick = [this] { Label17_Click(); };
    // Entering a text field selects its whole text, so typing replaces it.
    for (TextBox* field : {&Text1, &Text2, &Text3, &Text4, &Text5}) {
        field->onGotFocus = [field] {
            if (!field->Text().empty())
                field->setSelection(0, static_cast<int>(field->Text().size()));
        };
    }
}

void Form1::fillOptionLists() {
    for (const char* entry : kDateFormats)
        Combo1.AddItem(entry);
    for (const char* entry : kConversions)
        Combo4.AddItem(entry);
    Combo4.setListIndex(0);
    for (const char* entry : kActions)
        Combo2.AddItem(entry);
    Combo2.setListIndex(0);
    for (const char* entry : kSizePresets)
        Combo3.AddItem(entry);
    Combo3.setListIndex(0);
    for (const char* entry : kAlignments)
        Combo5.AddItem(entry);
    Combo5.setListIndex(0);
}

void Form1::Form_Load(const std::string& commandLine) {
    shared = SharedValues{};
    if (ApplicationDataFolder)
        shared.AppDataFolder = ApplicationDataFolder();
    setCaption(std::string("Zembra v") + kVersion);
    removeLeftoverInstallers();
    if (services_.HasDisplay()) {
        Step([&] {
            cGdiPlus gdip({}, files_);
            Picture3.setPicture(gdip.FilenameToIPicture(ProgramFolder + "/kvd.jpg"));
        });
    }
    Timer1.setEnabled(true);

    std::string text = commandLine;
    if (text == "*") {
        text = services_.ClipboardText();
        services_.ClearClipboard();
    }
    for (const std::string& path : CommandLinePictures(text))
        addPicture(path, FileNamePart(path));
    // Pictures from the command line show the list's buttons as added ones do.
    refreshAfterAdding();
    fillOptionLists();
    readconfig();
    ApplyEnablingRule(EnablingRule::StartUp);
    // An empty quality field cannot move the spin control; it keeps its value.
    Step([&] { VScroll2.setValue(ConfigInteger(Text5.Text())); });
    if (List2.ListCount() == 0) {
        Command1.setVisible(false);
        Label22.setVisible(false);
    }
    if (shared.UpdateOnStartup == 0)
        shared.UpdateOnStartup = 1;
    if (shared.UpdateOnStartup == 1 && CheckVersionAtStartup)
        Step([&] { CheckVersionAtStartup(); });
}

// An update leaves its installer in the settings folder; once the new version
// runs it is of no use. A file that cannot be deleted is left for the next start.
void Form1::removeLeftoverInstallers() {
    if (shared.AppDataFolder.empty())
        return;
    for (const char* name : kLeftoverInstallers) {
        const std::string path = SettingsFolder(shared.AppDataFolder) + "/" + name;
        if (files_.Exists(path))
            files_.Remove(path);
    }
}

void Form1::setStatusLine() {
    Label3.setCaption(std::to_string(shared.ProcessedCount) + " of " +
                      std::to_string(shared.PictureCount) + " processed - " +
                      std::to_string(shared.SkippedCount) + " skipped");
}

void Form1::setRemainingLine(int remaining) {
    Label19.setCaption("Files to Process: " + std::to_string(remaining));
}

void Form1::failed(const std::string& message) {
    pictureFailed_ = true;
    if (onFailure)
        onFailure(message);
}

void Form1::notice(const std::string& message) {
    if (onNotice)
        onNotice(message);
}

void Form1::Command2_Click() {
    Step([&] { writeconfig(); });
    ending_ = true;
    if (onQuit)
        onQuit();
}

void Form1::Command10_Click() {
    if (OpenWithDesktop)
        Step([&] { OpenWithDesktop(ProgramFolder + "/help.htm"); });
}

void Form1::Command15_Click() {
    if (ShowUpdatesDialog)
        Step([&] { ShowUpdatesDialog(); });
}

void Form1::Label17_Click() {
    if (OpenWithDesktop)
        Step([&] { OpenWithDesktop(std::string(kMakerSite) + "/"); });
}

} // namespace zembra
