// "Process All" and "Process": the batch run over the picture list.
#include "main/conversion_decision.h"
#include "main/form1.h"
#include "main/lookahead.h"

#include "platform/steps.h"
#include "platform/stop_request.h"
#include "platform/text.h"

#include <set>

namespace zembra {

namespace {
constexpr const char* kProcessing = " --- processing";
constexpr std::size_t kProcessingLength = 15;
std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The folders a run opened once are let go when it ends, however it ends.
struct ReleasedAtEnd {
    Files& files;
    explicit ReleasedAtEnd(Files& f) : files(f) {}
    ReleasedAtEnd(const ReleasedAtEnd&) = delete;
    ReleasedAtEnd& operator=(const ReleasedAtEnd&) = delete;
    ~ReleasedAtEnd() { files.ReleaseFolders(); }
};

// A picture's source is opened once for all the steps on it.
struct HeldWhileProcessed {
    Files& files;
    std::string path;
    HeldWhileProcessed(Files& f, std::string p) : files(f), path(std::move(p)) {
        files.HoldSource(path);
    }
    HeldWhileProcessed(const HeldWhileProcessed&) = delete;
    HeldWhileProcessed& operator=(const HeldWhileProcessed&) = delete;
    ~HeldWhileProcessed() { files.LetGoSource(path); }
};

} // namespace

// A run that was killed may have left a temporary file beside its pictures; the
// next run over those folders takes it away before it starts.
void Form1::removeLeftovers(int first, int last) {
    std::set<std::string> folders;
    for (int i = first; i <= last; ++i)
        Step([&] { folders.insert(FolderOf(List3.List(i))); });
    for (const auto& folder : folders)
        Step([&] { files_.RemoveLeftovers(folder); });
}

void Form1::DecideConversion(const std::string& path) {
    const ConversionDecision d =
        DecideConversionFor(path, Combo4.ListIndex(), Combo2.ListIndex(), shared.SourceExtension);
    shared.SourceIsJpeg = d.SourceIsJpeg ? 1 : 0;
    shared.ConversionPending = d.ConversionPending ? 1 : 0;
    shared.TargetExtension = d.TargetExtension;
    shared.SourceExtension = d.SourceExtension;
}

// Replaces the " --- processing" suffix of a list entry by the outcome.
void Form1::markEntry(int index, const std::string& suffix) {
    std::string text = List2.List(index);
    text.erase(text.size() - std::min(text.size(), kProcessingLength));
    List2.setList(index, text + suffix);
}

// Marks one list entry as in hand and processes its picture; a picture whose file
// has gone is counted skipped.
void Form1::processEntry(int index) {
    Step([&] {
        List2.setList(index, List2.List(index) + kProcessing);
        List2.setListIndex(index);
    });
    std::string path;
    Step([&] { path = List3.List(index); });
    const HeldWhileProcessed source(files_, path);
    if (!files_.Exists(path)) {
        Step([&] {
            AddOne(shared.SkippedCount);
            setStatusLine();
            markEntry(index, " --- skipped");
        });
        return;
    }
    DecideConversion(path);
    processpicture(path);
}

// Carries out one row of a plan: only when its source is still the file planned
// and every name it creates is still free; otherwise it is passed by, saying why.
void Form1::applyEntry(const PicturePlan& planned) {
    const int index = shared.CurrentIndex;
    Step([&] {
        List2.setList(index, List2.List(index) + kProcessing);
        List2.setListIndex(index);
    });
    PicturePlan row = planned;
    const HeldWhileProcessed source(files_, row.source);
    const auto passBy = [&](std::string why) {
        row.skipped = true;
        row.quietSkip = row.tellSkip = false;
        row.reason = std::move(why);
    };
    if (!row.skipped) {
        const auto stamp = SourceStamp(row.source);
        if (stamp.first < 0)
            passBy("not found");
        else if (stamp != std::pair(row.sourceBytes, row.sourceModified))
            passBy("changed since it was planned");
        for (const auto& target : row.Targets()) {
            if (!row.skipped && files_.Taken(target))
                passBy(target + " is taken now");
        }
    }
    if (!row.skipped)
        DecideConversion(row.source);
    pictureFailed_ = false;
    shared.ExifBlock.reset();
    keepPlannedNames_ = true;
    carryOut(row);
    keepPlannedNames_ = false;
}

void Form1::ApplyPlan(const std::vector<PicturePlan>& rows) {
    for (const auto& row : rows)
        addPicture(row.source, FileNamePart(row.source));
    refreshAfterAdding();
    if (!ValidateJob(false))
        return;
    runAll([&](int index) { applyEntry(rows[static_cast<std::size_t>(index)]); });
}

void Form1::lockForRun() {
    SetEnabled({&Frame1, &Frame7,  &Command14, &Label28,  &Label30,  &HScroll1, &Combo5,
                &Check7, &Label29, &Check6,    &VScroll1, &VScroll2, &Text2,    &Text4,
                &Text3,  &Text5,   &Label12,   &Label13,  &Label26,  &Combo4},
               false);
    SetVisible({&Label9, &Label10}, false);
    SetEnabled({&Label16, &Label14, &Label15, &Option3, &Option4, &Label1, &Check1, &Check2,
                &Check4, &Check3, &Check8, &Combo1, &Text1, &Frame2, &Frame6, &Combo2, &Frame5,
                &Command1, &Label22},
               false);
    SetVisible({&Command3, &Command4, &Command5, &Command6}, false);
    Frame4.setCaption("Preview");
    SetVisible({&Label20, &Label21}, false);
    Combo3.setEnabled(false);
    Image1.setVisible(false);
}

void Form1::Command1_Click() {
    if (!ValidateJob(false))
        return;
    runAll([&](int index) { processEntry(index); });
}

void Form1::runAll(const std::function<void(int index)>& entry) {
    lockForRun();
    Text2.setText(std::to_string(VScroll1.Value()));
    shared.LogoTick = 9;
    shared.LogoCycle = 1;
    Timer1.setEnabled(true);
    writeconfig();
    shared.CurrentIndex = 0;
    List2.setEnabled(false);
    Label3.setVisible(true);
    int remaining = List2.ListCount();

    const int count = List3.ListCount();
    toldNoTrash_ = false;
    skipReasons_.clear();
    removeLeftovers(0, count - 1);
    const ReleasedAtEnd folders(files_);
    const LookaheadScope lookahead(Lookahead, sizeRule(), lookaheadJobs());
    // A stop request ends the run after the picture in hand; the list keeps the
    // pictures not reached, for the host to report.
    for (int i = 0; i < count && !ending_ && !StopRequested(); ++i) {
        shared.CurrentIndex = i;
        entry(i);
        --remaining;
        setRemainingLine(remaining);
    }
    if (ending_ || StopRequested())
        return;

    Image1.setPicture(nullptr);
    List2.Clear();
    List3.Clear();
    SetEnabled({&List2, &Combo2, &Frame5}, true);
    Label3.setVisible(false);
    ApplyEnablingRule(EnablingRule::RunEnded);
    SetVisible({&Command1, &Label22, &Command11, &Command12}, false);
}

void Form1::Command6_Click() {
    if (!ValidateJob(true))
        return;
    writeconfig();
    const int index = shared.CurrentIndex;
    if (index < 0 || index >= List2.ListCount())
        return; // nothing selected: nothing to process
    List2.setEnabled(false);
    Label3.setVisible(true);
    skipReasons_.clear();
    removeLeftovers(index, index);
    const ReleasedAtEnd folders(files_);
    processEntry(index);
    if (ending_)
        return;
    List2.setEnabled(true);
    shared.ProcessedCount = 0;
    shared.PictureCount = List2.ListCount();
    shared.SkippedCount = 0;
    Label3.setVisible(false);
    setRemainingLine(List2.ListCount());
    setStatusLine();
    if (shared.PictureCount == 0)
        SetVisible({&Command11, &Command12}, false);
}

} // namespace zembra
