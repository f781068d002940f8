// The movie control, its host window and the movie player thread.
#include "playback/FlashPlayer.h"

bool CShockwaveFlash::Create(HWND, const RECT&, UINT, DWORD) { return false; }
long CShockwaveFlash::GetTotalFrames() const { return 0; }
long CShockwaveFlash::GetFrameNum() const { return 0; }
void CShockwaveFlash::SetLoop(BOOL) {}
void CShockwaveFlash::SetMovie(const char*) {}
void CShockwaveFlash::SetMenu(BOOL) {}
void CShockwaveFlash::Play() {}
void CShockwaveFlash::Stop() {}

bool CFlashHostWnd::Create(const RECT&, HWND, int) { return false; }
void CFlashHostWnd::PlayMovie(const char*, int) {}

CFlashPlayerThread::CFlashPlayerThread(HWND parent, HANDLE runningEvent, int timeoutMs)
    : m_timed(timeoutMs != -1), m_timeoutMs(timeoutMs), m_parent(parent), m_running(runningEvent) {}

bool CFlashPlayerThread::InitInstance() { return false; }
bool CFlashPlayerThread::PreTranslateMessage(MSG* msg) { return CWinThread::PreTranslateMessage(msg); }
void CFlashPlayerThread::End() { m_ended = 1; }

bool IsFlashControlInstalled() { return true; }
