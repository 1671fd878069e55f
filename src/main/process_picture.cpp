// processpicture: names one picture and carries out the chosen action on it.
#include "main/form1.h"
#include "main/picture_naming.h"

#include "platform/steps.h"

#include <functional>

namespace zembra {

namespace {
constexpr int kMostDashes = 19;
} // namespace

// Inserts dashes before the extension while the name is taken; false when it is
// still taken after the last try.
bool Form1::makeUnique(std::string& name) {
    if (files_.Taken(name)) {
        for (int k = 1; files_.Taken(name) && k <= kMostDashes; ++k) {
            name = WithDashBeforeExtension(name);
            services_.DoEvents();
        }
    }
    return !files_.Taken(name);
}

// A name found free can be taken by another run before the file arrives; the
// move never replaces, so the picture then gets the next free name instead.
bool Form1::placeUnder(std::string& name, const std::function<bool(const std::string&)>& place) {
    for (;;) {
        if (place(name))
            return true;
        if (!files_.Taken(name) || !makeUnique(name))
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

void Form1::processpicture(const std::string& path) {
    const int index = shared.CurrentIndex;
    pictureFailed_ = false;
    shared.ExifBlock.reset();
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
        std::int16_t& counter = shared.NameCounters.at(static_cast<std::size_t>(slot));
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
    // An original this user may not write is not replaced, nor removed.
    auto writable = [&] {
        if (!files_.WriteProtected(source))
            return true;
        failed(source + ": it is write-protected, so it is left as it is");
        Step([&] { AddOne(shared.SkippedCount); });
        skipped = true;
        return false;
    };
    auto copyTo = [&](std::string& name) {
        return placeUnder(name, [&](const std::string& to) { return files_.Copy(source, to); });
    };

    switch (Combo2.ListIndex()) {
    case 1:
        if (takeName(newName)) {
            if (!placeUnder(newName,
                            [&](const std::string& to) { return files_.Rename(source, to); }))
                failed(source + ": could not be renamed to " + newName);
            processed();
        }
        services_.DoEvents();
        break;
    case 2:
        if (takeName(newName)) {
            if (!copyTo(newName))
                failed(source + ": could not be copied to " + newName);
            processed();
        }
        services_.DoEvents();
        break;
    case 3: {
        // Writing over the picture's own path is the point of this action; a new
        // extension must not replace an unrelated file that already has that name.
        std::string output = shared.OriginalOutputName;
        if (writable() && (output == source || takeName(output))) {
            exifSave(source);
            resizeoriginal(source, output);
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
        }
        services_.DoEvents();
        break;
    }
    case 5:
        if (writable() && takeName(newName)) {
            exifSave(source);
            services_.DoEvents();
            resizeoriginal(source, newName);
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
        }
        services_.DoEvents();
        break;
    case 7: {
        std::string copy = shared.CopyOutputName;
        if (writable() && takeName(copy) && takeName(newName)) {
            exifSave(source);
            services_.DoEvents();
            const bool renamedCopy = copyTo(newName);
            if (!renamedCopy)
                failed(source + ": could not be copied to " + newName);
            resizecopy(source, copy);
            // The original goes only once its renamed copy is safely there.
            if (renamedCopy && files_.Exists(newName) && !files_.Remove(source))
                failed(source + ": could not be removed");
            processed();
            services_.DoEvents();
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
