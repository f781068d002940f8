// The preview of "p <handle>": a black child window over the little monitor
// picture of the display settings, showing the saver's logo at the top left
// and, right of it, the saver's name climbing one letter per line, drawn by
// a thread of its own (CTextBannerThread). Both are drawn into the window's
// play output, which the window paints from. The program ends with the
// window, and the window ends when its parent goes.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"
#include "framework/Sync.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"
#include "playback/PlayOutput.h"

class CSaverPreviewWnd;

class CTextBannerThread : public CWinThread {
 public:
  // Prepares the banner of the text for the window (on the caller's
  // thread): one centred letter per line, with one black row below.
  CTextBannerThread(CSaverPreviewWnd* window, const int* logoWidth, const char* text);

  // Stops the scrolling, waits for the thread and deletes this object.
  void Stop();

  bool IsBannerMade() const { return m_made; }
  CSize GetBannerSize() const { return CSize(m_width, m_height); }
  CPoint GetStartPosition() const { return CPoint(m_startX, m_startY); }

 protected:
  bool InitInstance() override;  // the scrolling loop
  void Delete() override;        // sets the ended event; never deletes

 private:
  HWND m_window;
  CWindowPlayOutput* m_screen;
  int m_x = 0, m_y = 0;
  int m_startX = 0, m_startY = 0;
  CFont m_font;
  CBitmap m_banner;
  int m_width = 0, m_height = 0;
  int m_step = 1;
  bool m_made = false;
  CEvent m_stop;
  CEvent m_ended;
};

class CSaverPreviewWnd : public CWnd {
 public:
  explicit CSaverPreviewWnd(const char* name);
  ~CSaverPreviewWnd() override;

  int GetLogoWidth() const { return m_logoWidth; }
  int GetLogoHeight() const { return m_logoHeight; }
  CWindowPlayOutput& GetScreen() { return m_screen; }

 protected:
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;

 private:
  // Draws the logo at the top left.
  void DrawLogo(CDC& dc);

  CBitmap m_logo;
  CWindowPlayOutput m_screen;
  CTextBannerThread* m_banner = nullptr;
  int m_logoWidth = 97;  // one column more than the bitmap: the copy clears it
  int m_logoHeight = 112;
  char m_name[MAX_PATH];
};
