// The movie control: a child window of our own class that reads a movie
// file whole, keeps its current frame drawn in a back bitmap at the
// window's size, and advances frames on a timer of its own window.
#include "playback/movie/FlashPlayer.h"

#include <stdlib.h>

#include "framework/Sync.h"

namespace {

const char kControlClass[] = "LwMovieControl";

}  // namespace

bool CSwfMovie::LoadFile(const char* path) {
  Clear();
  CHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file, &size) || size.QuadPart < 8 || size.QuadPart > kSwfMaxBytes)
    return false;
  const DWORD length = static_cast<DWORD>(size.QuadPart);
  uint8_t* bytes = static_cast<uint8_t*>(malloc(length));
  if (!bytes) return false;
  DWORD got = 0, read = 0;
  while (got < length && ::ReadFile(file, bytes + got, length - got, &read, nullptr) && read > 0)
    got += read;
  file.Close();
  const bool ok = got == length && Load(bytes, length);
  free(bytes);
  return ok;
}

bool CShockwaveFlash::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
  // The control tells its parent nothing: the parent may belong to a thread
  // that is waiting for this one.
  return RegisterNamedClass(kControlClass, 0, nullptr, nullptr, nullptr) &&
         CreateEx(WS_EX_NOPARENTNOTIFY, kControlClass, "", style, rect, parent, id);
}

int CShockwaveFlash::OnCreate(CREATESTRUCTA* cs) {
  const int result = CWnd::OnCreate(cs);
  if (result != -1 && m_playing) SetFrameTimer(GetFrameInterval());
  return result;
}

void CShockwaveFlash::SetMovie(const char* path) {
  Stop();
  const bool loaded = m_movie.LoadFile(path);
  __atomic_store_n(&m_totalFrames, static_cast<long>(m_movie.GetFrameCount()), __ATOMIC_RELEASE);
  __atomic_store_n(&m_loops, 0L, __ATOMIC_RELEASE);
  if (loaded && m_sink) {
    m_sink->OnProgress(100);
    m_sink->OnReadyStateChange(4);
  }
  ShowFrame(0);
}

UINT CShockwaveFlash::GetFrameInterval() const {
  // Between 100 frames a second (a rate of 0 too) and one a minute.
  const int rate = m_movie.GetFrameRate256();
  const int ms = rate > 0 ? 256000 / rate : 10;
  return static_cast<UINT>(ms < 10 ? 10 : ms > 60000 ? 60000 : ms);
}

void CShockwaveFlash::SetFrameTimer(UINT ms) {
  if (!m_hWnd) return;
  if (ms)
    SetTimer(kFrameTimer, ms);
  else
    KillTimer(kFrameTimer);
}

void CShockwaveFlash::Play() {
  const long total = m_totalFrames;
  if (total == 0) return;
  m_playing = true;
  if (!m_loop && m_frameNum >= total - 1) {
    AdvanceFrame();  // stops at once, and says so
    return;
  }
  if (total > 1 || m_loop) SetFrameTimer(GetFrameInterval());
}

void CShockwaveFlash::Stop() {
  m_playing = false;
  SetFrameTimer(0);
}

void CShockwaveFlash::AdvanceFrame() {
  if (!m_playing) return;
  const long total = m_totalFrames;
  if (m_frameNum + 1 < total) {
    ShowFrame(m_frameNum + 1);
  } else if (m_loop) {
    __atomic_add_fetch(&m_loops, 1, __ATOMIC_ACQ_REL);
    ShowFrame(0);
  }
  if (!m_loop && m_frameNum >= total - 1) {
    Stop();
    if (m_hWnd) PostMessage(WM_NULL);
  }
}

void CShockwaveFlash::ShowFrame(int frame) {
  m_movie.GotoFrame(frame);
  __atomic_store_n(&m_frameNum, static_cast<long>(m_movie.GetCurrentFrame()), __ATOMIC_RELEASE);
  m_stale = true;
  if (m_hWnd) Invalidate(false);
  const char* command;
  const char* args;
  for (int i = 0; m_sink && m_movie.GetFrameCommand(frame, i, &command, &args); ++i)
    m_sink->OnFSCommand(command, args);
}

void CShockwaveFlash::OnTimer(UINT_PTR id) {
  if (id == kFrameTimer)
    AdvanceFrame();
  else
    Default();
}

void CShockwaveFlash::OnSize(UINT type, int cx, int cy) {
  // The whole frame scales with the window.
  m_stale = true;
  Invalidate(false);
  Default();
}

void CShockwaveFlash::OnPaint() {
  CPaintDC dc(m_hWnd);
  const CRect client = GetClientRect();
  const int w = client.Width(), h = client.Height();
  if (w <= 0 || h <= 0) return;
  if (!m_back.GetSafeHandle() || m_backSize.cx != w || m_backSize.cy != h) {
    m_back.DeleteObject();
    m_backSize = SIZE{0, 0};
    if (m_back.CreateCompatibleBitmap(&dc, w, h)) m_backSize = SIZE{w, h};
    m_stale = true;
  }
  if (!m_back.GetSafeHandle()) {
    m_movie.Draw(dc, client);  // no memory for the back bitmap: draw in place
    return;
  }
  CMemoryDC memory(dc);
  CSelectObject use(memory, m_back);
  if (m_stale) {
    m_movie.Draw(memory, client);
    m_stale = false;
  }
  dc.BitBlt(0, 0, w, h, &memory, 0, 0, SRCCOPY);
}

bool IsFlashControlInstalled() { return true; }
