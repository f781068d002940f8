// Scope guards for the GDI objects and device contexts the image library
// makes: each is released, deleted or deselected on every path.
#pragma once

#include <windows.h>

namespace imaging {

class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetWindowDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

template <typename T>
class GdiObject {
 public:
  explicit GdiObject(T object = nullptr) : object_(object) {}
  ~GdiObject() {
    if (object_) DeleteObject(object_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  T get() const { return object_; }
  T release() {
    T object = object_;
    object_ = nullptr;
    return object;
  }
  void reset(T object) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_;
};

// Selects an object into a DC and puts the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() {
    if (ok()) SelectObject(dc_, old_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  bool ok() const { return old_ && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Selects and realises a palette (when one is given) and restores the old.
class PaletteSelection {
 public:
  PaletteSelection(HDC dc, HPALETTE palette, BOOL background = FALSE)
      : dc_(dc), old_(palette ? SelectPalette(dc, palette, background) : nullptr),
        background_(background) {
    if (old_) RealizePalette(dc);
  }
  ~PaletteSelection() {
    if (old_) SelectPalette(dc_, old_, background_);
  }
  PaletteSelection(const PaletteSelection&) = delete;
  PaletteSelection& operator=(const PaletteSelection&) = delete;

 private:
  HDC dc_;
  HPALETTE old_;
  BOOL background_;
};

}  // namespace imaging
