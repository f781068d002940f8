// The builder's own controls: drawing, the mouse rules of the two buttons,
// the preview's canvas and the text progress bar's painting.
#include "builder/controls/CustomControls.h"

#include <commctrl.h>

#include "framework/Seams.h"
#include "framework/TextFormat.h"
#include "imaging/RgbImage.h"
#include "script/Objects.h"

namespace {

HINSTANCE ModuleInstance() { return ::GetModuleHandleA(nullptr); }

// The window's text without the "&" marks of its mnemonic ("&&" is one).
CString CaptionWithoutMnemonic(HWND hwnd) {
  char text[256] = "";
  ::GetWindowTextA(hwnd, text, sizeof text);
  CString out;
  for (const char* p = text; *p; ++p) {
    if (*p == '&') {
      if (p[1] != '&') continue;
      ++p;
    }
    out += *p;
  }
  return out;
}

void SetButtonType(HWND hwnd, LONG_PTR type) {
  const LONG_PTR style = ::GetWindowLongPtrA(hwnd, GWL_STYLE);
  ::SetWindowLongPtrA(hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | type);
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  const COLORREF old = ::SetBkColor(dc, colour);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  ::SetBkColor(dc, old);
}

}  // namespace

// ---------------------------------------------------------------------------
// CToggleButton

void CToggleButton::PreSubclassWindow() {
  const LONG_PTR type = GetStyle() & BS_TYPEMASK;
  m_defaultFrame = type == BS_DEFPUSHBUTTON;
  if (type == BS_AUTOCHECKBOX) {
    m_toggle = true;
    m_defaultFrame = false;
  }
  SetButtonType(m_hWnd, BS_OWNERDRAW);
  // "MS Sans Serif" is a bitmap face whose smallest size is 8 points
  // (a 13-pixel cell); a scalable stand-in for it would draw an 8-pixel
  // cell, too small to read, so the 8-point cell is asked for.
  LOGFONTA lf = {};
  lf.lfHeight = 13;
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpyA(lf.lfFaceName, "MS Sans Serif");
  m_font.CreateFontIndirect(&lf);
}

void CToggleButton::SetCheck(int value) {
  m_checked = value == 1;
  if (m_hWnd) Invalidate(false);
}

void CToggleButton::SetDefault(int value) {
  m_defaultFrame = value != 0;
  if (m_hWnd) Redraw(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CToggleButton::IsPointerInside(LPARAM lp) const {
  const POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  const CRect client = GetClientRect();
  return ::PtInRect(&client, pt) != FALSE;
}

LRESULT CToggleButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDBLCLK:
      // An owner-drawn button would only report the double click: a second
      // click must press it as the first did.
      return DefWindowProc(WM_LBUTTONDOWN, wp, lp);
    case WM_LBUTTONUP:
      // Released over the button while it was being pressed: a click.
      if (m_toggle && ::GetCapture() == m_hWnd && IsPointerInside(lp)) m_checked = !m_checked;
      break;
    case WM_KEYUP:
      // Space released while it holds the button down: the keyboard's click.
      if (m_toggle && wp == VK_SPACE && (GetState() & BST_PUSHED)) m_checked = !m_checked;
      break;
    case WM_KILLFOCUS:
      if (::GetCapture() == m_hWnd) ::ReleaseCapture();
      break;
    default:
      break;
  }
  const LRESULT r = CButton::WindowProc(msg, wp, lp);
  if (msg == WM_LBUTTONUP || msg == WM_LBUTTONDOWN || msg == WM_KILLFOCUS || msg == WM_KEYUP ||
      (msg == WM_MOUSEMOVE && ::GetCapture() == m_hWnd))
    Invalidate(false);
  return r;
}

bool CToggleButton::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
  *result = TRUE;
  return true;
}

void CToggleButton::Draw(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  CRect r(item.rcItem);
  const CString caption = CaptionWithoutMnemonic(m_hWnd);
  FillSolid(dc, r, ::GetSysColor(COLOR_BTNFACE));
  if (item.itemState & ODS_DISABLED) {
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
    const HFONT font = GetFont();
    CSelectObject selected(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, caption, caption.GetLength(), &extent);
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.GetString()),
                 caption.GetLength(), r.left + (r.Width() - extent.cx) / 2,
                 r.top + (r.Height() - extent.cy) / 2, extent.cx, extent.cy,
                 DST_TEXT | DSS_DISABLED);
    return;
  }
  CSelectObject selected(dc, m_font.GetSafeHandle());
  if (m_defaultFrame) r.DeflateRect(1, 1);
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  if (!m_toggle) {
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  } else {
    CRect edge = r;
    ::DrawEdge(dc, &edge, (pushed || m_checked) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  if (item.itemState & ODS_FOCUS) {
    CRect focus = r;
    focus.DeflateRect(3, 3);
    ::DrawFocusRect(dc, &focus);
  }
  if (m_defaultFrame) {
    // Around the shrunk face, in the pixel row it left.
    const CRect outer(item.rcItem);
    CSelectObject pen(dc, ::GetStockObject(BLACK_PEN));
    CSelectObject brush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, outer.left, outer.top, outer.right, outer.bottom);
  }
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  CRect text = r;
  ::DrawTextA(dc, caption, caption.GetLength(), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SetTextColor(dc, oldColour);
  ::SetBkMode(dc, oldMode);
}

// ---------------------------------------------------------------------------
// CRolloverButton

void CRolloverButton::PreSubclassWindow() { SetButtonType(m_hWnd, BS_OWNERDRAW); }

void CRolloverButton::SetLayout(int width, int height, int imageX, int imageY, int windowX,
                                int windowY, int hasDisabledBitmap) {
  m_hasDisabled = hasDisabledBitmap;
  m_width = width;
  m_height = height;
  m_image = CPoint(imageX, imageY);
  m_autoPlace = false;
  if (m_hWnd && (windowX != 0 || windowY != 0))
    SetWindowPos(nullptr, windowX, windowY, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CRolloverButton::LoadBitmaps(UINT id, HINSTANCE instance) {
  if (!instance) instance = ModuleInstance();
  for (int i = 0; i < 3; ++i) {
    m_pictures[i].DeleteObject();
    if (i == kDisabled && !m_hasDisabled) continue;
    m_pictures[i].Attach(::LoadBitmapA(instance, MAKEINTRESOURCEA(id + i)));
  }
  // Without a layout, the pictures' own size.
  if (m_width <= 0 || m_height <= 0) {
    const CSize size = m_pictures[kNormal].GetSize();
    m_width = size.cx;
    m_height = size.cy;
  }
  if (m_hWnd) Invalidate(false);
  return HasPicture(kNormal);
}

CPoint CRolloverButton::SetTextPosition(int x, int y) {
  const CPoint old = m_image;
  m_image = CPoint(x, y);
  m_autoPlace = false;
  return old;
}

bool CRolloverButton::HasPicture(Picture which) const {
  return m_pictures[which].GetSafeHandle() != nullptr;
}

void CRolloverButton::SetHover(bool hover) {
  if (m_hover == hover) return;
  m_hover = hover;
  Invalidate(false);
}

LRESULT CRolloverButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_tracking = ::_TrackMouseEvent(&track) != FALSE;
        SetHover(true);
      }
      break;
    case WM_MOUSEHOVER:
      SetHover(true);
      return 0;
    case WM_MOUSELEAVE:
      m_tracking = false;
      SetHover(false);
      return 0;
    default:
      break;
  }
  return CButton::WindowProc(msg, wp, lp);
}

bool CRolloverButton::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
  *result = TRUE;
  return true;
}

void CRolloverButton::Draw(const DRAWITEMSTRUCT& item) {
  m_lastState = item.itemState;
  m_lastAction = item.itemAction;
  if (item.itemAction == ODA_FOCUS) return;
  const CBitmap* picture = &m_pictures[kNormal];
  if ((item.itemState & ODS_DISABLED) && HasPicture(kDisabled))
    picture = &m_pictures[kDisabled];
  else if (m_hover && HasPicture(kHover))
    picture = &m_pictures[kHover];
  const CRect r(item.rcItem);
  FillSolid(item.hDC, r, ::GetSysColor(COLOR_BTNFACE));
  if (!picture->GetSafeHandle()) return;
  CPoint at = m_image;
  if (m_autoPlace) {
    const CRect client = GetClientRect();
    at.x = ::GetWindowTextLengthA(m_hWnd) > 0 ? m_textOffset + r.left
                                               : (client.Width() - m_width) >> 1;
    at.y = (client.Height() - m_height) >> 1;
  }
  if (item.itemState & ODS_SELECTED) at.Offset(1, 1);
  CMemoryDC memory(item.hDC);
  CSelectObject selected(memory, picture->GetSafeHandle());
  ::BitBlt(item.hDC, at.x, at.y, m_width, m_height, memory, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// CFrameToolBar

CSize CFrameToolBar::CalcDynamicLayout(int length, DWORD mode) {
  CSize size = CToolBar::CalcDynamicLayout(length, mode);
  if (length == -1 && (mode & LM_VERTDOCK) && !(mode & (LM_MRUWIDTH | LM_COMMIT))) {
    for (int i = 0; i < GetCount(); ++i)
      if (GetButtonStyle(i) & TBSTYLE_SEP) size.cy += 3;
  }
  return size;
}

// ---------------------------------------------------------------------------
// CPreviewStatic

void CPreviewStatic::PreSubclassWindow() {
  // Centred, the static keeps its size and draws the canvas as it is.
  // Otherwise it would size its window (border and all) to the canvas and
  // then stretch the canvas into the smaller client area, dropping rows and
  // columns by the DC's default stretch mode, which ANDs them into their
  // neighbours: dark lines across the picture.
  const LONG_PTR style = GetStyle();
  ::SetWindowLongPtrA(m_hWnd, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_BITMAP | SS_CENTERIMAGE);
  LOGFONTA lf = {};
  lf.lfHeight = -9;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpyA(lf.lfFaceName, "Small Fonts");
  m_labelFont.CreateFontIndirect(&lf);
  if (HWND label = ::GetDlgItem(GetParent(), kSizeLabelId))
    ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont.GetSafeHandle()), TRUE);
  // SS_BITMAP may have shrunk the control to a picture it does not have
  // yet: the canvas takes the size the template gave.
  m_size = GetClientRect().Size();
  if (m_size.cx <= 0 || m_size.cy <= 0) m_size = CSize(kThumbWidth, kThumbHeight);
  CClientDC screen(nullptr);
  m_canvas.Attach(::CreateCompatibleBitmap(screen, m_size.cx, m_size.cy));
  ::SetBitmapDimensionEx(m_canvas, m_size.cx, m_size.cy, nullptr);
  ShowNoImage();
}

void CPreviewStatic::Present() {
  // The static keeps the canvas as its picture; it must let go of it and
  // take it again for the new content to show.
  SendMessage(STM_SETIMAGE, IMAGE_BITMAP, 0);
  SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_canvas.GetSafeHandle()));
  Invalidate(false);
}

void CPreviewStatic::SetLabel(const char* text) {
  if (HWND label = ::GetDlgItem(GetParent(), kSizeLabelId)) ::SetWindowTextA(label, text);
}

void CPreviewStatic::ShowNoImage() {
  if (!m_canvas.GetSafeHandle()) return;
  {
    CMemoryDC memory(nullptr);
    CSelectObject selected(memory, m_canvas.GetSafeHandle());
    const CRect all(0, 0, m_size.cx, m_size.cy);
    FillSolid(memory, all, ::GetSysColor(COLOR_BTNFACE));
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(GetParent(), WM_GETFONT, 0, 0));
    CSelectObject fontSelected(memory, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(memory, TRANSPARENT);
    static const char kText[] = "No Image";
    ::SetTextColor(memory, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::TextOutA(memory, 1, 1, kText, sizeof kText - 1);
    ::SetTextColor(memory, ::GetSysColor(COLOR_BTNSHADOW));
    ::TextOutA(memory, 0, 0, kText, sizeof kText - 1);
  }
  m_showing = kShowsNoImage;
  SetLabel("");
  Present();
}

bool CPreviewStatic::DrawThumbnail(const void* bytes, DWORD count, SIZE* size) {
  CRgbImage picture;
  if (!bytes || !count || !picture.LoadMemory(bytes, count)) return false;
  *size = picture.GetSize();
  // The thumbnail's box, and the canvas's when that is smaller.
  const SIZE box = {m_size.cx < kThumbWidth ? m_size.cx : kThumbWidth,
                    m_size.cy < kThumbHeight ? m_size.cy : kThumbHeight};
  const SIZE fitted = FitSizeKeepAspect(size->cx, size->cy, box);
  if (!picture.Scale(fitted.cx, fitted.cy)) return false;
  CMemoryDC memory(nullptr);
  CSelectObject selected(memory, m_canvas.GetSafeHandle());
  FillSolid(memory, CRect(0, 0, m_size.cx, m_size.cy), ::GetSysColor(COLOR_BTNFACE));
  ::SetStretchBltMode(memory, HALFTONE);
  return DrawImage(memory, picture.GetScaledPixels(), fitted.cx, fitted.cy,
                   (m_size.cx - fitted.cx) / 2, (m_size.cy - fitted.cy) / 2, fitted.cx, fitted.cy,
                   nullptr) != FALSE;
}

int CPreviewStatic::Shown(Showing what, SIZE size) {
  char label[48];
  FormatText(label, sizeof label, "%d x %d", static_cast<int>(size.cx), static_cast<int>(size.cy));
  m_showing = what;
  SetLabel(label);
  Present();
  return 1;
}

int CPreviewStatic::ShowImage(CImageTextObject* object) {
  SIZE size = {0, 0};
  if (!object || !m_canvas.GetSafeHandle() ||
      !DrawThumbnail(object->m_pPicture, object->m_pictureSize, &size))
    return 0;
  return Shown(kShowsImage, size);
}

int CPreviewStatic::ShowImageFile(CImageTextObject* object, const char* path) {
  if (!object || !object->LoadImageFile(path)) return 0;
  return ShowImage(object);
}

int CPreviewStatic::ShowText(CImageTextObject* object) {
  if (!object || !m_canvas.GetSafeHandle()) return 0;
  // The renderer marks the font it is given for smoothing: it gets a copy,
  // so that previewing leaves the object as it is stored.
  LOGFONTA font = object->m_font;
  CTextLook look;
  look.font = &font;
  look.text = object->m_text;
  look.textColour = object->m_textColour;
  look.bkColour = object->m_bkColour;
  look.opaque = object->m_bkMode != 0;
  look.format = object->GetTextFormat();
  CRgbImage rendered;
  {
    CMemoryDC memory(nullptr);
    if (!rendered.DrawTextThumbnail(memory, look, m_canvas, nullptr)) return 0;
  }
  return Shown(kShowsText, rendered.GetSize());
}

int CPreviewStatic::ShowObject(CImageTextObject* object) {
  int shown = 0;
  if (object && object->IsText()) {
    shown = ShowText(object);
  } else if (object && object->m_pPicture && object->m_pictureSize) {
    // A picture that cannot be decoded shows "No Image" here, without the
    // library's box: browsing a list must not stop at every bad picture.
    CQuietMessages quiet;
    shown = ShowImage(object);
  }
  if (!shown) ShowNoImage();
  return shown;
}

// ---------------------------------------------------------------------------
// CTextProgressCtrl

void CTextProgressCtrl::SetRange(int lower, int upper) {
  m_lower = lower;
  m_upper = upper;
  m_lastWidth = -1;
  if (m_hWnd) Invalidate(false);
}

int CTextProgressCtrl::SetStep(int step) {
  const int old = m_step;
  m_step = step;
  return old;
}

void CTextProgressCtrl::SetShowText(bool show) {
  m_showText = show;
  if (m_hWnd) Invalidate(false);
}

int CTextProgressCtrl::FilledWidth() const {
  if (m_lower >= m_upper) return 0;
  const double f = static_cast<double>(m_pos - m_lower) / (static_cast<double>(m_upper) - m_lower);
  return static_cast<int>(GetClientRect().Width() * f);
}

int CTextProgressCtrl::SetPos(int pos) {
  if (!IsWindow()) return -1;
  const int old = m_pos;
  m_pos = pos;
  const int width = FilledWidth();
  if (width != m_lastWidth) {
    m_lastWidth = width;
    Redraw(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  return old;
}

CString CTextProgressCtrl::GetShownText() const {
  if (!m_showText || m_lower >= m_upper) return CString();
  if (!m_text.IsEmpty()) return m_text;
  const double f = static_cast<double>(m_pos - m_lower) / (static_cast<double>(m_upper) - m_lower);
  char text[16];
  FormatText(text, sizeof text, "%d%%", static_cast<int>(f * 100));
  return CString(text);
}

void CTextProgressCtrl::Paint(HDC dc, const CRect& area) {
  if (m_lower >= m_upper || area.IsRectEmpty()) return;
  const CRect client = GetClientRect();
  const int split = client.left + FilledWidth();
  // Drawn off the screen, then copied in one go.
  CBitmap canvas;
  canvas.Attach(::CreateCompatibleBitmap(dc, area.Width(), area.Height()));
  CMemoryDC memory(dc);
  CSelectObject selected(memory, canvas.GetSafeHandle());
  ::SetViewportOrgEx(memory, -area.left, -area.top, nullptr);
  const CRect bar(client.left, client.top, split, client.bottom);
  const CRect rest(split, client.top, client.right, client.bottom);
  FillSolid(memory, bar, m_barColour);
  FillSolid(memory, rest, m_bkColour);
  const CString text = GetShownText();
  if (!text.IsEmpty()) {
    HFONT font = GetFont();
    CSelectObject fontSelected(memory, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(memory, TRANSPARENT);
    const struct {
      CRect clip;
      COLORREF colour;
    } parts[] = {{bar, m_textOverBar}, {rest, m_textOverBk}};
    for (const auto& part : parts) {
      if (part.clip.IsRectEmpty()) continue;
      ::SaveDC(memory);
      ::IntersectClipRect(memory, part.clip.left, part.clip.top, part.clip.right, part.clip.bottom);
      ::SetTextColor(memory, part.colour);
      CRect r = client;
      ::DrawTextA(memory, text, text.GetLength(), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      ::RestoreDC(memory, -1);
    }
  }
  ::SetViewportOrgEx(memory, 0, 0, nullptr);
  ::BitBlt(dc, area.left, area.top, area.Width(), area.Height(), memory, 0, 0, SRCCOPY);
}

LRESULT CTextProgressCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(m_hWnd, &ps);
      Paint(dc, CRect(ps.rcPaint));
      ::EndPaint(m_hWnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wp), GetClientRect());
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      m_lastWidth = -1;
      break;
    case WM_SETTEXT: {
      // The window keeps its text (in the control's own character set);
      // a change repaints.
      const CString old = m_text;
      const LRESULT r = CProgressCtrl::WindowProc(msg, wp, lp);
      m_text = GetText();
      if (m_text != old) Invalidate(false);
      return r;
    }
    case PBM_SETRANGE:
      SetRange(LOWORD(lp), HIWORD(lp));
      return 0;
    case PBM_SETRANGE32:
      SetRange(static_cast<int>(wp), static_cast<int>(lp));
      return 0;
    case PBM_SETPOS:
      return SetPos(static_cast<int>(wp));
    case PBM_DELTAPOS:
      return SetPos(m_pos + static_cast<int>(wp));
    case PBM_GETPOS:
      return m_pos;
    case PBM_GETRANGE:
      if (lp) {
        auto* range = reinterpret_cast<PBRANGE*>(lp);
        range->iLow = m_lower;
        range->iHigh = m_upper;
      }
      return wp ? m_lower : m_upper;
    case PBM_SETSTEP:
      return SetStep(static_cast<int>(wp));
    case PBM_STEPIT:
      return StepIt();
    default:
      break;
  }
  return CProgressCtrl::WindowProc(msg, wp, lp);
}
