// The two pictures a saver makes at start-up for the picture objects that
// show the user's own desktop or wallpaper: a photograph of the desktop,
// and the wallpaper rendered at the screen's size the way the desktop
// shows it (centred on the desktop colour, tiled or stretched), or only the
// desktop colour when there is no wallpaper picture the image library can
// read. Both are written as 24-bit BMP files.
#pragma once

#include <windows.h>

// How the wallpaper lies on the screen.
enum SaverWallpaperStyle { kWallpaperCentre = 0, kWallpaperTile = 1, kWallpaperStretch = 2 };

// The style of a wallpaper as ReadWallpaperSettings reports it (1 centred,
// 2 tiled, 3 stretched); anything else is centred.
int SaverWallpaperStyleOf(int settingsStyle);

// Writes the desktop window's content as a 24-bit BMP; false when it could
// not be captured or written (no file is left then).
bool CaptureDesktopToFile(const char* path);

// Writes the wallpaper picture: the wallpaper (a BMP or JPEG file named by
// the desktop settings, or by the Active Desktop's when that is on) built
// at the screen's size as a 24-bit BMP, or else a picture of the desktop
// colour. *style receives the style used. False when nothing could be
// written.
bool SaveActiveDesktopImage(const char* path, int* style);

// The picture laid out on a canvas of the screen's size (HORZRES by
// VERTRES): 24-bit pixels in global memory (GlobalFree by the caller), or
// null after telling the user that it could not be made.
BYTE* BuildWallpaperImage(const BYTE* pixels, int width, int height, int style);
// The same on a canvas of the given size.
BYTE* BuildWallpaperImageAt(const BYTE* pixels, int width, int height, int style, SIZE canvas);

// Writes a picture of the screen's size in the desktop colour
// (COLOR_BACKGROUND); false when it could not be written.
bool SaveDesktopColourImage(const char* path);
