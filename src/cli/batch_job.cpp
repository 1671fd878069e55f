#include "cli/batch_job.h"

#include "cli/batch_services.h"
#include "imaging/gdiplus.h"
#include "main/form1.h"
#include "main/lookahead.h"
#include "platform/config_folder.h"

#include <filesystem>
#include <map>

namespace zembra {

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string FullPath(const std::string& picture) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(picture, ec);
    return ec ? picture : absolute.lexically_normal().string();
}

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

int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, bool progress) {
    BatchServices services(err);
    PixelLookahead lookahead;
    Form1 form(services);
    // One picture at a time unless asked. Two run a folder about 1.6x faster on an
    // idle two-core machine (bench/compare --jobs folder), but a run killed midway
    // may then leave two temporary files, one per thread, instead of one.
    const int jobs = options.jobs > 0 ? options.jobs : 1;
    // The watermark path draws through the form's boxes, which stay on this
    // thread.
    if (jobs >= 2 && !options.watermark)
        form.Lookahead = &lookahead;
    // Without --settings the settings file is neither read nor written.
    if (options.settings)
        form.ApplicationDataFolder = UserConfigFolder;
    form.Form_Load();
    bool stepFailed = false;
    form.onFailure = [&](const std::string& message) {
        stepFailed = true;
        err << message << '\n';
    };
    form.onNotice = [&](const std::string& message) { err << message << '\n'; };

    services.onInterrupt = [&] { form.Command2.Click(); };

    const int messagesBefore = services.MessageCount();
    ApplyOptions(form, options);
    if (services.MessageCount() > messagesBefore)
        return kRefused; // a field refused the value it was given

    for (const std::string& picture : options.pictures) {
        services.QueueChosenFile(FullPath(picture));
        form.Command7.Click();
    }

    if (options.watermark &&
        !ApplyWatermark(form, services, options, FullPath(*options.watermark))) {
        err << "zembra-batch: cannot read the watermark " << *options.watermark << '\n';
        return kRefused;
    }

    // The run empties the list when it ends, so each outcome is taken as it is
    // marked.
    std::map<int, std::string> outcomes;
    bool runStarted = false;
    const int total = form.List3.ListCount();
    form.List2.subscribe([&](Control&) {
        const int index = form.shared.CurrentIndex;
        if (!form.Label3.Visible() || index < 0 || index >= form.List2.ListCount())
            return;
        const std::string text = form.List2.List(index);
        if (EndsWith(text, " --- finished") || EndsWith(text, " --- skipped"))
            outcomes[index] = text;
        else if (progress && EndsWith(text, " --- processing"))
            err << "\rpicture " << index + 1 << " of " << total << std::flush;
    });
    form.Label3.subscribe([&](Control&) { runStarted = runStarted || form.Label3.Visible(); });

    form.Command1_Click();
    if (progress && runStarted)
        err << '\n';
    if (form.Ending()) {
        err << "zembra-batch: interrupted\n";
        return kInterrupted;
    }
    if (!runStarted)
        return kRefused;

    for (const auto& [index, text] : outcomes)
        out << text << '\n';
    out << form.Label3.Caption() << '\n';
    return form.shared.SkippedCount > 0 || stepFailed ? kSomeSkipped : kAllProcessed;
}

} // namespace zembra
