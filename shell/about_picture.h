// The About picture's size, which sets the size of both windows.
#ifndef ZORVAK_SHELL_ABOUT_PICTURE_H
#define ZORVAK_SHELL_ABOUT_PICTURE_H

// Width and height of bitmap "BMP_ABOUT" in appInstance; 453 x 302 when it
// cannot be loaded or measured.
void MeasureAboutPicture(int *width, int *height);

// Top-left corner that centres an outer window of the given size on the
// desktop (halves rounded down).
void CentreOnDesktop(int width, int height, int *x, int *y);

#endif
