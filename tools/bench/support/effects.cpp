// The benchmarks' transition scene and per-frame costs.
#include "tools/bench/support/effects.h"

#include <string.h>

#include <vector>

#include "playback/painter/ImagePainter.h"
#include "tools/bench/support/timing.h"

namespace bench {

void CBenchPacer::Mark(int) {
  last = NowMs();
  if (calls++ == 0) first = last;
}

CEffectScene::CEffectScene(CDC* screen, int width, int height)
    : m_screen(screen), m_rect(0, 0, width, height), m_brush(RGB(0, 0, 0)) {
  void* bits = nullptr;
  m_image.CreateCompatibleDC(screen);
  m_frame.CreateCompatibleDC(screen);
  m_imageBitmap.CreateDIBSection(width, height, 32, &bits);
  m_frameBitmap.CreateCompatibleBitmap(screen, width, height);
  DWORD* px = static_cast<DWORD*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      px[y * width + x] = ((x * 7) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x + y) & 0xFF);
  m_image.SelectObject(&m_imageBitmap);
  m_frame.SelectObject(&m_frameBitmap);
}

double CEffectScene::Run(int id, CPlayPacer* pacer, CDC* target) {
  CImagePainter painter(id);
  painter.SetImage(&m_rect, &m_brush, SRCCOPY, nullptr);
  painter.SetDCs(&m_frame, &m_image);
  POINT at = {0, 0};
  const double start = NowMs();
  painter.DrawTransition(target ? target : m_screen, pacer, &at, 1000, 0, 0);
  GdiFlush();
  return NowMs() - start;
}

FrameCosts MeasureFrameCosts(CDC* screen, CEffectScene& scene, int rounds) {
  const int sw = scene.Width(), sh = scene.Height();
  // The first transfer makes the window's surface; it is not part of the
  // cost of the ones after it.
  screen->BitBlt(0, 0, sw, sh, scene.Image(), 0, 0, SRCCOPY);
  GdiFlush();

  // Rounds of: a plain copy of one 24-bit frame and one full-screen
  // transfer (each the mean of a few), the 256 levels of Fade From Black
  // with the clock standing still, and Fade From Background from black
  // (one step per delay).
  const int inner = 20;
  std::vector<unsigned char> a(static_cast<size_t>(sw) * sh * 3, 1), b(a.size());
  std::vector<double> copies, blits, levels, levelsSetUp, steps, stepsSetUp;
  FrameCosts costs;
  for (int r = 0; r < rounds; ++r) {
    double t0 = NowMs();
    for (int i = 0; i < inner; ++i) {
      a[i] = static_cast<unsigned char>(i);
      memcpy(b.data(), a.data(), a.size());
    }
    copies.push_back((NowMs() - t0) / inner);
    t0 = NowMs();
    for (int i = 0; i < inner; ++i) screen->BitBlt(0, 0, sw, sh, scene.Image(), 0, 0, SRCCOPY);
    GdiFlush();
    blits.push_back((NowMs() - t0) / inner);

    screen->FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
    CBenchPacer fadePacer;
    levelsSetUp.push_back(scene.Run(kEffectFadeFromBlack, &fadePacer) / 256);
    levels.push_back(fadePacer.Steady());

    screen->FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
    CBenchPacer stepPacer;
    const double t = scene.Run(kEffectFadeFromBackground, &stepPacer);
    costs.stepCount = stepPacer.delays > 0 ? stepPacer.delays : 1;
    stepsSetUp.push_back(t / costs.stepCount);
    steps.push_back(stepPacer.Steady());
  }
  costs.copy = Median(copies);
  costs.blit = Median(blits);
  costs.level = Median(levels);
  costs.levelSetUp = Median(levelsSetUp);
  costs.step = Median(steps);
  costs.stepSetUp = Median(stepsSetUp);
  return costs;
}

}  // namespace bench
