#include "imaging/preview_picture.h"

#include "imaging/fit_load.h"

namespace zembra {

PreviewPicture LoadPreviewPicture(const std::string& path, int boxWidth, int boxHeight) {
    if (boxWidth < 1 || boxHeight < 1)
        return {};
    FittedPicture fitted = LoadPictureToFit(path, boxWidth, boxHeight);
    if (!fitted.picture)
        return {};
    return {std::move(fitted.picture), fitted.naturalWidth, fitted.naturalHeight};
}

} // namespace zembra
