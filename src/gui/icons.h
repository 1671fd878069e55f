#pragma once
// The pictures on the image buttons and the window's icon, drawn at run time so
// they stay sharp at any size and screen scale.

#include <QIcon>
#include <QPixmap>

namespace zembra {

enum class Glyph {
    AddPictures,
    AddFolder,
    ClearList,
    Remove,
    MoveUp,
    MoveDown,
    Previous,
    Next,
    Process,
    PreviewNames,
    ProcessAll,
    Quit,
    Browse,
    Help,
    Updates,
    Application,
};

// One glyph at `side` logical pixels for a screen of the given pixel ratio.
QPixmap DrawGlyph(Glyph glyph, int side, qreal pixelRatio = 1.0);

// The glyph at the sizes desktops ask for.
QIcon GlyphIcon(Glyph glyph);

} // namespace zembra
