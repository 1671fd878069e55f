// processpicture: names one picture and carries out the chosen action on it.
#include "main/form1.h"
#include "main/picture_naming.h"

#include "platform/steps.h"

namespace zembra {

namespace {
constexpr int kMostDashes = 19;
} // namespace

// Inserts dashes before the extension while the name is taken; false when it is
// still taken after the last try.
bool Form1::makeUnique(std::string& name) {
    if (files_.Exists(name)) {
        for (int k = 1; files_.Exists(name) && k <= kMostDashes; ++k) {
            name = WithDashBeforeExtension(name);
            services_.DoEvents();
        }
    }
    return !files_.Exists(name);
}

void Form1::processpicture(const std::string& path) {
    const int index = shared.CurrentIndex;
    PictureNames names;
    try {
        if (!shared.LastBaseName.empty() && shared.LastBaseName != Text1.Text())
            shared.NameCounters.fill(0);
        shared.LastBaseName = Text1.Text();

        NameParts parts;
        parts.SourcePath = path;
        parts.Ext = ExtensionOf(path);
        if (!IsSupportedExtension(parts.Ext)) {
            Step([&] {
                AddOne(shared.SkippedCount);
                markEntry(index, " --- skipped");
            });
            services_.DoEvents();
            return;
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
        failed(path + ": " + e.what());
        Step([&] {
            AddOne(shared.SkippedCount);
            markEntry(index, " --- skipped");
            setStatusLine();
        });
        return;
    }

    const std::string& source = path;
    std::string newName = names.NewName;
    bool skipped = false;
    auto takeName = [&](std::string& name) {
        if (makeUnique(name))
            return true;
        Step([&] { AddOne(shared.SkippedCount); });
        skipped = true;
        return false;
    };
    auto processed = [&] { Step([&] { AddOne(shared.ProcessedCount); }); };

    switch (Combo2.ListIndex()) {
    case 1:
        if (takeName(newName)) {
            if (!files_.Rename(source, newName))
                failed(source + ": could not be renamed to " + newName);
            processed();
        }
        services_.DoEvents();
        break;
    case 2:
        if (takeName(newName)) {
            if (!files_.Copy(source, newName))
                failed(source + ": could not be copied to " + newName);
            processed();
        }
        services_.DoEvents();
        break;
    case 3: {
        // Writing over the picture's own path is the point of this action; a new
        // extension must not replace an unrelated file that already has that name.
        std::string output = shared.OriginalOutputName;
        if (output == source || takeName(output)) {
            exifSave(source);
            resizeoriginal(source, output);
            exifRestore(output);
            processed();
        }
        services_.DoEvents();
        break;
    }
    case 4: {
        std::string copy = names.RCopyName;
        if (takeName(copy)) {
            exifSave(source);
            services_.DoEvents();
            resizecopy(source, copy);
            processed();
            services_.DoEvents();
            services_.DoEvents();
            exifRestore(copy);
        }
        services_.DoEvents();
        break;
    }
    case 5:
        if (takeName(newName)) {
            exifSave(source);
            services_.DoEvents();
            resizeoriginal(source, newName);
            exifRestore(newName);
            processed();
        }
        services_.DoEvents();
        break;
    case 6:
        if (takeName(newName)) {
            exifSave(source);
            services_.DoEvents();
            resizecopy(source, newName);
            services_.DoEvents();
            processed();
            exifRestore(newName);
        }
        services_.DoEvents();
        break;
    case 7: {
        std::string copy = shared.CopyOutputName;
        if (takeName(copy) && takeName(newName)) {
            exifSave(source);
            services_.DoEvents();
            const bool renamedCopy = files_.Copy(source, newName);
            if (!renamedCopy)
                failed(source + ": could not be copied to " + newName);
            resizecopy(source, copy);
            // The original goes only once its renamed copy is safely there.
            if (renamedCopy && files_.Exists(newName) && !files_.Remove(source))
                failed(source + ": could not be removed");
            processed();
            services_.DoEvents();
            exifRestore(copy);
        }
        services_.DoEvents();
        break;
    }
    default:
        break;
    }

    Step([&] { markEntry(index, skipped ? " --- skipped" : " --- finished"); });
    setStatusLine();
    services_.DoEvents();
}

} // namespace zembra
