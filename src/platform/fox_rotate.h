#pragma once
// FoxRotate: draws a rectangle of one surface into another, turned about its
// centre. The watermark placement uses it to lay a stretched logo along a
// picture's diagonal.

#include "platform/device_context.h"
#include "platform/surface.h"

namespace zembra {

// Draws the w x h rectangle of src at (sx, sy) into dst, turned by `degrees` about
// its centre and with that centre at (cx, cy); coordinates are pixel corners. y runs
// down the screen, so a positive angle turns clockwise as seen: -30 lays the
// rectangle's top edge on a line rising to the right.
//
// Each destination pixel whose centre falls inside the turned rectangle takes the
// bilinear sample of the source under it; along the rectangle's edges the sample is
// mixed with the pixel by how much of the pixel the rectangle covers, so edges do
// not step. Pixels outside keep their colour. False, with nothing drawn, when the
// rectangle is empty or does not lie inside src.
bool RotateOnto(Surface& dst, double cx, double cy, const Surface& src, int sx, int sy, int w,
                int h, double degrees);

// RotateOnto for a w x h rectangle too large to hold at once, one band of its rows
// at a time: `band` holds rows [first, first + count) from its top, and the row
// after them when the rectangle has one. Only the destination pixels whose sample
// starts in those rows are drawn (above the rectangle counts as its first row,
// below as its last), so the bands of a whole rectangle, drawn one after another,
// draw each pixel once and as RotateOnto would. False, with nothing drawn, when
// the band is not inside the rectangle or `band` is too small for it.
bool RotateBandOnto(Surface& dst, double cx, double cy, const Surface& band, int first, int count,
                    int w, int h, double degrees);

// The same between device contexts, in the argument order its callers use. The
// last two arguments are reserved and must be 0. Returns 1 when drawn, 0 when a
// context names nothing or RotateOnto refuses.
int FoxRotate(HDC dst, int cx, int cy, int w, int h, HDC src, int sx, int sy, double degrees,
              int reserved1, int reserved2);

// RotateBandOnto between device contexts; 1 when drawn, else 0 as FoxRotate.
int FoxRotateBand(HDC dst, int cx, int cy, HDC band, int first, int count, int w, int h,
                  double degrees);

} // namespace zembra
