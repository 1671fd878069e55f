#pragma once
// The main window: the job options, the picture list and the batch run. The
// handlers work on the controls only; a host (Qt window, zembra-batch, tests)
// supplies the services and observes the controls.

#include "main/listed_paths.h"
#include "main/picture_plan.h"
#include "main/shared_values.h"
#include "main/target_size.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/form.h"
#include "platform/picture_box.h"
#include "platform/services.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace zembra {

enum class ConfigKey;

class PixelLookahead;
struct LookaheadJob;

class Form1 : public Form {
  public:
    Form1(Services& services, Files& files = Files::Local());

    // Start-up: lists the pictures named on the command line ("*" takes the text
    // from the clipboard), fills the option lists, restores the settings, aligns the
    // enabled state of the option controls with the restored action and asks for
    // the update check.
    void Form_Load(const std::string& commandLine = {});

    // [SECTION] Controls
    // Action
    Frame Frame5{*this, "Frame5"};
    ComboBox Combo2{*this, "Combo2", &Frame5};
    // New name
    Frame Frame2{*this, "Frame2"};
    TextBox Text1{*this, "Text1", &Frame2};
    CheckBox Check1{*this, "Check1", &Frame2};
    ComboBox Combo1{*this, "Combo1", &Frame2};
    Frame Frame6{*this, "Frame6", &Frame2};
    CheckBox Check2{*this, "Check2", &Frame6};
    Label Label1{*this, "Label1", &Frame6};
    // Resize and conversion
    Frame Frame1{*this, "Frame1"};
    OptionButton Option3{*this, "Option3", &Frame1};
    TextBox Text2{*this, "Text2", &Frame1};
    ScrollBar VScroll1{*this, "VScroll1", &Frame1};
    Label Label12{*this, "Label12", &Frame1};
    OptionButton Option4{*this, "Option4", &Frame1};
    ComboBox Combo3{*this, "Combo3", &Frame1};
    Label Label15{*this, "Label15", &Frame1};
    TextBox Text3{*this, "Text3", &Frame1};
    Label Label14{*this, "Label14", &Frame1};
    TextBox Text4{*this, "Text4", &Frame1};
    CheckBox Check4{*this, "Check4", &Frame1};
    Label Label13{*this, "Label13", &Frame1};
    TextBox Text5{*this, "Text5", &Frame1};
    Label Label16{*this, "Label16", &Frame1};
    ScrollBar VScroll2{*this, "VScroll2", &Frame1};
    Label Label26{*this, "Label26", &Frame1};
    ComboBox Combo4{*this, "Combo4", &Frame1};
    CheckBox Check3{*this, "Check3", &Frame1};
    CheckBox Check8{*this, "Check8", &Frame1}; // Turn Pictures Upright
    // Watermark
    Frame Frame7{*this, "Frame7"};
    CheckBox Check6{*this, "Check6", &Frame7};
    Label Label28{*this, "Label28", &Frame7};
    ImageButton Command14{*this, "Command14", &Frame7};
    Label Label29{*this, "Label29", &Frame7};
    ComboBox Combo5{*this, "Combo5", &Frame7};
    CheckBox Check7{*this, "Check7", &Frame7};
    ScrollBar HScroll1{*this, "HScroll1", &Frame7};
    Label Label30{*this, "Label30", &Frame7};
    // Picture list
    Frame Frame3{*this, "Frame3"};
    ListBox List2{*this, "List2", &Frame3};
    ImageButton Command7{*this, "Command7", &Frame3};
    Label Label11{*this, "Label11", &Frame3};
    ImageButton Command9{*this, "Command9", &Frame3};
    Label Label24{*this, "Label24", &Frame3};
    ImageButton Command8{*this, "Command8", &Frame3};
    Label Label18{*this, "Label18", &Frame3};
    ImageButton Command3{*this, "Command3", &Frame3};
    Label Label20{*this, "Label20", &Frame3};
    ImageButton Command11{*this, "Command11", &Frame3};
    ImageButton Command12{*this, "Command12", &Frame3};
    ImageButton Command17{*this, "Command17", &Frame3}; // Preview Names
    Label Label32{*this, "Label32", &Frame3};
    Label Label19{*this, "Label19", &Frame3};
    Label Label3{*this, "Label3", &Frame3};
    // Preview
    Frame Frame4{*this, "Frame4"};
    ImageControl Image1{*this, "Image1", &Frame4};
    ImageButton Command4{*this, "Command4", &Frame4};
    Label Label9{*this, "Label9", &Frame4};
    ImageButton Command5{*this, "Command5", &Frame4};
    Label Label10{*this, "Label10", &Frame4};
    ImageButton Command6{*this, "Command6", &Frame4};
    Label Label21{*this, "Label21", &Frame4};
    CheckBox Check5{*this, "Check5", &Frame4};
    Label Label7{*this, "Label7", &Frame4};
    // Execute
    Frame Frame8{*this, "Frame8"};
    ImageButton Command1{*this, "Command1", &Frame8};
    Label Label22{*this, "Label22", &Frame8};
    ImageButton Command2{*this, "Command2", &Frame8};
    Label Label23{*this, "Label23", &Frame8};
    // Logo, maker, help and updates
    PictureBox Picture3{*this, "Picture3"};
    Label Label17{*this, "Label17"};
    ImageButton Command10{*this, "Command10"};
    Label Label4{*this, "Label4"};
    ImageButton Command15{*this, "Command15"};
    Label Label27{*this, "Label27"};
    // Hidden storage: dates met by the naming, and the full paths of the list.
    ListBox List1{*this, "List1"};
    ListBox List3{*this, "List3"};
    Timer Timer1{*this, "Timer1"};
    // Hidden working surfaces: the source and the target of a resize, and the
    // picture with its watermark.
    PictureBox Picture1{*this, "Picture1"};
    PictureBox Picture2{*this, "Picture2"};
    PictureBox Picture4{*this, "Picture4"};
    // Hidden watermark surfaces: the prepared watermark, its stretched and turned
    // forms, the wash, and two image controls that carry a picture and its size.
    PictureBox Picture5{*this, "Picture5"};
    PictureBox Picture6{*this, "Picture6"};
    PictureBox Picture7{*this, "Picture7"};
    PictureBox Picture8{*this, "Picture8"};
    ImageControl Image2{*this, "Image2"};
    ImageControl Image3{*this, "Image3"};

    SharedValues shared;

    // [SECTION] Seams to later layers and to the host
    // Date and time a picture was taken ("YYYY:MM:DD HH:MM:SS"), empty when unknown.
    std::function<std::string(const std::string& path)> ReadDateTaken;
    // Told of each step that failed; the batch runner prints it, the window does not.
    std::function<void(const std::string& message)> onFailure;
    // Told what the user should know though nothing failed (an original deleted
    // for good where no Trash could take it, what an output left out).
    std::function<void(const std::string& message)> onNotice;
    // Told when the program is to end ("Cancel/Quit").
    std::function<void()> onQuit;
    // The folder import dialog lives in its own module; the host sets this.
    std::function<void()> ShowImportDialog;
    // The update check and the updates dialog live in their own module; the host sets these.
    std::function<void()> CheckVersionAtStartup;
    std::function<void()> ShowUpdatesDialog;
    // Repaints the windows without taking user input; a long fill of the list
    // calls it now and then. Unset, nothing is repainted.
    std::function<void()> RepaintWhileBusy;
    // The folder that holds the settings folder (the user's configuration folder).
    // Unset, start-up leaves it empty and the settings stay in the controls only:
    // tests, and zembra-batch unless it is asked to keep them.
    std::function<std::string()> ApplicationDataFolder;
    // Opens a file or a web address with the desktop's opener; unset, nothing opens.
    std::function<void(const std::string& target)> OpenWithDesktop;
    // Shows the plan of "Process All" ("Preview Names"); unset, nothing is shown.
    std::function<void(const std::vector<PicturePlan>& rows)> ShowPlan;
    // Does the pixel work of upcoming pictures on a second thread during "Process
    // All"; unset (the window), every picture is done in turn on this thread.
    PixelLookahead* Lookahead = nullptr;
    // Where the help page and the logo frames are.
    std::string ProgramFolder;
    // For the folder import dialog: lists a picture unless its exact path is
    // listed already (true when added), and refreshes the window after an import.
    bool AddImportedPicture(const std::string& path);
    void RefreshAfterImport();
    // True once "Cancel/Quit" was pressed: a run in progress stops where it is.
    bool Ending() const { return ending_; }

    // [SECTION] Handlers
    void Combo2_Click();
    void Combo3_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command11_Click();
    void Command12_Click();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    void Text5_Change();
    void VScroll1_Change();
    void VScroll2_Change();
    void Option3_Click();
    void Option4_Click();
    void Check1_Click();
    void List2_Click();
    void Command4_Click();
    void Command5_Click();
    void Image1_DblClick();
    void Timer1_Timer();
    void Command10_Click();
    void Command15_Click();
    void Command17_Click();
    void Label17_Click();

    // [SECTION] Settings file
    void readconfig();
    void writeconfig();
    // The 20 lines writeconfig writes, from the controls as they are now.
    std::vector<std::string> ConfigLines() const;
    // Applies a settings text line by line; false when a value stopped the reading.
    bool ApplyConfig(std::string_view text);

    // [SECTION] Watermark
    // Draws the selected picture with the watermark into Picture4 and fits Image1.
    void placewatermark();
    // Prepares Picture5 from WatermarkFile, washed by the transparency slider.
    void settrans();
    void Check6_Click();
    void Check7_Click();
    void Combo5_Click();
    void HScroll1_Change();
    void Command14_Click();

    // [SECTION] Procedures of the run
    void processpicture(const std::string& path);
    // What processpicture will do with the picture: names it (the counters advance)
    // and checks it, touching no file.
    PicturePlan planpicture(const std::string& path);
    // Carries out a planned picture and marks its list entry.
    void carryOut(const PicturePlan& plan);
    // The plan of "Process All" for the whole list, sizes included; no file is
    // touched and the naming state is left as it was.
    std::vector<PicturePlan> PlanRun();
    // Lists the rows' pictures and carries the rows out as "Process All" would,
    // each only when its source is still the file planned and its names are free.
    void ApplyPlan(const std::vector<PicturePlan>& rows);
    // Why the run passed the entry at `index` by; empty when it did not say.
    std::string SkipReasonOf(int index) const;
    void resizeoriginal(const std::string& source, std::string output);
    void resizecopy(const std::string& source, const std::string& output);

    enum class EnablingRule { ActionChosen, RunEnded, StartUp };
    void ApplyEnablingRule(EnablingRule rule);
    // Checks the options before a run; shows the message and moves the focus on failure.
    bool ValidateJob(bool takeSelectedIndex);
    void DecideConversion(const std::string& path);

  private:
    void wireHandlers();
    void setUpWatermark();
    std::string currentPicture() const;
    bool watermarkReady() const;
    void showWatermarked();
    // placewatermark for the run: false when the picture could not be drawn.
    bool drawWatermarked(const std::string& picture, int orientation = 1);
    void setDesignValues();
    // Positions and sizes of the controls, in twips.
    void applyLayout();
    void fillOptionLists();
    void lockForRun();
    void processEntry(int index);
    void applyEntry(const PicturePlan& row);
    // "Process All" with `entry` doing the work of each list entry.
    void runAll(const std::function<void(int index)>& entry);
    void planSize(PicturePlan& row);
    void removeLeftovers(int first, int last);
    void checkPixelField(TextBox& field);
    void setStatusLine();
    void setRemainingLine(int remaining);
    void refreshAfterAdding();
    // The counts after the list changed; with pictures listed, the first is selected
    // when none is and "Process All" is offered. False when the list is empty.
    bool recountListed();
    void hideListButtons();
    void addPicture(const std::string& path, const std::string& displayText);
    bool isListed(const std::string& path);
    void markEntry(int index, const std::string& suffix);
    void showSelectedPicture();
    void showPreview();
    void placePreview(int pictureWidth, int pictureHeight);
    void removeLeftoverInstallers();
    void applyConfigEntry(ConfigKey key, const std::string& value);
    void failed(const std::string& message);
    void notice(const std::string& message);

    // Per-picture steps
    bool nameTaken(const std::string& name) const;
    bool makeUnique(std::string& name);
    // Runs `place` for `name` until it succeeds; a name that another process
    // took meanwhile gets the dash rule again. False when no name was free.
    bool placeUnder(std::string& name, const std::function<bool(const std::string&)>& place);
    // How an original that made way went; says once per run when it is gone for good.
    bool disposed(Disposal disposal, const std::string& original);
    bool keepExifCondition() const;
    void exifSave(const std::string& path);
    bool keepExif(const std::string& written, const std::string& output);
    // The source's EXIF block for an output whose encoder carries it (WebP, AVIF),
    // when the block is to be kept; null otherwise.
    std::shared_ptr<const Bytes> exifForEncoder(const std::string& source) const;
    bool resizeInto(const std::string& source, std::string& output, int takes, bool durable);
    void sizeTarget(int w, int h);
    SizeRule sizeRule() const;
    std::vector<LookaheadJob> lookaheadJobs() const;
    bool drawResized(const std::string& source, int takes);
    bool streamResized(const std::string& source, std::string& output, bool durable);
    bool saveResized(const std::string& source, std::string& output, bool durable,
                     const std::function<bool(const std::string& temporary)>& write);
    int resizeQuality() const;
    // The EXIF Orientation the source is turned by before resizing: 1 (as stored)
    // unless "Turn Pictures Upright" is on.
    int uprightOrientation(const std::string& source) const;
    // "Turn Pictures Upright" lives in a settings file of its own beside config.txt.
    void readUprightSetting();
    void writeUprightSetting();

    Services& services_;
    Files& files_;
    bool ending_ = false;
    // A step of the current picture failed: it counts as skipped.
    bool pictureFailed_ = false;
    // The run has said that no Trash could take its originals.
    bool toldNoTrash_ = false;
    ListedPaths listed_{List3};
    FillPacer fillPacer_;
    int uprightTurn_ = 1; // the orientation the picture being resized was turned by
    // While a plan is made: the names its earlier rows create and free.
    struct PlannedNames {
        std::unordered_set<std::string> created;
        std::unordered_set<std::string> freed;
    };
    PlannedNames* planned_ = nullptr;
    // A planned run moves files only under the names of its plan.
    bool keepPlannedNames_ = false;
    std::map<int, std::string> skipReasons_;
    // The picture the preview shows, so that a refresh does not decode it again.
    std::string previewShows_;
};

} // namespace zembra
