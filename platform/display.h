// What every backend that shows the program's windows decides the same way:
// the whole-number scale an image is shown at (on a desktop, in full screen,
// in a page), where it sits on a surface and how a point of that surface
// maps back to the image, the caption bar drawn where no desktop frame shows
// the title, and the windows' icon.  Backends only put the result on their
// display.
#ifndef ZORVAK_PLATFORM_DISPLAY_H
#define ZORVAK_PLATFORM_DISPLAY_H

#include "platform/backend.h"
#include "platform/platform.h"

#include <cstdint>
#include <vector>

namespace zplat {

// ---- Scale -------------------------------------------------------------------

// The largest scale any backend shows an image at.
constexpr int kLargestScale = 64;

// The largest whole scale at which an image of imageWidth x imageHeight fits
// a room of roomWidth x roomHeight pixels; at least 1, at most kLargestScale.
int FitScale(int roomWidth, int roomHeight, int imageWidth, int imageHeight);

// The scale of a window on a desktop of desktopWidth x desktopHeight: the
// largest that still leaves room for the window's frame and the desktop's own
// panels (a tenth of the width, a sixth of the height); at least 1, at most 16.
int DesktopScale(int desktopWidth, int desktopHeight, int imageWidth, int imageHeight);

// The scale of full screen on a screen of screenWidth x screenHeight: the
// largest at which the image and the caption bar above it fit.  It is also
// the largest scale a player may ask for.
int FullScreenScale(int screenWidth, int screenHeight, int imageWidth, int imageHeight);

// ---- Placement ---------------------------------------------------------------

// Where a window's image sits on the surface that shows it, in surface pixels.
struct Placement {
    int scale = 1;
    int left = 0;          // of the caption bar and the image
    int top = 0;           // of the caption bar, or of the image when there is none
    int captionHeight = 0; // scaled; 0 on a desktop, whose frame has a title bar
    bool operator==(const Placement &) const = default;
};

// On a desktop the surface is the window, the image fills it at
// desktopScale.  In full screen the image and its caption bar are centred at
// FullScreenScale, black around them.
Placement PlaceImage(int surfaceWidth, int surfaceHeight, int imageWidth, int imageHeight,
                     bool fullScreen, int desktopScale);

// A point of the surface in image pixels, rounded down; points off the image
// (the caption bar, the black around it) give coordinates outside it.
void SurfaceToImage(const Placement &place, int x, int y, int *imageX, int *imageY);

// ---- Caption bar ---------------------------------------------------------------

// The height of a caption bar, in image pixels: the nominal caption of the
// frame that the layer reserves around a top-level window.
constexpr int kCaptionBarHeight = 19;

// Draws the bar over all of a width x height image of 0x00RRGGBB pixels: the
// window's title on the caption colour of an active or an inactive window; a
// title too long for the bar ends in "...".
void DrawCaptionBar(uint32_t *pixels, int width, int height, const char *title, bool active);

// ---- Full screen ---------------------------------------------------------------

// In full screen one picture shows the program: the main window's image
// under a caption bar with its title, and over it the other windows shown
// (the About window), each framed as a dialog of the time (kFrameBorder
// pixels of raised edge around a caption bar with its title and its image)
// and centred on the main window's client area, never over the caption bar.
// Backends scale it with PlaceImage's placement (its top is the caption
// bar's) and map points back with SurfaceToImage, then FindOverlay.

// The border of such a frame, on every side; its caption bar is
// kCaptionBarHeight high, under the top border.
constexpr int kFrameBorder = 3;

// A window shown over the main one: its image, 0x00RRGGBB, and its title.
struct Overlay {
    const uint32_t *pixels = nullptr;
    int width = 0;
    int height = 0;
    const char *title = "";
    bool active = false; // has the keyboard: the caption colour
};

// The main window's image and title, and the overlays, later ones on top.
struct FullScreenScene {
    const uint32_t *pixels = nullptr;
    int width = 0;
    int height = 0;
    int clientY = 0; // where its client area starts (under its menu bar)
    const char *title = "";
    bool active = false;
    const Overlay *overlays = nullptr;
    int overlayCount = 0;
};

// The picture's size: the main image's width, the caption bar and its height.
inline int FullScreenHeight(int imageHeight) {
    return kCaptionBarHeight + imageHeight;
}

// Where an overlay of width x height shows its image in the picture (its
// frame around that), for a main image of imageWidth x imageHeight whose
// client area starts at clientY.
Area PlaceOverlay(int imageWidth, int imageHeight, int clientY, int width, int height);

// Draws the part box of the picture (picture pixels; the rest is left as
// it is) into picture, scene.width x FullScreenHeight(scene.height).
void ComposeFullScreen(const FullScreenScene &scene, const Area &box, uint32_t *picture);

// The overlay (its frame included) at a point of the picture, topmost
// first, and the point in that overlay's image; -1 when the point is on the
// main window's image or caption bar.
int FindOverlay(const FullScreenScene &scene, int pictureX, int pictureY, int *overlayX,
                int *overlayY);

// ---- Icon ----------------------------------------------------------------------

// The icon every window of a program shows while it shows no picture of its
// own: the module's ICON_1, 0xAARRGGBB, top row first (alpha 0 where the
// icon is transparent).  Decoded once per module; empty when there is none.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
};
const IconImage &ProgramIcon(HINSTANCE module);

} // namespace zplat

#endif
