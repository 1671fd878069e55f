// processpicture: names one picture and carries out the chosen action on it.
#include "main/form1.h"
#include "main/picture_naming.h"

#include "platform/steps.h"
#include "platform/text.h"

#include <functional>

namespace zembra {

namespace {
constexpr int kMostDashes = 19;
} // namespace

bool Form1::nameTaken(const std::string& name) const {
    if (planned_ != nullptr) {
        if (planned_->created.count(name) != 0)
            return true;
        if (planned_->freed.count(name) != 0)
            return false;
    }
    return files_.Taken(name);
}

// Inserts dashes before the extension while the name is taken; false when it is
// still taken after the last try.
bool Form1::makeUnique(std::string& name) {
    if (nameTaken(name)) {
        for (int k = 1; nameTaken(name) && k <= kMostDashes; ++k) {
            name = WithDashBeforeExtension(name);
            services_.DoEvents();
        }
    }
    return !nameTaken(name);
}

// A name found free can be taken by another run before the file arrives; the
// move never replaces, so the picture then gets the next free name instead. A
// planned run keeps to its plan: a name taken meanwhile fails the step.
bool Form1::placeUnder(std::string& name, const std::function<bool(const std::string&)>& place) {
    for (;;) {
        if (place(name))
            return true;
        if (keepPlannedNames_ || !files_.Taken(name) || !makeUnique(name))
            return false;
    }
}

bool Form1::disposed(Disposal disposal, const std::string& original) {
    if (disposal == Disposal::Deleted && !toldNoTrash_) {
        toldNoTrash_ = true;
        notice(original + ": no Trash can take the originals here; they are replaced for good");
    }
    return disposal != Disposal::Failed;
}

// The naming steps and the checks that decide whether the picture can be done:
// the counters advance as the run's would, but no file is touched.
PicturePlan Form1::planpicture(const std::string& path) {
    PicturePlan plan;
    plan.index = shared.CurrentIndex;
    plan.source = path;
    plan.action = Combo2.ListIndex();
    const auto skip = [&](std::string reason, bool tell) {
        plan.skipped = true;
        plan.reason = std::move(reason);
        plan.tellSkip = tell;
        return plan;
    };
    PictureNames names;
    try {
        if (!shared.LastBaseName.empty() && shared.LastBaseName != Text1.Text())
            shared.NameCounters.fill(0);
        shared.LastBaseName = Text1.Text();

        NameParts parts;
        parts.SourcePath = path;
        parts.Ext = ExtensionOf(path);
        if (!IsSupportedExtension(parts.Ext)) {
            plan.quietSkip = true;
            return skip("not a picture", false);
        }
        parts.ConversionPending = shared.ConversionPending == 1;
        if (parts.ConversionPending) {
            parts.OrigExt = parts.Ext;
            parts.Ext = shared.TargetExtension;
        }
        const auto slash = path.find_last_of('/');
        parts.Folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        parts.FileName = slash == std::string::npos ? path : path.substr(slash + 1);

        std::string exifDate;
        if (ReadDateTaken)
            Step([&] { exifDate = ReadDateTaken(path); });
        const DateTaken date = SplitDateTaken(exifDate, Combo1.ListIndex());
        plan.dateWanted = Check1.Value() == 1;
        if (!date.DateText.empty())
            plan.date = exifDate;

        int slot = 1;
        if (Check1.Value() == 1) {
            slot = -1;
            for (int i = 0; i <= List1.ListCount() && slot < 0; ++i) {
                if (List1.List(i) == date.DateText)
                    slot = i;
            }
            if (slot < 0) {
                List1.AddItem(date.DateText);
                slot = List1.ListCount() - 1;
                shared.NameCounters.at(static_cast<std::size_t>(slot)) = 0;
            }
        }
        auto& counter = shared.NameCounters.at(static_cast<std::size_t>(slot));
        const std::string stamp = Check2.Value() == 1 ? TimeStamp(date.Time) : std::string();
        if (!stamp.empty()) {
            parts.NumberSuffix = stamp;
        } else {
            AddOne(counter);
            parts.NumberSuffix = RunningNumber(counter);
        }
        parts.BaseName = Text1.Text();
        parts.DateText = date.DateText;
        parts.DateForm = Check1.Value() == 1 && date.DateText.size() > 1;
        parts.KeepOwnExtension = parts.ConversionPending && Combo2.ListIndex() == 7;
        names = BuildNames(parts);
        shared.CopyOutputName = names.CopyOutputName;
        shared.OriginalOutputName = names.OriginalOutputName;
    } catch (const std::exception& e) {
        // Names could not be made (a counter ran out): leave the picture untouched.
        return skip(e.what(), true);
    }

    // The names the action creates, made unique in the order the action makes them.
    std::string dashed;
    const auto take = [&](std::string& name) {
        const std::string planned = name;
        if (!makeUnique(name))
            return false;
        if (name != planned)
            dashed = name;
        return true;
    };
    const auto writable = [&] { return !files_.WriteProtected(path); };
    constexpr const char* kNoFreeName = "no free name for it";
    constexpr const char* kWriteProtected = "it is write-protected, so it is left as it is";
    using Original = PicturePlan::Original;
    plan.newName = names.NewName;
    switch (plan.action) {
    case 1:
    case 2:
        if (!take(plan.newName))
            return skip(kNoFreeName, false);
        plan.original = plan.action == 1 ? Original::Renamed : Original::Kept;
        break;
    case 3:
        // Writing over the picture's own path is the point of this action; a new
        // extension must not replace an unrelated file that already has that name.
        plan.newName.clear();
        plan.output = names.OriginalOutputName;
        if (!writable())
            return skip(kWriteProtected, true);
        if (plan.output != path && !take(plan.output))
            return skip(kNoFreeName, false);
        plan.original = Original::Trashed;
        break;
    case 4:
        plan.newName.clear();
        plan.output = names.RCopyName;
        if (!take(plan.output))
            return skip(kNoFreeName, false);
        break;
    case 5:
    case 6:
        plan.output = plan.newName;
        plan.newName.clear();
        if (plan.action == 5 && !writable())
            return skip(kWriteProtected, true);
        if (!take(plan.output))
            return skip(kNoFreeName, false);
        plan.original = plan.action == 5 ? Original::Trashed : Original::Kept;
        break;
    case 7:
        plan.output = names.CopyOutputName;
        if (!writable())
            return skip(kWriteProtected, true);
        if (!take(plan.output) || !take(plan.newName))
            return skip(kNoFreeName, false);
        plan.original = Original::Renamed;
        break;
    default:
        return skip("no action chosen", false);
    }
    if (!dashed.empty())
        plan.reason = "name taken: dashes added: " + FileNamePart(dashed);
    return plan;
}

// Carries out one planned picture and marks its entry.
void Form1::carryOut(const PicturePlan& plan) {
    const int index = shared.CurrentIndex;
    if (plan.skipped) {
        skipReasons_[index] = plan.reason;
        if (plan.tellSkip)
            failed(plan.source + ": " + plan.reason);
        Step([&] {
            AddOne(shared.SkippedCount);
            markEntry(index, " --- skipped");
            if (!plan.quietSkip)
                setStatusLine();
        });
        services_.DoEvents();
        return;
    }
    const std::string& source = plan.source;
    bool skipped = false;
    // A picture counts as processed only when every step it needed was done.
    auto processed = [&] {
        Step([&] {
            if (pictureFailed_) {
                AddOne(shared.SkippedCount);
                skipped = true;
            } else {
                AddOne(shared.ProcessedCount);
            }
        });
    };
    auto renameTo = [&](std::string name) {
        if (!placeUnder(name, [&](const std::string& to) { return files_.Rename(source, to); }))
            failed(source + ": could not be renamed to " + name);
    };

    switch (plan.action) {
    case 1:
        renameTo(plan.newName);
        processed();
        break;
    case 2: {
        std::string name = plan.newName;
        if (!placeUnder(name, [&](const std::string& to) { return files_.Copy(source, to); }))
            failed(source + ": could not be copied to " + name);
        processed();
        break;
    }
    case 3:
    case 5:
        exifSave(source);
        services_.DoEvents();
        resizeoriginal(source, plan.output);
        processed();
        break;
    case 4:
    case 6:
        exifSave(source);
        services_.DoEvents();
        resizecopy(source, plan.output);
        services_.DoEvents();
        processed();
        break;
    case 7:
        // The resized copy is made from the original before the original takes
        // its new name, which is the same as copying it there and removing it.
        exifSave(source);
        services_.DoEvents();
        resizecopy(source, plan.output);
        renameTo(plan.newName);
        processed();
        break;
    default:
        break;
    }
    services_.DoEvents();

    Step([&] { markEntry(index, skipped ? " --- skipped" : " --- finished"); });
    setStatusLine();
    services_.DoEvents();
}

void Form1::processpicture(const std::string& path) {
    pictureFailed_ = false;
    shared.ExifBlock.reset();
    carryOut(planpicture(path));
}

} // namespace zembra
