// The caption bar that the layer draws itself for a window whose desktop
// frame is gone (a full-screen window): the window's title in the layer's
// own font, on the caption colour of an active or an inactive window.
#ifndef ZORVAK_PLATFORM_CAPTION_BAR_H
#define ZORVAK_PLATFORM_CAPTION_BAR_H

#include <cstdint>

namespace zplat {

// The height of a caption bar, in unscaled pixels: the nominal caption of
// the frame that the layer reserves around a top-level window.
constexpr int kCaptionBarHeight = 19;

// Draws the bar over all of a width x height image of 0x00RRGGBB pixels;
// a title too long for the bar ends in "...".
void DrawCaptionBar(uint32_t *pixels, int width, int height, const char *title, bool active);

} // namespace zplat

#endif
