// Movie benchmark (not a test): the movie control playing movies written
// here, as the saver and the movie engine play them.
//   vector   30 fps movies of the screen's size: a full-screen gradient
//            with 12 shapes (gradients, lines, alpha) turning and moving
//            every frame and a sprite of its own; then the same with 60
//            shapes (most of the screen changes every frame). Each played
//            for SECONDS on a full-screen window. Reported: the frames a
//            second reached and drawn, and the CPU of this process and of
//            the Linux processes named in LW_BENCH_WATCH (wineserver, Xvfb)
//            as % of one core. Goal: its rate, under 25 % of a core
//            (process and server), for the first.
//   bitmaps  a movie of 12 JPEG pictures of 1024 x 768 shown at once: its
//            load (which decodes them) against the image library's ReadJpeg
//            of the same pictures from memory, each kept until all are
//            read; then its first frame. Goal: within 1.2 times.
//   tools/bench/run movie [SECONDS]      (default 10)
#include <windows.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "imaging/ImageLib.h"
#include "playback/movie/FlashPlayer.h"
#include "tests/support/swf_writer.h"
#include "tools/bench/support/cpu.h"
#include "tools/bench/support/timing.h"

namespace {

using namespace bench;
using lwtest::CSwfShape;
using lwtest::CSwfWriter;
using lwtest::SwfBytes;
using lwtest::SwfPlace;

SwfBytes VectorMovie(int w, int h, int count) {
  CSwfWriter movie(w * 20, h * 20, 30 * 256);
  movie.SetBackground(RGB(10, 20, 40));
  CSwfShape sky;
  sky.Rectangle(0, 0, w * 20, h * 20,
                sky.AddGradient(0x10, {{0, RGB(20, 40, 120)}, {160, RGB(120, 160, 220)}, {255, RGB(250, 230, 200)}},
                                lwtest::SwfGradientBox(0, 0, w * 20, h * 20)));
  movie.DefineShape(1, sky, 3);
  // Shapes of 40 to 120 pixels: a radial disc, a star with a line, a
  // half-transparent square.
  CSwfShape disc;
  disc.SetStyles(0, disc.AddGradient(0x12, {{0, RGB(255, 255, 255)}, {255, RGB(200, 40, 40), 0}},
                                     lwtest::SwfGradientBox(-1200, -1200, 2400, 2400)),
                 0);
  disc.MoveTo(1200, 0);
  for (int i = 1; i <= 8; ++i) {
    const double a0 = (i - 0.5) * 3.14159265 / 4, a1 = i * 3.14159265 / 4;
    disc.CurveTo(static_cast<int>(1300 * cos(a0)), static_cast<int>(1300 * sin(a0)),
                 static_cast<int>(1200 * cos(a1)), static_cast<int>(1200 * sin(a1)));
  }
  movie.DefineShape(2, disc, 3);
  CSwfShape star;
  star.SetStyles(0, star.AddFill(RGB(250, 200, 40)), star.AddLine(60, RGB(120, 60, 0)));
  for (int i = 0; i <= 10; ++i) {
    const double a = i * 3.14159265 / 5, r = i % 2 ? 500 : 1400;
    const int x = static_cast<int>(r * cos(a)), y = static_cast<int>(r * sin(a));
    if (i == 0)
      star.MoveTo(x, y);
    else
      star.LineTo(x, y);
  }
  movie.DefineShape(3, star, 3);
  CSwfShape glass;
  glass.Rectangle(-800, -800, 1600, 1600, glass.AddFill(RGB(40, 200, 120), 128));
  movie.DefineShape(4, glass, 3);
  // A sprite of its own: the star turning in 30 frames.
  CSwfWriter spin(0, 0);
  for (int f = 0; f < 30; ++f) {
    SwfPlace p;
    const double a = f * 2 * 3.14159265 / 30;
    p.scaleX = p.scaleY = cos(a);
    p.rotate0 = sin(a);
    p.rotate1 = -sin(a);
    spin.PlaceObject2(1, f ? -1 : 3, f != 0, &p);
    spin.ShowFrame();
  }
  movie.DefineSprite(5, spin);
  movie.PlaceObject2(1, 1, false, nullptr);
  for (int f = 0; f < 300; ++f) {
    for (int i = 0; i < count; ++i) {
      SwfPlace p;
      const double t = f / 300.0 * 2 * 3.14159265 + i;
      const double s = 0.6 + 0.4 * sin(t * 2 + i);
      p.scaleX = s * cos(t);
      p.scaleY = s * cos(t);
      p.rotate0 = s * sin(t);
      p.rotate1 = -s * sin(t);
      p.tx = static_cast<int>((w * 10) + (w * 8) * cos(t + i * 0.3) * (0.3 + (i % 7) / 10.0));
      p.ty = static_cast<int>((h * 10) + (h * 8) * sin(t * 1.3 + i) * (0.3 + (i % 5) / 7.0));
      movie.PlaceObject2(2 + i, f ? -1 : 2 + i % 4, f != 0, &p);
    }
    movie.ShowFrame();
  }
  return movie.Cws();
}

// A photo-like picture: smooth shades and some sharp detail.
std::vector<BYTE> Photo(int w, int h, int seed) {
  std::vector<BYTE> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      BYTE* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<BYTE>(128 + 100 * sin(x * 0.01 + seed) + ((x ^ y) & 15));
      p[1] = static_cast<BYTE>(128 + 100 * sin(y * 0.013 + seed * 2));
      p[2] = static_cast<BYTE>(128 + 100 * cos((x + y) * 0.007 + seed) + ((x * y) & 7));
    }
  return rgb;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 10;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  char folder[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  const std::string moviePath = std::string(folder) + "movie_bench.swf";
  const std::vector<Watched> watched = WatchedProcesses();
  printf("movie: screen %dx%d, %d s\n\n", sw, sh, seconds);

  // The vector movies, full screen.
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MovieBench";
  RegisterClassA(&wc);
  for (int count : {12, 60}) {
    const SwfBytes bytes = VectorMovie(sw, sh, count);
    FILE* f = fopen(moviePath.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    HWND host = CreateWindowExA(WS_EX_TOPMOST, "MovieBench", "", WS_POPUP | WS_VISIBLE, 0, 0, sw, sh,
                                nullptr, nullptr, wc.hInstance, nullptr);
    CShockwaveFlash control;
    control.Create(host, RECT{0, 0, sw, sh}, 62311, WS_CHILD | WS_VISIBLE);
    control.SetMovie(moviePath.c_str());
    control.Play();
    Pump(1000);  // settled
    const long frames0 = control.GetFrameNum() + 300 * control.GetLoopCount();
    const long drawn0 = control.GetFramesDrawn();
    std::vector<double> before;
    for (const Watched& w : watched) before.push_back(LinuxCpuMs(w));
    const double cpu0 = ProcessCpuMs(), t0 = NowMs();
    Pump(static_cast<DWORD>(seconds) * 1000);
    const double wall = NowMs() - t0, cpu = ProcessCpuMs() - cpu0;
    const long frames = control.GetFrameNum() + 300 * control.GetLoopCount() - frames0;
    const long drawn = control.GetFramesDrawn() - drawn0;
    printf("vector movie, 30 fps, %dx%d, %d shapes and a sprite on a gradient\n", sw, sh, count);
    printf("  frames a second %.1f (drawn %.1f); process %.1f%% of a core", frames * 1000.0 / wall,
           drawn * 1000.0 / wall, 100 * cpu / wall);
    double together = cpu;
    for (size_t i = 0; i < watched.size(); ++i) {
      const double ms = LinuxCpuMs(watched[i]) - before[i];
      printf(", %s %.1f%%", watched[i].name.c_str(), 100 * ms / wall);
      if (watched[i].name == "wineserver") together += ms;
    }
    printf("; process and server %.1f%%\n", 100 * together / wall);
    if (count == 12) printf("  goal: 30 frames a second, under 25%% of a core\n");
    printf("\n");
    control.DestroyWindow();
    DestroyWindow(host);
  }

  // The bitmap movie: its load and first frame against ReadJpeg.
  {
    const int count = 12, w = 1024, h = 768;
    std::vector<SwfBytes> jpegs;
    for (int i = 0; i < count; ++i) {
      const std::string path = std::string(folder) + "movie_bench.jpg";
      const std::vector<BYTE> rgb = Photo(w, h, i);
      HPVDEST dest = OpenFileDest(path.c_str());
      WriteJpeg(dest, rgb.data(), w, h, 85, FALSE, 24, nullptr);
      CloseDest(dest);
      FILE* f = fopen(path.c_str(), "rb");
      SwfBytes bytes(static_cast<size_t>(4) << 20);
      bytes.resize(fread(bytes.data(), 1, bytes.size(), f));
      fclose(f);
      jpegs.push_back(bytes);
    }
    CSwfWriter movie(sw * 20, sh * 20);
    for (int i = 0; i < count; ++i) {
      movie.DefineBitsJpeg(21, 1 + i, jpegs[i]);
      CSwfShape box;
      SwfPlace m;
      m.scaleX = m.scaleY = 5;  // a quarter of each picture's size
      m.tx = (i % 4) * 5120;
      m.ty = (i / 4) * 3840;
      box.Rectangle(m.tx, m.ty, 5120, 3840, box.AddBitmapFill(1 + i, m, 0x41));
      movie.DefineShape(100 + i, box, 3);
      movie.PlaceObject(100 + i, 1 + i, lwtest::SwfAt(0, 0));
    }
    movie.ShowFrame();
    const SwfBytes bytes = movie.Fws();
    std::vector<uint32_t> pixels(static_cast<size_t>(sw) * sh);
    const MovieTarget target = {pixels.data(), sw, sh, sw};
    double oursMs = 0, readerMs = 0;
    TimePair(
        5,
        [&] {
          // Read, every picture decoded, and let go again.
          CMovie m;
          m.Load(bytes.data(), static_cast<uint32_t>(bytes.size()));
        },
        [&] {
          // Every picture read and kept, as a movie keeps them, then freed.
          std::vector<BYTE*> read;
          for (const SwfBytes& jpeg : jpegs) {
            HPVSRC src = OpenMemorySource(jpeg.data(), static_cast<DWORD>(jpeg.size()));
            int rw = 0, rh = 0;
            read.push_back(ReadJpeg(src, &rw, &rh, 24));
            CloseSource(src);
          }
          for (BYTE* p : read) FreeImageBlock(p);
        },
        &oursMs, &readerMs);
    printf("bitmap movie, %d JPEG pictures of %dx%d: load %.1f ms, ReadJpeg %.1f ms, ratio %.2f\n",
           count, w, h, oursMs, readerMs, oursMs / readerMs);
    CMovie m;
    m.Load(bytes.data(), static_cast<uint32_t>(bytes.size()));
    double t = NowMs();
    m.Draw(target);
    printf("  its first frame (every picture at a quarter of its size, smoothed) %.1f ms\n", NowMs() - t);
    printf("  goal: within 1.2 times\n");
  }
  DeleteFileA(moviePath.c_str());
  return 0;
}
