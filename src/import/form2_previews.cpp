// Thumbnails of the highlighted folder, four at a time. Pages count positions of
// the folder's whole listing: page k starts at position 4k, whatever files sit
// there. Loading lets the window work between thumbnails; a load started meanwhile
// (another folder, the switch) takes over and the older one stops.
#include "import/form2.h"

#include "import/import_rules.h"
#include "platform/steps.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace zembra {

namespace {

// The window system places controls on whole pixels.
int OnPixels(double twips) {
    return static_cast<int>(std::nearbyint(twips / PictureBox::kTwipsPerPixel)) *
           PictureBox::kTwipsPerPixel;
}

} // namespace

void Form2::ClearPreviews() {
    for (std::size_t slot = 0; slot < 4; ++slot) {
        Image1[slot]->setPicture(nullptr);
        ThumbPaths[slot].clear();
        Frame1.setCaption("Preview");
    }
    SetVisible({&Label9, &Label10}, false);
}

void Form2::ShowPreviews(const std::string& folder) {
    loadPage(folder, 0, false);
}

void Form2::ShowMorePreviews(const std::string& folder) {
    loadPage(folder, NextPreviewStart, true);
}

void Form2::loadPage(const std::string& folder, int start, bool more) {
    ClearPreviews();
    const unsigned generation = ++loadGeneration_;
    const std::string slashed = WithSlash(folder);
    std::vector<std::string> listing;
    try {
        File1.setPath(slashed);
        for (int j = 0; j < File1.ListCount(); ++j)
            listing.push_back(File1.List(j));
    } catch (const std::exception&) {
        return; // a folder that cannot be read shows no thumbnails
    }
    ++loadDepth_;
    int slot = -1;
    bool listingEnded = true;
    for (std::size_t j = static_cast<std::size_t>(std::max(0, start)); j < listing.size(); ++j) {
        if (!IsPictureFile(listing[j]))
            continue;
        if (slot == 3) {
            // A fifth picture: there is another page.
            Step([&] {
                if (!more)
                    NextPreviewStart = 4;
                else if (NextPreviewStart <= INT16_MAX - 4)
                    NextPreviewStart = static_cast<std::int16_t>(NextPreviewStart + 4);
                else
                    throw PlatformError(kOverflow, "Overflow");
            });
            Label9.setVisible(true);
            listingEnded = false;
            break;
        }
        if (slashed != CurrentFolderSlash)
            continue;
        ++slot;
        fillSlot(slot, slashed + listing[j]);
        if (more)
            Label9.setVisible(false);
        // The window ran meanwhile: the dialog may be closing, or a newer load
        // may own the slots now.
        if (closed_ || generation != loadGeneration_) {
            listingEnded = false;
            break;
        }
        if (Check1.Value() == 0) {
            ClearPreviews();
            listingEnded = false;
            break;
        }
    }
    if (more && listingEnded)
        Label10.setVisible(true);
    --loadDepth_;
    if (closed_ && loadDepth_ == 0 && onUnload)
        onUnload();
}

void Form2::fillSlot(int slot, const std::string& path) {
    const auto s = static_cast<std::size_t>(slot);
    Label1[s]->setVisible(true);
    Step([&] { services_.DoEvents(); });
    if (closed_)
        return;
    FittedPicture thumb;
    Step([&] { thumb = thumbnail(path); });
    if (thumb.picture && thumb.naturalWidth > 0 && thumb.naturalHeight > 0) {
        const ThumbPlacement at = PlaceThumbnail(slot, thumb.naturalWidth, thumb.naturalHeight);
        Image1[s]->Move(OnPixels(at.left), OnPixels(at.top), OnPixels(at.width),
                        OnPixels(at.height));
    }
    // A picture that cannot be loaded leaves its slot empty.
    Image1[s]->setPicture(thumb.picture);
    ThumbPaths[s] = path;
    Label1[s]->setVisible(false);
    Step([&] { services_.DoEvents(); });
    Frame1.setCaption("Preview - Double Click Pic to Open");
}

FittedPicture Form2::thumbnail(const std::string& path) {
    std::error_code sizeError, timeError;
    const auto size = std::filesystem::file_size(path, sizeError);
    const auto modified = std::filesystem::last_write_time(path, timeError);
    if (sizeError || timeError)
        return LoadThumbnail(path);
    const std::int64_t stamp = modified.time_since_epoch().count();
    if (const auto it = thumbCache_.find(path);
        it != thumbCache_.end() && it->second.size == size && it->second.modified == stamp)
        return it->second.picture;
    FittedPicture picture = LoadThumbnail(path);
    if (thumbCache_.size() >= 12)
        thumbCache_.clear();
    thumbCache_[path] = {size, stamp, picture};
    return picture;
}

// [SECTION] Handlers

void Form2::Check1_Click() {
    NextPreviewStart = 0;
    setCurrentFolder(Dir1.Highlighted());
    if (Check1.Value() == 1)
        ShowPreviews(Dir1.Highlighted());
    else
        ClearPreviews();
}

void Form2::Dir1_Click() {
    Step([&] { File1.setPath(Dir1.Path()); });
    const std::string highlighted = Dir1.Highlighted();
    if (highlighted != CurrentFolder && Check1.Value() == 1) {
        setCurrentFolder(highlighted);
        Label9.setVisible(false);
        ShowPreviews(highlighted);
    }
}

void Form2::Dir1_Change() {
    if (Dir1.Path() != CurrentFolder && Check1.Value() == 1) {
        setCurrentFolder(Dir1.Path());
        ShowPreviews(Dir1.Path());
    }
}

void Form2::Label9_Click() {
    CurrentFolder = Dir1.Highlighted();
    Step([&] { File1.setPath(CurrentFolder); });
    CurrentFolderSlash = WithSlash(File1.Path());
    ShowMorePreviews(Dir1.Highlighted());
}

void Form2::Label10_Click() {
    CurrentFolder = Dir1.Highlighted();
    Step([&] { File1.setPath(CurrentFolder); });
    CurrentFolderSlash = WithSlash(File1.Path());
    ShowPreviews(Dir1.Highlighted());
}

void Form2::Timer1_Timer() {
    if (Check1.Value() == 0) {
        StartDelay = 5;
        Timer1.setEnabled(false);
        return;
    }
    ++StartDelay;
    if (StartDelay >= 5) {
        Timer1.setEnabled(false);
        ShowPreviews(Dir1.Path());
    }
}

void Form2::Image1_DblClick(int index) {
    const auto i = static_cast<std::size_t>(index);
    if (Image1.at(i)->Picture() && OpenPicture)
        OpenPicture(ThumbPaths[i]);
}

} // namespace zembra
