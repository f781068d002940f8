// What the action commands do when the scene thread reaches them: the
// Execute operations of Wait, Cls, Line, Url, Play and Stop, and how a
// player runs a command of a list. Show, Move
// and Hide are in CommandShow.cpp; Repeat and Comment do nothing (the
// root's Execute), Until is in Commands.cpp.
#include <windows.h>

#include "framework/Gdi.h"
#include "script/Commands.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/PickSource.h"
#include "script/PlayContext.h"
#include "script/ScriptPolicy.h"

int CCommandListPlay::Play(int i, CDC* dc, int* index, CPlayContext* ctx) {
  if (i < 0 || i >= m_list.GetSize()) return -1;
  CSceneCommand* cmd = m_list.GetCommand(i);
  if (cmd == nullptr || cmd->IsDisabled()) return -1;
  return cmd->Execute(dc, index, ctx);
}

// The duration in ticks, each ending early when the stop event is set, then
// the rest; in step mode a beep every few ticks (the builder's options).
int CWaitCommand::Execute(CDC*, int*, CPlayContext* ctx) {
  m_duration.PickRandom();
  const CBuilderOptions* options =
      g_pCommandPalette != nullptr ? g_pCommandPalette->GetOptions() : nullptr;
  const int tick = ScriptPolicy::GetWaitTick(options);
  const int beepEvery = ScriptPolicy::GetWaitBeepInterval(options);
  const int duration = m_duration.GetWaitMilliseconds();
  const int ticks = duration / tick;
  for (int i = 0; i < ticks; ++i) {
    if (ctx->WaitForStop(static_cast<DWORD>(tick))) return 1;
    if (ctx->IsStepMode() && beepEvery != 0 && i % beepEvery == 0) ::MessageBeep(0xFFFFFFFF);
  }
  const int rest = duration % tick;
  if (rest != 0) ctx->WaitForStop(static_cast<DWORD>(rest));
  return 1;
}

int CClsCommand::Execute(CDC*, int*, CPlayContext* ctx) {
  m_colour.PickRandom();
  ctx->SetBackground(m_colour.m_colour, m_colour.GetRasterOp());
  return 1;
}

int CLineCommand::Execute(CDC* dc, int*, CPlayContext*) {
  m_motion.ComputePositions(0, 0);
  m_colour.PickRandom();
  if (dc == nullptr) return 1;
  // A stored style outside the pen styles draws solid.
  const int style = (m_penStyle >= PS_SOLID && m_penStyle <= PS_DASHDOTDOT) ? m_penStyle : PS_SOLID;
  CPen pen(style, m_penWidth < 0 ? 0 : m_penWidth, m_colour.m_colour);
  CSelectObject keep(*dc, pen.GetSafeHandle());
  dc->MoveTo(m_motion.m_startX, m_motion.m_startY);
  dc->LineTo(m_motion.m_endX, m_motion.m_endY);
  return 1;
}

int CUrlCommand::Execute(CDC*, int*, CPlayContext* ctx) {
  if (m_monitoringOff)
    ctx->ClearUrl();
  else
    ctx->SetUrl(m_location, m_keys);
  return 1;
}

int CPlayCommand::Execute(CDC*, int*, CPlayContext* ctx) {
  CMediaObject* media = m_placement.GetMediaTarget();
  if (media == nullptr) return 1;
  CFlashPlayAttribute& f = m_placement.m_flash;
  RECT place;
  if (media->m_kind == kMediaFlash) {
    if (f.m_width == 0 && f.m_height == 0) {
      const SIZE frame = media->GetFlashFrameSize();
      f.m_width = frame.cx;
      f.m_height = frame.cy;
    }
    int horz = 0, vert = 0, cx = 0, cy = 0;
    GetPickSource().GetScreenSize(horz, vert, cx, cy);
    if (f.m_fullScreen) {
      const int top = ctx->GetFullScreenTop();
      place = {0, top, horz, vert + top};
    } else {
      int hw = f.m_width / 2, hh = f.m_height / 2;
      if (hw == 0) hw = 1;
      if (hh == 0) hh = 1;
      place.left = f.m_posModeX == kModeCenter ? horz / 2 - hw : f.m_posX;
      place.top = f.m_posModeY == kModeCenter ? vert / 2 - hh : f.m_posY;
      place.right = place.left + f.m_width;
      place.bottom = place.top + f.m_height;
    }
  } else {
    place = {f.m_posX, f.m_posY, f.m_posX + f.m_width, f.m_posY + f.m_height};
  }
  const int timer = f.m_timed ? f.m_timerMs : -1;
  if (!f.m_wait) {
    ctx->PlayMedia(*media, 0, f.m_endless, place, timer);
    return 1;
  }
  // Waiting plays repeat by the repeat count (or until stopped when it is
  // infinite); the endless flag belongs to the plays that do not wait.
  for (int i = 0; (f.m_infinite || i < f.m_count) && !ctx->IsStopRequested(); ++i) {
    if (!ctx->PlayMedia(*media, 1, 0, place, timer)) break;  // nothing to wait for
    if (media->m_kind == kMediaFlash && f.m_timed) break;  // a timed movie plays once
  }
  return 1;
}

int CStopCommand::Execute(CDC*, int*, CPlayContext* ctx) {
  CMediaObject* media = m_ref.GetMediaTarget();
  if (media != nullptr) ctx->StopMedia(*media);
  return 1;
}
