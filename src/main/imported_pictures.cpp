// Pictures that the folder import dialog adds, and the refresh after an import.
// Unlike "Add Pic(s)", the refresh leaves loading the preview to the list's own
// selection, and the arrows to the list's next change.
#include "main/form1.h"

#include "platform/text.h"

namespace zembra {

bool Form1::AddImportedPicture(const std::string& path) {
    // Paths are case-sensitive here: /P/a.jpg and /P/A.JPG are two pictures.
    if (isListed(path))
        return false;
    addPicture(path, FileNamePart(path));
    return true;
}

void Form1::RefreshAfterImport() {
    if (recountListed()) {
        // With a watermark chosen the preview shows it drawn onto the picture.
        if (watermarkReady())
            showWatermarked();
        SetVisible({&Image1, &Command3, &Command4, &Command5, &Command6, &Label20, &Label21,
                    &Label9, &Label10},
                   true);
    }
    setRemainingLine(List2.ListCount());
    setStatusLine();
}

} // namespace zembra
