#include "import/import_rules.h"

#include "platform/text.h"

namespace zembra {

bool IsPictureFile(std::string_view name) {
    const std::string four = UCase(Right(name, 4));
    const std::string five = UCase(Right(name, 5));
    return four == ".JPG" || four == ".BMP" || four == ".GIF" || four == ".TIF" || four == ".PNG" ||
           five == ".JPEG" || five == ".TIFF" || five == ".WEBP" || five == ".AVIF" ||
           five == ".HEIC" || five == ".HEIF";
}

std::string FolderDisplayName(std::string_view path) {
    std::string name = FileNamePart(path);
    if (name.empty())
        name = std::string(path);
    return Shortened(name, 20, 18);
}

std::string WithSlash(std::string_view folder) {
    std::string out(folder);
    if (!out.ends_with('/'))
        out += '/';
    return out;
}

ThumbPlacement PlaceThumbnail(int slot, int pictureWidth, int pictureHeight) {
    const double side = kThumbSide;
    const double half = kThumbSide / 2; // 667: the square's centre, as the layout counts it
    const double slotLeft = kThumbLefts.at(static_cast<std::size_t>(slot));
    ThumbPlacement p;
    if (pictureWidth > pictureHeight) {
        p.width = side;
        p.height = side * (static_cast<double>(pictureHeight) / pictureWidth);
        p.top = half - p.height / 2 + kThumbTop;
        p.left = slotLeft;
    } else {
        p.height = side;
        p.width = side * (static_cast<double>(pictureWidth) / pictureHeight);
        p.left = half - p.width / 2 + slotLeft;
        p.top = kThumbTop;
    }
    return p;
}

} // namespace zembra
