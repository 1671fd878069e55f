#include "cli/batch_job.h"

#include "cli/batch_services.h"
#include "cli/progress_bar.h"
#include "cli/stop_signals.h"
#include "imaging/gdiplus.h"
#include "main/form1.h"
#include "main/lookahead.h"
#include "main/picture_naming.h"
#include "main/picture_plan.h"
#include "platform/config_folder.h"
#include "platform/journalling_files.h"
#include "platform/stop_request.h"

#include <chrono>
#include <set>
#include <sys/stat.h>

namespace zembra {

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Why the run passed a picture by.
std::string SkipReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return "not found";
    if (S_ISDIR(st.st_mode))
        return "is a folder";
    if (!S_ISREG(st.st_mode) || !IsSupportedExtension(ExtensionOf(path)))
        return "not a picture";
    return "no free name for it";
}

// What a run prints as it goes: each picture's line when it ends, failures as they
// happen and, on a terminal, a progress bar on stderr that each line clears first.
class RunReport {
  public:
    RunReport(std::ostream& out, std::ostream& err, int barColumns)
        : out_(out), err_(err), barColumns_(barColumns), start_(std::chrono::steady_clock::now()) {}

    void Started(int total) { drawBar(total); }
    // An empty line prints nothing but still moves the bar.
    void Outcome(const std::string& line, int total) {
        ++done_;
        if (!line.empty()) {
            clearBar();
            out_ << line << std::endl;
        }
        drawBar(total);
    }
    void Failure(const std::string& message) {
        clearBar();
        err_ << message << std::endl;
    }
    void End() { clearBar(); }

  private:
    void drawBar(int total) {
        if (barColumns_ <= 0)
            return;
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
        err_ << '\r' << ProgressBarText(done_, total, elapsed.count(), barColumns_) << std::flush;
        barShown_ = true;
    }
    void clearBar() {
        if (barShown_)
            err_ << "\r\033[K" << std::flush;
        barShown_ = false;
    }

    std::ostream& out_;
    std::ostream& err_;
    const int barColumns_;
    const std::chrono::steady_clock::time_point start_;
    int done_ = 0;
    bool barShown_ = false;
};

} // namespace

bool ApplyOptions(Form1& form, const BatchOptions& o) {
    // Without --action the list keeps what --settings restored, or "no action".
    if (o.action != 0)
        form.Combo2.setListIndex(o.action);
    if (o.name)
        form.Text1.setText(*o.name);
    if (o.dateFormat) {
        form.Check1.setValue(1);
        form.Combo1.setListIndex(*o.dateFormat);
    }
    if (o.timeStamp)
        form.Check2.setValue(1);
    if (o.percent) {
        form.Option3.setValue(true);
        form.Text2.setText(*o.percent);
    }
    if (o.size) {
        form.Option4.setValue(true);
        form.Text3.setText(o.size->first);
        form.Text4.setText(o.size->second);
    }
    if (o.keepAspect)
        form.Check4.setValue(*o.keepAspect ? 1 : 0);
    if (o.quality)
        form.Text5.setText(*o.quality);
    if (o.conversion)
        form.Combo4.setListIndex(*o.conversion);
    if (o.keepExif)
        form.Check3.setValue(*o.keepExif ? 1 : 0);
    if (o.upright)
        form.Check8.setValue(1);
    return true;
}

bool ApplyWatermark(Form1& form, BatchServices& services, const BatchOptions& o,
                    const std::string& file) {
    // An unreadable watermark would be left out of every picture without a word.
    if (!cGdiPlus().FilenameToIPicture(file))
        return false;
    services.QueueChosenFile(file);
    form.Command14_Click();
    form.Check6.setValue(1);
    if (o.align)
        form.Combo5.setListIndex(*o.align);
    if (o.stretch)
        form.Check7.setValue(1);
    if (o.transparency) {
        // The slider prepares the wash when it moves; at its value already, the
        // handler runs as if it had been moved there.
        if (form.HScroll1.Value() == *o.transparency)
            form.HScroll1_Change();
        else
            form.HScroll1.setValue(*o.transparency);
    }
    return true;
}

namespace {

// The plan file of --apply, and the job its flags describe.
struct PlanToApply {
    BatchOptions job;
    std::vector<PicturePlan> rows;
};

std::optional<PlanToApply> ReadPlan(const BatchOptions& options, std::ostream& err) {
    const std::string& file = *options.applyFile;
    const auto bytes = Files::Local().ReadAll(file);
    std::string error = "cannot be read";
    std::optional<ParsedPlan> plan;
    if (bytes)
        plan = ParsePlanFile(
            std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), error);
    ParsedArgs job;
    if (plan) {
        job = ParseJobFlags(plan->flags);
        error = job.error;
    }
    if (!plan || !job.options) {
        err << "zembra-batch: " << file << ": " << error << '\n';
        return std::nullopt;
    }
    PlanToApply apply{*job.options, PlanShard(plan->rows, options.shardPart, options.shardParts)};
    apply.job.jobs = options.jobs;
    apply.job.quiet = options.quiet;
    return apply;
}

// --dry-run and --plan: the plan of the listed pictures, and nothing touched.
int ShowPlan(Form1& form, const BatchOptions& options, std::ostream& out, std::ostream& err) {
    if (!form.ValidateJob(false))
        return kRefused;
    const std::vector<PicturePlan> rows = form.PlanRun();
    if (options.planFile) {
        const std::string text = PlanFileText(options.jobFlags, rows);
        if (!Files::Local().WriteAll(*options.planFile, Bytes(text.begin(), text.end()))) {
            err << "zembra-batch: cannot write the plan to " << *options.planFile << '\n';
            return kRefused;
        }
    }
    if (options.dryRun && !options.json)
        out << PlanHeaderLine() << '\n';
    int skipped = 0;
    for (const auto& row : rows) {
        skipped += row.skipped ? 1 : 0;
        if (options.dryRun)
            out << (options.json ? PlanJsonLine(row) : PlanLine(row)) << '\n';
    }
    out.flush();
    if (!options.dryRun)
        out << rows.size() - skipped << " of " << rows.size() << " pictures planned - " << skipped
            << " to skip; plan written to " << *options.planFile << std::endl;
    return kAllProcessed;
}

} // namespace

int RunBatch(const BatchOptions& given, std::ostream& out, std::ostream& err, int barColumns) {
    std::optional<PlanToApply> plan;
    if (given.applyFile) {
        plan = ReadPlan(given, err);
        if (!plan)
            return kRefused;
    }
    const BatchOptions& options = plan ? plan->job : given;
    BatchServices services(err);
    const int jobs = options.jobs > 0 ? options.jobs : UsableProcessors();
    // The run's own thread is one of the jobs; the others work ahead of it.
    PixelLookahead lookahead(static_cast<std::size_t>(std::max(2, jobs)), jobs - 1);
    // Every change the run makes is journalled, so --undo can take it back.
    JournallingFiles files(Files::Local(), JournalFolder());
    Form1 form(services, files);
    // The watermark path draws through the form's boxes, which stay on this
    // thread.
    if (jobs >= 2 && !options.watermark)
        form.Lookahead = &lookahead;
    // Without --settings the settings file is neither read nor written.
    if (options.settings)
        form.ApplicationDataFolder = UserConfigFolder;
    form.Form_Load();
    RunReport report(out, err, options.quiet ? 0 : barColumns);
    bool stepFailed = false;
    bool pictureFailed = false;
    form.onFailure = [&](const std::string& message) {
        stepFailed = pictureFailed = true;
        report.Failure(message);
    };
    // Notices about the picture in hand (what its output leaves out) go on its line
    // when it finishes; the rest, and all of them with --quiet, go to stderr.
    bool pictureInHand = false;
    std::vector<std::string> pictureNotes;
    form.onNotice = [&](const std::string& message) {
        if (pictureInHand && !options.quiet)
            pictureNotes.push_back(message);
        else
            err << message << '\n';
    };
    // The notices of a picture that did not finish, for stderr.
    const auto noticesToStderr = [&] {
        for (const std::string& note : pictureNotes)
            err << note << '\n';
        pictureNotes.clear();
        pictureInHand = false;
    };

    const int messagesBefore = services.MessageCount();
    ApplyOptions(form, options);
    if (services.MessageCount() > messagesBefore)
        return kRefused; // a field refused the value it was given

    for (const std::string& picture : options.pictures) {
        services.QueueChosenFile(AbsolutePath(picture));
        form.Command7.Click();
    }

    if (options.watermark &&
        !ApplyWatermark(form, services, options, AbsolutePath(*options.watermark))) {
        err << "zembra-batch: cannot read the watermark " << *options.watermark << '\n';
        return kRefused;
    }
    if (given.dryRun || given.planFile)
        return ShowPlan(form, given, out, err);

    // Each outcome is printed as its entry is marked: the run empties the list
    // when it ends, and a long run should show what it has done.
    bool runStarted = false;
    std::set<int> reported;
    int stoppedFinished = 0; // pictures given up midway, by how the run marked them
    int stoppedSkipped = 0;
    const int total = plan ? static_cast<int>(plan->rows.size()) : form.List3.ListCount();
    form.List2.subscribe([&](Control&) {
        const int index = form.shared.CurrentIndex;
        if (!form.Label3.Visible() || index < 0 || index >= form.List2.ListCount() ||
            reported.count(index) != 0)
            return;
        const std::string text = form.List2.List(index);
        const bool finished = EndsWith(text, " --- finished");
        if ((finished || EndsWith(text, " --- skipped")) && pictureFailed &&
            StopRequested(StopLevel::Now)) {
            // Given up midway: its files are as they were, and it does not count.
            reported.insert(index);
            noticesToStderr();
            ++(finished ? stoppedFinished : stoppedSkipped);
            report.Outcome(text.substr(0, text.rfind(" --- ")) + " --- stopped (left as it was)",
                           total);
        } else if (finished) {
            reported.insert(index);
            std::string line = text;
            for (std::size_t k = 0; k < pictureNotes.size(); ++k) {
                const std::string& note = pictureNotes[k];
                line += (k == 0 ? " (" : "; ") + note.substr(note.rfind(": ") + 2);
            }
            if (!pictureNotes.empty())
                line += ")";
            pictureNotes.clear();
            pictureInHand = false;
            report.Outcome(options.quiet ? std::string() : line, total);
        } else if (EndsWith(text, " --- skipped")) {
            reported.insert(index);
            noticesToStderr();
            std::string why = form.SkipReasonOf(index);
            if (why.empty())
                why = SkipReason(form.List3.List(index));
            report.Outcome(text + " (" + why + ")", total);
        } else if (EndsWith(text, " --- processing")) {
            pictureFailed = false;
            pictureInHand = true;
            pictureNotes.clear();
            report.Started(total);
        }
    });
    form.Label3.subscribe([&](Control&) { runStarted = runStarted || form.Label3.Visible(); });

    if (plan)
        form.ApplyPlan(plan->rows);
    else
        form.Command1_Click();
    report.End();
    if (!runStarted && !StopRequested())
        return kRefused;

    const auto& counts = form.shared;
    out << counts.ProcessedCount - stoppedFinished << " of " << counts.PictureCount
        << " processed - " << counts.SkippedCount - stoppedSkipped << " skipped" << std::endl;
    if (StopRequested()) {
        const int left =
            total - static_cast<int>(reported.size()) + stoppedFinished + stoppedSkipped;
        err << "zembra-batch: stopped; " << left << (left == 1 ? " picture was" : " pictures were")
            << " not processed" << std::endl;
        return StopExitStatus();
    }
    return form.shared.SkippedCount > 0 || stepFailed ? kSomeSkipped : kAllProcessed;
}

} // namespace zembra
