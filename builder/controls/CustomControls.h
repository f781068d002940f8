// The builder's own controls, which give its dialogs and bars their look:
// a flat bold push button that can act as a toggle (CToggleButton), a
// bitmap button that lights up under the mouse (CRolloverButton), a toolbar
// whose column leaves room for its separators (CFrameToolBar), the picture
// preview of the object dialogs (CPreviewStatic) and a progress bar that
// writes its text over itself (CTextProgressCtrl). Each is put over a
// template's control by DDX_Control or SubclassDlgItem; the buttons draw
// themselves through the reflected WM_DRAWITEM.
#pragma once

#include <windows.h>

#include "framework/Bars.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "framework/Strings.h"

class CImageTextObject;

// A flat push button with a bold caption. A template's default push button
// gets a black frame (the default frame); an auto check box (used
// push-like) becomes a toggle that stays pushed in while checked.
class CToggleButton : public CButton {
 public:
  // The checked flag of a toggle (0 or 1); SetCheck sets it to value == 1.
  int GetCheck() const { return m_checked ? 1 : 0; }
  void SetCheck(int value);
  // Sets the default frame and redraws at once.
  void SetDefault(int value);
  bool IsToggle() const { return m_toggle; }
  bool HasDefaultFrame() const { return m_defaultFrame; }

 protected:
  void PreSubclassWindow() override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Draw(const DRAWITEMSTRUCT& item);
  bool IsPointerInside(LPARAM lp) const;

  CFont m_font;
  bool m_defaultFrame = false;
  bool m_toggle = false;
  bool m_checked = false;
};

// A bitmap button with a normal, a hover and (optionally) a disabled
// picture, drawn 1:1 at a fixed or centred position; the caption is not
// drawn.
class CRolloverButton : public CButton {
 public:
  enum Picture { kNormal, kHover, kDisabled };

  // The disabled-picture flag, the pictures' size, a fixed image position,
  // and the window moved to (windowX, windowY) at the pictures' size
  // unless both are 0.
  void SetLayout(int width, int height, int imageX, int imageY, int windowX, int windowY,
                 int hasDisabledBitmap);
  // normal := id, hover := id + 1, disabled := id + 2 when the flag is set
  // (resources of the instance, the program's module when null); redraws.
  // False when the normal picture is missing.
  bool LoadBitmaps(UINT id, HINSTANCE instance = nullptr);
  // Fixes the image position; returns the previous one.
  CPoint SetTextPosition(int x, int y);

  bool HasPicture(Picture which) const;
  bool IsHovering() const { return m_hover; }

 protected:
  void PreSubclassWindow() override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Draw(const DRAWITEMSTRUCT& item);
  void SetHover(bool hover);

  CBitmap m_pictures[3];
  int m_hasDisabled = 1;
  int m_width = 0, m_height = 0;
  bool m_autoPlace = true;
  CPoint m_image;
  int m_textOffset = 4;
  UINT m_lastState = 0, m_lastAction = 0;
  bool m_hover = false;
  bool m_tracking = false;
};

// A toolbar whose natural column, docked on a side, is 3 pixels longer per
// separator, so that the separators get their room.
class CFrameToolBar : public CToolBar {
 public:
  CSize CalcDynamicLayout(int length, DWORD mode) override;
};

// The picture preview of the object dialogs: a canvas of the control's
// size showing an object's thumbnail, its text, or "No Image", and the
// object's size in the parent's label (control kSizeLabelId).
class CPreviewStatic : public CStatic {
 public:
  static constexpr int kSizeLabelId = 1170;
  // The thumbnail's box.
  static constexpr int kThumbWidth = 160, kThumbHeight = 120;
  enum Showing { kShowsNoImage, kShowsImage, kShowsText };

  // A text object as ShowText, a picture as ShowImage, an object without
  // picture bytes as ShowNoImage; "No Image" follows any failure. Returns
  // 1 when the object is shown.
  int ShowObject(CImageTextObject* object);
  // The picture's thumbnail (made from its bytes) and its size in the
  // label; 0 when it cannot be made (the canvas is then left for the
  // caller: ShowObject shows "No Image").
  int ShowImage(CImageTextObject* object);
  // Loads the file into the object, then ShowImage; 0 (with the reading's
  // message) when either fails.
  int ShowImageFile(CImageTextObject* object, const char* path);
  // The text rendered as the object draws it, fitted to the canvas, and
  // its rendered size in the label.
  int ShowText(CImageTextObject* object);
  // "No Image", embossed on the button face; the label cleared.
  void ShowNoImage();

  Showing GetShowing() const { return m_showing; }
  // The canvas (owned by the control) and its size.
  HBITMAP GetCanvas() const { return static_cast<HBITMAP>(m_canvas.GetSafeHandle()); }

 protected:
  void PreSubclassWindow() override;

 private:
  // The canvas as the static's picture again, repainted.
  void Present();
  // Records what the canvas shows now, with the size in the label, and
  // presents it; returns 1.
  int Shown(Showing what, SIZE size);
  void SetLabel(const char* text);
  // Renders a picture's bytes into a thumbnail on the canvas; the
  // picture's own size in *size.
  bool DrawThumbnail(const void* bytes, DWORD count, SIZE* size);

  CBitmap m_canvas;
  CFont m_labelFont;
  CSize m_size;
  Showing m_showing = kShowsNoImage;
};

// A progress bar that writes its text (its window text, else the
// percentage done) over itself, in the window colour over the bar and the
// bar's colour over the background. It keeps its own range, position and
// step; the progress bar messages (PBM_SETRANGE32, PBM_SETPOS...) reach
// them too.
class CTextProgressCtrl : public CProgressCtrl {
 public:
  void SetRange(int lower, int upper);
  // Returns the old position; -1 (and nothing changes) without a window.
  // Repaints only when the filled width changes.
  int SetPos(int pos);
  int GetPos() const { return m_pos; }
  int StepIt() { return SetPos(m_pos + m_step); }
  int SetStep(int step);
  void SetShowText(bool show);
  // What painting writes: the window text, or "%d%%" of the part done; ""
  // while the range is empty or the text is off.
  CString GetShownText() const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Paint(HDC dc, const CRect& area);
  int FilledWidth() const;

  int m_pos = 0, m_step = 1, m_upper = 100, m_lower = 0;
  CString m_text;  // the window text, kept as it changes
  bool m_showText = true;
  int m_lastWidth = -1;
  COLORREF m_barColour = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF m_bkColour = ::GetSysColor(COLOR_WINDOW);
  COLORREF m_textOverBk = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF m_textOverBar = ::GetSysColor(COLOR_WINDOW);
};
