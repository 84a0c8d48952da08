// The About picture's size, which sets the size of both windows.
#ifndef ZORVAK_SHELL_ABOUT_PICTURE_H
#define ZORVAK_SHELL_ABOUT_PICTURE_H

// The smallest About picture that still gives a playable field.  The main
// window's client area is the picture plus 58 x 28 pixels, and the rules need:
//  - width: a formation row stands at x = 64 to 320 and must lie between the
//    side walls (x <= clientWidth - 64), so clientWidth >= 384.  That also
//    leaves the columns midway between the formation's aliens free for the
//    crazy invaders placed beside it, and keeps the random entry column
//    (64 + Random(clientWidth - 128)) well defined.
//  - height: a crazy invader stops at the last height not below
//    clientHeight - 128, which must not lie above the client area (where the
//    player could not see it), so clientHeight >= 128.  The ship's row
//    (clientHeight - 80) then lies 80 pixels below the entry row (y = -32),
//    clear of the boxes that the placement of new invaders tries, and the
//    player's missiles (32 above the ship) start inside the field.
// A smaller picture leaves the window at the fixed 453 x 302 picture size.
const int ABOUT_PICTURE_MIN_WIDTH = 384 - 58;
const int ABOUT_PICTURE_MIN_HEIGHT = 128 - 28;

// Width and height of bitmap "BMP_ABOUT" in appInstance; 453 x 302 when it
// cannot be loaded or measured, or is smaller than the minimum above.
void MeasureAboutPicture(int *width, int *height);

// Top-left corner that centres an outer window of the given size on the
// desktop (halves rounded down).
void CentreOnDesktop(int width, int height, int *x, int *y);

#endif
