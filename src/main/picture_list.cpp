// The picture list: adding through the file dialog, removing, clearing and
// reordering. List2 shows the names, List3 holds the full paths at the same index.
#include "main/form1.h"

#include "platform/steps.h"
#include "platform/text.h"

#include <vector>

namespace zembra {

namespace {
constexpr long kOpenDialogFlags = 528900; // explorer style, multiple selection, must exist
constexpr const char* kPictureFilter =
    "Images Files (*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff;*.webp;*.avif;*.heic;*.heif)|"
    "*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff;*.webp;*.avif;*.heic;*.heif";

std::string DisplayText(const std::string& name) {
    return Shortened(name, 24, 21);
}

// Moves entry `from` of a list to position `to`, shifting the entries between.
void MoveEntry(ListControl& list, int from, int to) {
    const std::string text = list.List(from);
    list.RemoveItem(from);
    list.AddItem(text, to);
}

void SwapEntries(ListControl& list, int a, int b) {
    const std::string first = list.List(a);
    list.setList(a, list.List(b));
    list.setList(b, first);
}
} // namespace

// Paths compare exactly: on Linux a.jpg and A.JPG are two files, and both are
// listed and processed. Only extensions are matched without case. An empty name
// (a cancelled dialog) counts as listed, so it adds nothing.
bool Form1::isListed(const std::string& path) {
    return path.empty() || listed_.Contains(path);
}

void Form1::addPicture(const std::string& path, const std::string& displayText) {
    listed_.Append(path);
    List2.AddItem(DisplayText(displayText));
    if (RepaintWhileBusy && fillPacer_.Due()) {
        setRemainingLine(List2.ListCount());
        RepaintWhileBusy();
    }
}

void Form1::Command7_Click() {
    Step([&] { Command1.setEnabled(true); });
    OpenFileRequest request;
    request.flags = kOpenDialogFlags;
    request.filter = kPictureFilter;
    request.cancelError = true;
    std::string chosen;
    Step([&] { chosen = services_.ShowOpen(request); });

    if (chosen.find('\0') == std::string::npos) {
        if (isListed(chosen))
            return;
        Step([&] { addPicture(chosen, FileNamePart(chosen)); });
    } else {
        const std::vector<std::string> pieces = Split(chosen, std::string_view("\0", 1));
        std::string folder = pieces.front();
        if (!folder.empty() && folder.back() == '/')
            folder.pop_back();
        for (std::size_t i = 1; i < pieces.size(); ++i) {
            const std::string path = folder + "/" + pieces[i];
            if (!isListed(path))
                Step([&] { addPicture(path, pieces[i]); });
        }
    }
    refreshAfterAdding();
}

bool Form1::recountListed() {
    shared.PictureCount = List2.ListCount();
    shared.SkippedCount = 0;
    shared.ProcessedCount = 0;
    if (shared.PictureCount <= 0)
        return false;
    Step([&] {
        if (List2.ListIndex() < 0)
            List2.setListIndex(0);
    });
    SetVisible({&Command1, &Label22}, true);
    Command1.setEnabled(true);
    Label22.setEnabled(true);
    return true;
}

void Form1::refreshAfterAdding() {
    if (recountListed()) {
        Image1.setVisible(true);
        Step([&] { showSelectedPicture(); });
        SetVisible({&Command3, &Command4, &Command5, &Command6}, true);
        Frame4.setCaption("Preview - Double Click Pic to Open");
        if (List2.ListCount() >= 2)
            SetVisible({&Command11, &Command12}, true);
        SetVisible({&Label20, &Label21, &Label9, &Label10}, true);
    }
    setRemainingLine(List2.ListCount());
    setStatusLine();
}

void Form1::hideListButtons() {
    Image1.setPicture(nullptr);
    SetVisible({&Command3, &Command4, &Command5, &Command6}, false);
    Frame4.setCaption("Preview");
    SetVisible({&Command11, &Command12, &Label20, &Label21, &Label9, &Label10, &Command1, &Label22},
               false);
}

void Form1::Command3_Click() {
    const int i = List2.ListIndex();
    const int n = List2.ListCount();
    if (i < 0)
        return; // nothing selected: nothing to remove
    int next = 0;
    if (i == n - 1)
        next = i - 1;
    else if (i - 1 > 0)
        next = i;
    if (shared.PictureCount <= 0)
        return;
    List3.RemoveItem(i);
    List2.RemoveItem(i);
    Step([&] { List2.setListIndex(next); });
    --shared.PictureCount;
    if (shared.PictureCount > 0 && List2.ListCount() < 2)
        SetVisible({&Command11, &Command12}, false);
    if (List2.ListCount() == 0)
        hideListButtons();
    setRemainingLine(List2.ListCount());
    setStatusLine();
}

void Form1::Command8_Click() {
    List2.Clear();
    List3.Clear();
    shared.PictureCount = 0;
    shared.SkippedCount = 0;
    shared.ProcessedCount = 0;
    hideListButtons();
    setRemainingLine(0);
    setStatusLine();
}

void Form1::Command11_Click() {
    const int i = List2.ListIndex();
    if (i > 0) {
        SwapEntries(List3, i - 1, i);
        SwapEntries(List2, i - 1, i);
        List2.setListIndex(i - 1);
    } else if (i == 0) {
        // The first entry wraps around to the end.
        const int last = List2.ListCount() - 1;
        MoveEntry(List3, 0, last);
        MoveEntry(List2, 0, last);
        List2.setListIndex(last);
    }
    Command6.SetFocus();
}

void Form1::Command12_Click() {
    const int i = List2.ListIndex();
    const int last = List2.ListCount() - 1;
    if (i >= 0 && i < last) {
        SwapEntries(List3, i, i + 1);
        SwapEntries(List2, i, i + 1);
        List2.setListIndex(i + 1);
    } else if (i == last && last >= 0) {
        // The last entry wraps around to the front.
        MoveEntry(List3, last, 0);
        MoveEntry(List2, last, 0);
        List2.setListIndex(0);
    }
    Command6.SetFocus();
}

} // namespace zembra
