#include "script/Options.h"

#include <cstring>

#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "script/Objects.h"
#include "script/Palette.h"

namespace {
CString g_filePathOverride;

const int kDefaultTabSize = 2;
const int kDefaultScrollTime = 10;
const int kDefaultBeepOnWait = 100;
const int kDefaultWaitTick = 100;

void StoreFont(CArchive& ar, const LOGFONTA& font) {
  uint8_t bytes[kStoredLogFontSize];
  StoreLogFont(font, bytes);
  ar.Write(bytes, kStoredLogFontSize);
}

void LoadFont(CArchive& ar, LOGFONTA& font) {
  uint8_t bytes[kStoredLogFontSize];
  ar.ReadExactly(bytes, kStoredLogFontSize);
  LoadLogFont(bytes, font);
}

}  // namespace

CBuilderOptions::CBuilderOptions() { ResetDefaults(); }

CBuilderOptions::~CBuilderOptions() { DeleteFonts(); }

void CBuilderOptions::ResetDefaults() {
  m_tabSize = kDefaultTabSize;
  m_scrollTime = kDefaultScrollTime;
  m_beepOnWait = kDefaultBeepOnWait;
  m_waitTick = kDefaultWaitTick;
  m_normalFont = m_commentFont = m_disableFont = DefaultLogFont();
  m_normalColour = 0x000000;
  m_commentColour = 0x008000;
  m_disableColour = 0xC0C0C0;
  m_dragColour = 0x00FFFF;
  m_dragColourOn = 1;
  m_softDragging = 1;
  m_deleteClipboardOnExit = 1;
  m_saveBeforePreview = 0;
  m_previewAutoStart = 1;
  m_showPreviewToolbar = 1;
  m_splash = 1;
  for (int& h : m_heights) h = 0;
}

void CBuilderOptions::CopyFrom(const CBuilderOptions& o) {
  m_tabSize = o.m_tabSize;
  m_scrollTime = o.m_scrollTime;
  m_beepOnWait = o.m_beepOnWait;
  m_waitTick = o.m_waitTick;
  m_normalFont = o.m_normalFont;
  m_commentFont = o.m_commentFont;
  m_disableFont = o.m_disableFont;
  m_normalColour = o.m_normalColour;
  m_commentColour = o.m_commentColour;
  m_disableColour = o.m_disableColour;
  m_dragColour = o.m_dragColour;
  m_dragColourOn = o.m_dragColourOn;
  m_softDragging = o.m_softDragging;
  m_deleteClipboardOnExit = o.m_deleteClipboardOnExit;
  m_saveBeforePreview = o.m_saveBeforePreview;
  m_previewAutoStart = o.m_previewAutoStart;
  m_showPreviewToolbar = o.m_showPreviewToolbar;
  m_splash = o.m_splash;
}

void CBuilderOptions::Store(CArchive& ar) const {
  const int head[] = {m_tabSize, m_scrollTime, m_beepOnWait, m_waitTick};
  for (int v : head) ar << static_cast<int32_t>(v);
  StoreFont(ar, m_normalFont);
  StoreFont(ar, m_commentFont);
  StoreFont(ar, m_disableFont);
  const COLORREF colours[] = {m_normalColour, m_commentColour, m_disableColour, m_dragColour};
  for (COLORREF c : colours) ar << static_cast<uint32_t>(c);
  const int tail[] = {m_dragColourOn,      m_softDragging,     m_deleteClipboardOnExit,
                      m_saveBeforePreview, m_previewAutoStart, m_showPreviewToolbar,
                      m_splash};
  for (int v : tail) ar << static_cast<int32_t>(v);
}

void CBuilderOptions::Load(CArchive& ar) {
  m_tabSize = ReadInt(ar);
  m_scrollTime = ReadInt(ar);
  m_beepOnWait = ReadInt(ar);
  m_waitTick = ReadInt(ar);
  KeepInRange();
  LoadFont(ar, m_normalFont);
  LoadFont(ar, m_commentFont);
  LoadFont(ar, m_disableFont);
  m_normalColour = ReadColour(ar);
  m_commentColour = ReadColour(ar);
  m_disableColour = ReadColour(ar);
  m_dragColour = ReadColour(ar);
  m_dragColourOn = ReadInt(ar);
  m_softDragging = ReadInt(ar);
  m_deleteClipboardOnExit = ReadInt(ar);
  m_saveBeforePreview = ReadInt(ar);
  m_previewAutoStart = ReadInt(ar);
  m_showPreviewToolbar = ReadInt(ar);
  m_splash = ReadInt(ar);
}

// A file written elsewhere, or damaged, may hold values that the Options
// dialog never makes: a huge tab size would indent the list off any
// screen, and the wait tick divides the Wait command's time. Each value
// outside its range takes its default; the beep stays within the 50 ticks
// that the dialog offers.
void CBuilderOptions::KeepInRange() {
  if (m_tabSize < 0 || m_tabSize > kMaxTabSize) m_tabSize = kDefaultTabSize;
  if (m_scrollTime < 0 || m_scrollTime > kMaxScrollTime) m_scrollTime = kDefaultScrollTime;
  if (m_waitTick <= 0 || m_waitTick > kMaxWaitTick) m_waitTick = kDefaultWaitTick;
  const int maxBeep = kMaxBeepTicks * m_waitTick;
  if (m_beepOnWait < 0 || m_beepOnWait > maxBeep)
    m_beepOnWait = kDefaultBeepOnWait < maxBeep ? kDefaultBeepOnWait : maxBeep;
}

void CBuilderOptions::DeleteFonts() {
  for (HFONT& font : m_fonts) {
    if (font != nullptr) DeleteObject(font);
    font = nullptr;
  }
}

void CBuilderOptions::CreateFonts() {
  DeleteFonts();
  const LOGFONTA* fonts[3] = {&m_normalFont, &m_commentFont, &m_disableFont};
  HDC dc = GetDC(nullptr);
  for (int i = 0; i < 3; ++i) {
    m_fonts[i] = CreateFontIndirectA(fonts[i]);
    m_heights[i] = 0;
    if (dc != nullptr && m_fonts[i] != nullptr) {
      HGDIOBJ old = SelectObject(dc, m_fonts[i]);
      SIZE size;
      if (GetTextExtentPoint32A(dc, "W", 1, &size)) m_heights[i] = size.cy;
      SelectObject(dc, old);
    }
  }
  if (dc != nullptr) ReleaseDC(nullptr, dc);
}

int CBuilderOptions::StyleOf(const CSceneCommand& cmd) const {
  if (cmd.IsDisabled()) return 2;
  return cmd.GetType() == kTypeComment ? 1 : 0;
}

HFONT CBuilderOptions::GetStyleFont(const CSceneCommand& cmd) const { return m_fonts[StyleOf(cmd)]; }

int CBuilderOptions::GetStyleExtent(const CSceneCommand& cmd) const {
  return m_heights[StyleOf(cmd)];
}

COLORREF CBuilderOptions::GetStyleColour(const CSceneCommand& cmd) const {
  const COLORREF colours[3] = {m_normalColour, m_commentColour, m_disableColour};
  return colours[StyleOf(cmd)];
}

CString CBuilderOptions::GetFilePath() {
  if (!g_filePathOverride.IsEmpty()) return g_filePathOverride;
  char folder[MAX_PATH] = "";
  UINT n = GetWindowsDirectoryA(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) folder[0] = 0;
  CString path(folder);
  path += "\\Lumenweave.opt";
  return path;
}

void CBuilderOptions::SetFilePath(const char* path) { g_filePathOverride = path; }

int SerializeOptions(CBuilderOptions& options, bool load) {
  int result = 1;
  CFile file;
  unsigned mode = load ? CFile::modeRead | CFile::shareDenyWrite
                       : CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive;
  if (file.Open(options.GetFilePath(), mode)) {
    try {
      CArchive ar(&file, load ? CArchive::load : CArchive::store, 4096);
      if (load)
        options.Load(ar);
      else
        options.Store(ar);
      ar.Close();
      file.Close();
    } catch (CException* e) {
      e->Delete();
      file.Abort();
      result = 0;
      if (load) {
        // A damaged file is replaced by the defaults at once.
        options.ResetDefaults();
        SerializeOptions(options, false);
      }
    }
  }
  options.CreateFonts();
  return result;
}

int CCommandPalette::SerializeOptions(bool load) {
  return m_pOptions != nullptr ? ::SerializeOptions(*m_pOptions, load) : 0;
}
