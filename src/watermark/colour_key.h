#pragma once
// The watermark's colour key decides how it is combined with a picture. It is the
// pixel at (1, 1) of the prepared watermark, one in from its top-left corner, of
// which only the low 16 bits (red, then green) count, as a signed number: -1, that
// is red and green both 255 whatever the blue, is a light key; anything else is a
// dark one. A failed read (no pixel there) counts as light.
//
// A light-keyed watermark is combined by AND, under which white leaves the picture
// as it was; a dark-keyed one by OR, under which black does. Backgrounds and
// washes take the colour that is neutral for the key.

#include "platform/device_context.h"
#include "platform/picture_box.h"

#include <cstdint>

namespace zembra {

// Reads the key afresh from the watermark's device context.
bool LightKey(HDC watermark);

// SRCAND for a light key, SRCPAINT for a dark one.
std::uint32_t KeyRasterOp(bool light);

// White for a light key, the button-text system colour for a dark one.
OLE_COLOR NeutralColour(bool light);

// Gives a box the key's neutral colour as background, fill and foreground colour;
// setting the background clears the box to it.
void SetNeutralColours(PictureBox& box, bool light);

} // namespace zembra
