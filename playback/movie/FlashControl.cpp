// The movie control: a child window of our own class that reads a movie
// file whole and plays it at its rate by a clock. Each tick steps the
// frames that fell due (a late tick catches up without drawing the frames
// it passes) and draws the last into a 32-bit DIB section at the window's
// size, which goes to the window in one transfer. A frame's drawing stops
// where it stands when input waits for the thread or it runs past its
// time, so that the window's thread always answers at once.
#include "playback/movie/FlashPlayer.h"

#include <stdlib.h>

#include "framework/Sync.h"

namespace {

const char kControlClass[] = "LwMovieControl";
// Frames a late tick catches up with at most; further behind, the clock
// starts again from the frame shown.
const uint64_t kMostCaughtUp = 16;

}  // namespace

bool CMovie::LoadFile(const char* path) {
  Clear();
  CHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file, &size) || size.QuadPart < 8) return false;
  // A larger movie plays what its first bytes hold.
  const DWORD length = static_cast<DWORD>(size.QuadPart > kMovieMaxBytes ? kMovieMaxBytes : size.QuadPart);
  uint8_t* bytes = static_cast<uint8_t*>(malloc(length));
  if (!bytes) return false;
  DWORD got = 0, read = 0;
  while (got < length && ::ReadFile(file, bytes + got, length - got, &read, nullptr) && read > 0)
    got += read;
  file.Close();
  return LoadOwned(bytes, got);
}

bool CShockwaveFlash::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
  // The control tells its parent nothing: the parent may belong to a thread
  // that is waiting for this one.
  return RegisterNamedClass(kControlClass, 0, nullptr, nullptr, nullptr) &&
         CreateEx(WS_EX_NOPARENTNOTIFY, kControlClass, "", style, rect, parent, id);
}

int CShockwaveFlash::OnCreate(CREATESTRUCTA* cs) {
  const int result = CWnd::OnCreate(cs);
  if (result != -1 && m_running) ArmTimer();
  return result;
}

void CShockwaveFlash::SetMovie(const char* path) {
  Stop();
  // The first frame's commands come after the events that say the movie
  // is read.
  m_movie.SetHost(nullptr);
  const bool loaded = m_movie.LoadFile(path);
  __atomic_store_n(&m_totalFrames, static_cast<long>(m_movie.GetFrameCount()), __ATOMIC_RELEASE);
  __atomic_store_n(&m_loops, 0L, __ATOMIC_RELEASE);
  __atomic_store_n(&m_stoppedAtEnd, false, __ATOMIC_RELEASE);
  if (loaded && m_sink) {
    m_sink->OnProgress(100);
    m_sink->OnReadyStateChange(4);
  }
  m_movie.SetHost(this);
  if (loaded) {
    m_movie.PrepareSounds();
    m_movie.Rewind();
  }
  Published();
}

double CShockwaveFlash::GetFrameInterval() const {
  // Between 100 frames a second (a rate of 0 too) and one a minute.
  const int rate = m_movie.GetFrameRate256();
  const double ms = rate > 0 ? 256000.0 / rate : 10;
  return ms < 10 ? 10 : ms > 60000 ? 60000 : ms;
}

void CShockwaveFlash::SetFrameTimer(UINT ms) {
  if (!m_hWnd) return;
  if (ms)
    SetTimer(kFrameTimer, ms);
  else
    KillTimer(kFrameTimer);
}

// The timer is set for the next frame's due time, so that frames come on
// time to the tick, never a tick late each.
void CShockwaveFlash::ArmTimer() {
  const double interval = GetFrameInterval();
  const double due = static_cast<double>(m_stepped + 1) * interval;
  const double now = static_cast<DWORD>(GetClockMs() - m_clockStart);
  double wait = due - now;
  // While sound plays, the device's buffers are filled every 40 ms.
  if (m_sound.IsOpen() && wait > 40) wait = 40;
  SetFrameTimer(static_cast<UINT>(wait < 1 ? 1 : wait > 60000 ? 60000 : wait + 0.5));
}

void CShockwaveFlash::Play() {
  const long total = m_totalFrames;
  if (total == 0) return;
  m_playing = m_running = true;
  m_movie.SetPlaying(true);
  m_clockStart = GetClockMs();
  m_stepped = 0;
  if (!m_loop && m_frameNum >= total - 1 && total > 1) AdvanceFrame();  // stops at once, and says so
  ArmTimer();
}

void CShockwaveFlash::Stop() {
  m_playing = m_running = false;
  SetFrameTimer(0);
  m_movie.StopSounds();
  m_sound.Close();
}

// A movie that does not loop stops playing on its last frame; its clock
// goes on, for the sprites on that frame.
bool CShockwaveFlash::StepFrame() {
  if (!m_running) return false;
  const long total = m_totalFrames;
  const long before = m_frameNum;
  m_movie.Step(m_loop != FALSE);
  if (m_loop && total > 1 && m_movie.GetCurrentFrame() < before && before == total - 1)
    __atomic_add_fetch(&m_loops, 1, __ATOMIC_ACQ_REL);
  Published();
  if (!m_loop && m_playing && m_frameNum >= total - 1) {
    m_playing = false;
    if (m_hWnd) PostMessage(WM_NULL);
  }
  return true;
}

// What the other threads may ask: the frame showing and whether the movie
// stopped itself on its last frame (the thread's end rule then ends it).
// A movie of one frame is a stage for its sprites: its stop ends nothing.
void CShockwaveFlash::Published() {
  __atomic_store_n(&m_frameNum, static_cast<long>(m_movie.GetCurrentFrame()), __ATOMIC_RELEASE);
  const bool atEnd = m_totalFrames > 1 && !m_movie.IsPlaying() &&
                     m_movie.GetCurrentFrame() == m_totalFrames - 1;
  if (atEnd && !m_stoppedAtEnd && m_hWnd) PostMessage(WM_NULL);
  __atomic_store_n(&m_stoppedAtEnd, atEnd, __ATOMIC_RELEASE);
  m_stale = true;
}

void CShockwaveFlash::AdvanceFrame() {
  ++m_stepped;
  StepFrame();
  FeedSound();
  if (m_hWnd && m_stale) {
    CClientDC dc(m_hWnd);
    DrawFrame(dc, false);
  }
}

void CShockwaveFlash::CatchUp() {
  if (!m_running) return;
  const uint64_t due = static_cast<uint64_t>(static_cast<DWORD>(GetClockMs() - m_clockStart) /
                                             GetFrameInterval());
  if (due > m_stepped + kMostCaughtUp) {
    // Far behind (the thread was held up): start the clock again here.
    m_clockStart = GetClockMs();
    m_stepped = 0;
    AdvanceFrame();
  } else {
    bool stepped = false;
    while (m_stepped < due && m_running) {
      ++m_stepped;
      stepped = true;
      if (!StepFrame()) break;
    }
    if (stepped && m_hWnd) {
      CClientDC dc(m_hWnd);
      DrawFrame(dc, false);
    }
  }
  FeedSound();
  if (m_running) ArmTimer();
}

void CShockwaveFlash::OnTimer(UINT_PTR id) {
  if (id == kFrameTimer)
    CatchUp();
  else
    Default();
}

void CShockwaveFlash::OnSize(UINT type, int cx, int cy) {
  // The whole frame scales with the window.
  m_stale = true;
  Invalidate(false);
  Default();
}

// Each look at the queue is a round trip to the system's server: a
// frame's drawing looks for input once in each few milliseconds.
bool CShockwaveFlash::StopDrawing() {
  const DWORD now = ::GetTickCount();
  if (now - m_drawStart > kDrawBudgetMs) return true;
  if (now - m_inputChecked < kInputCheckMs) return false;
  m_inputChecked = now;
  m_inputCut = HIWORD(::GetQueueStatus(QS_INPUT)) != 0;
  return m_inputCut;
}

void CShockwaveFlash::FeedSound() {
  if (!m_mute && m_running) m_sound.Feed(m_movie);
}

bool CShockwaveFlash::DecodeMp3(const uint8_t* data, uint32_t size, MoviePcm* pcm) {
  return DecodeMovieMp3(data, size, pcm);
}

void CShockwaveFlash::OnCommand(const char* command, const char* args) {
  if (m_sink) m_sink->OnFSCommand(command, args);
}

void CShockwaveFlash::DrawFrame(HDC dc, bool whole) {
  const CRect client = GetClientRect();
  const int w = client.Width(), h = client.Height();
  if (w <= 0 || h <= 0) return;
  if (!m_back.GetSafeHandle() || m_backSize.cx != w || m_backSize.cy != h) {
    m_back.DeleteObject();
    m_bits = nullptr;
    m_backSize = SIZE{0, 0};
    void* bits = nullptr;
    if (m_back.CreateDIBSection(w, h, 32, &bits)) {
      m_bits = static_cast<uint32_t*>(bits);
      m_backSize = SIZE{w, h};
    }
    m_stale = true;
    whole = true;
  }
  if (!m_bits) return;
  CMemoryDC memory(dc);
  CSelectObject use(memory, m_back);
  if (m_stale) {
    m_drawStart = m_inputChecked = ::GetTickCount();
    m_inputCut = false;
    // Only what changed since the last frame is drawn, and goes to the
    // window.
    const MovieTarget target = {m_bits, w, h, w};
    m_movie.DrawChanges(target);
    ::GdiFlush();
    ++m_drawn;
    // A frame cut for input is not shown: the input comes first, the
    // frame again on the next tick.
    m_stale = m_inputCut;
    if (m_inputCut) return;
    if (!whole) {
      int count = 0;
      const MovieBox* boxes = m_movie.GetDrawnBoxes(&count);
      for (int i = 0; i < count; ++i)
        ::BitBlt(dc, boxes[i].x0, boxes[i].y0, boxes[i].x1 - boxes[i].x0, boxes[i].y1 - boxes[i].y0,
                 memory, boxes[i].x0, boxes[i].y0, SRCCOPY);
      return;
    }
  }
  ::BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
}

void CShockwaveFlash::OnPaint() {
  CPaintDC dc(m_hWnd);
  DrawFrame(dc, true);
}

// Text in a system font: drawn white on black into a DIB section of the
// box's size, whose brightness is the text's coverage.
bool CShockwaveFlash::DrawSystemText(const MovieSystemText& text, uint8_t* coverage) {
  CBitmap bitmap;
  void* bits = nullptr;
  if (!bitmap.CreateDIBSection(text.width, text.height, 32, &bits)) return false;
  CScreenDC screen;
  CMemoryDC memory(screen);
  CSelectObject useBitmap(memory, bitmap);
  CFont font;
  LOGFONTA lf = {};
  lf.lfHeight = -text.size;
  lf.lfWeight = text.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = text.italic;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynA(lf.lfFaceName, text.font, LF_FACESIZE);
  if (!font.CreateFontIndirect(&lf)) return false;
  CSelectObject useFont(memory, font);
  ::SetBkMode(memory, TRANSPARENT);
  ::SetTextColor(memory, RGB(255, 255, 255));
  RECT box = {0, 0, text.width, text.height};
  const UINT format = DT_NOPREFIX | DT_EXPANDTABS | (text.wrap ? DT_WORDBREAK : 0) |
                      (text.align == 1 ? DT_RIGHT : text.align == 2 ? DT_CENTER : DT_LEFT);
  ::DrawTextA(memory, text.text, -1, &box, format);
  ::GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  const size_t n = static_cast<size_t>(text.width) * text.height;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t c = p[i];
    const uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    coverage[i] = static_cast<uint8_t>(r > g ? (r > b ? r : b) : (g > b ? g : b));
  }
  return true;
}

bool IsFlashControlInstalled() { return true; }
