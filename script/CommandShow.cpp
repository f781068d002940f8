// What Show, Move and Hide do when the scene thread reaches them: they
// place their Image/Text object with their motion and colour and draw it
// through the object's drawing operations (ObjectDraw.cpp). The long ones,
// a text shown letter by letter and a move, look at the stop event at
// every letter and every step.
#include <windows.h>

#include <initializer_list>

#include "framework/Gdi.h"
#include "playback/painter/ImagePainter.h"
#include "script/Commands.h"
#include "script/Objects.h"
#include "script/PlayContext.h"
#include "script/ScriptMessages.h"

namespace {

// The letter delay's unit: the stop is looked at between units.
constexpr int kLetterWaitUnit = 100;

int Bound(int v, int limit) { return v < -limit ? -limit : v > limit ? limit : v; }

// A move works on a copy of its motion whose points and steps are brought
// into ranges where the stepping arithmetic cannot overflow: far beyond
// any screen, and steps longer than any screen is wide.
void BoundMotion(CMotionAttribute& m) {
  const int kFar = 1 << 24, kLongestStep = 1 << 16;
  for (int* v : {&m.m_startX, &m.m_startY, &m.m_endX, &m.m_endY, &m.m_untilX, &m.m_untilY,
                 &m.m_currentX, &m.m_currentY})
    *v = Bound(*v, kFar);
  m.m_stepX = Bound(m.m_stepX, kLongestStep);
  m.m_stepY = Bound(m.m_stepY, kLongestStep);
}

}  // namespace

int CShowCommand::Execute(CDC* dc, int*, CPlayContext* ctx) {
  CImageTextObject* target = m_ref.GetImageTarget();
  if (target == nullptr || dc == nullptr || ctx == nullptr) return 1;
  target->TakeSourcePicture();
  const SIZE screen = GetPlayScreenSize();
  CMotionAttribute& motion = m_ref.m_motion;
  const SIZE size = target->GetTargetSize(screen);
  // A picture fitted to the screen is centred on it.
  if (!target->IsText() && target->m_fullScreen && target->m_keepAspect)
    motion.m_startModeX = motion.m_startModeY = kModeCenter;
  motion.ComputePositions(size.cx, size.cy);
  m_ref.m_colour.PickRandom();
  target->m_currentMotion.CopyFrom(motion);
  target->m_currentColour.CopyFrom(m_ref.m_colour);

  const bool letters = target->IsText() && motion.m_letterByLetter;
  // A transparent text shown letter by letter needs the background to
  // redraw a prefix that moved.
  if (motion.m_restoreAfterHide || (letters && target->IsTransparentText())) {
    const bool wholeScreen = motion.m_effect == kEffectTile || motion.m_effect == kEffectStretch;
    const RECT area = wholeScreen ? RECT{0, 0, screen.cx, screen.cy}
                                  : GetObjectArea(motion.m_startX, motion.m_startY, size);
    target->SaveBackground(dc, area, screen);
    target->m_moveMotion.CopyFrom(motion);
  }
  if (!letters) {
    target->Draw(dc, ctx);
    return 1;
  }
  // Letter speed 2000 draws as fast as possible, 0 waits 2 s a letter.
  int speed = motion.m_letterSpeed;
  speed = speed < 0 ? 0 : speed > 2000 ? 2000 : speed;
  const int delay = 2000 - speed;
  for (int i = 0; !ctx->IsStopRequested(); ++i) {
    if (!target->DrawLetters(dc, ctx, &i)) break;
    bool stopped = false;
    for (int k = 0; k < delay / kLetterWaitUnit && !stopped; ++k)
      stopped = ctx->WaitForStop(kLetterWaitUnit);
    if (stopped) break;
    if (delay % kLetterWaitUnit != 0 && ctx->WaitForStop(delay % kLetterWaitUnit)) break;
  }
  return 1;
}

int CMoveCommand::Execute(CDC* dc, int*, CPlayContext* ctx) {
  CImageTextObject* target = m_ref.GetImageTarget();
  if (target == nullptr || dc == nullptr || ctx == nullptr) return 1;
  target->TakeSourcePicture();
  const SIZE screen = GetPlayScreenSize();
  const SIZE size = target->GetTargetSize(screen);
  m_ref.m_motion.ComputePositions(size.cx, size.cy);
  CMotionAttribute m;
  m.CopyFrom(m_ref.m_motion);
  BoundMotion(m);
  target->m_currentMotion.CopyFrom(m);
  target->m_lastMotion.CopyFrom(m);
  target->BeginMove(dc, screen);
  if (m.m_restoreAfterHide) {
    target->SaveBackground(dc, GetObjectArea(m.m_endX, m.m_endY, size), screen);
    target->m_moveMotion.CopyFrom(m);
  }
  if (!target->IsReadyToMove()) {
    target->EndMove();
    // A picture that could not be read has been reported already.
    if (target->IsText() || target->m_pPicture != nullptr)
      ShowScriptMessage(kConversionFailedMessage, kScriptMessagePlain);
    return 1;
  }

  int speed = m.m_moveSpeed;
  speed = speed < 0 ? 0 : speed > 100000 ? 100000 : speed;
  auto stepTo = [&] {
    m_ref.m_colour.PickRandom();
    target->m_currentColour.CopyFrom(m_ref.m_colour);
    target->MoveStep(dc, m, ctx);
  };
  // Speed 100000 moves without delay; lower values wait longer.
  auto pause = [&] {
    ctx->CalibratedDelay(static_cast<unsigned>(speed), 100000.0);
    ctx->WaitWhilePaused();
    return !ctx->IsStopRequested();
  };
  stepTo();
  for (;;) {
    if (m.Step()) {
      // The last step along a path may pass the end point or reach it
      // without being drawn: the object ends where the path ends.
      const CMotionAttribute& at = target->m_currentMotion;
      if (!m.m_freeStep && (at.m_currentX != m.m_endX || at.m_currentY != m.m_endY)) {
        m.m_currentX = m.m_endX;
        m.m_currentY = m.m_endY;
        if (pause()) stepTo();
      }
      break;
    }
    if (!pause()) break;
    stepTo();
  }
  target->EndMove();
  if (m.m_restoreAfterHide) target->m_moveMotion.CopyFrom(m);
  return 1;
}

int CHideCommand::Execute(CDC* dc, int*, CPlayContext* ctx) {
  CImageTextObject* target = m_ref.GetImageTarget();
  if (target == nullptr || dc == nullptr || !target->m_drawn) return 1;
  if (!(target->m_currentMotion.m_restoreAfterHide && target->RestoreBackground(dc, ctx)))
    target->Erase(dc, ctx);
  return 1;
}
