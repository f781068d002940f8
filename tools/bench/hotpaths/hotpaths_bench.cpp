// Hot paths benchmark (not a test): one table of each hot path's time
// beside the least work that the same machine does for the same result,
// measured in this run, their ratio and the goal for that ratio:
//   fade level      one level of Fade From Black at full screen (compute
//                   and draw, steady) into the play window's picture, as a
//                   run draws it, and onto the window's DC, against a plain
//                   copy of one 24-bit frame
//   ResizeImage     the bilinear resize of a 1920 x 1080 RGB picture,
//                   against a nearest-pixel copy of the same pixels to the
//                   same size, to 1280 x 720 and 2560 x 1440 (weights of
//                   one and two fraction bits: the exact fixed-point loop
//                   where AVX2 is allowed) and to 1366 x 768 (weights of
//                   no short fraction across: the double loops), with each
//                   loop this processor can run (AVX-512, AVX2, plain)
//                   forced in turn
//   ReadJpeg/Png    the library's readers of a 1920 x 1080 photo-like
//                   picture, against the least loop over the same libjpeg
//                   and libpng into one buffer
//   Wait, Move      the processor time of a scene thread playing a 20 s
//                   Wait, and the calibrated delays of a Move (alone, and
//                   with a 256 x 256 blit a step, whose frames the window
//                   then paints), in % of one core: this process and the
//                   Wine server together
//   make .scr       CSaverMaker::MakeScr of a document of each size,
//                   against CopyFile of the saver it made
//   effects         every transition at full screen with no delays, against
//                   copying the bytes they transfer (no goal)
// Run it on a quiet machine with
//   tools/bench/run                 (all of it, a few minutes)
//   tools/bench/run hotpaths [WAIT_SECONDS [PART...]]
// PART: pictures, saver, fade, effects (with the fade), waiting.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "imaging/ImageLib.h"
#include "playback/painter/ImagePainter.h"
#include "playback/PlayOutput.h"
#include "playback/SceneThread.h"
#include "playback/SpeedCalibration.h"
#include "tools/bench/support/cpu.h"
#include "tools/bench/support/effects.h"
#include "tools/bench/support/picture.h"
#include "tools/bench/support/scene.h"
#include "tools/bench/support/timing.h"
#include "wizards/SaverMaker.h"

namespace {

using namespace bench;

struct Row {
  std::string name;
  double ours;
  double bound;
  const char* unit;
  const char* boundName;
  double goal;  // the ratio's goal; 0: none
  bool ratio;   // false: ours is a share of one core, compared with the goal itself
};

std::vector<Row> g_rows;

void Add(const std::string& name, double ours, double bound, const char* unit,
         const char* boundName, double goal) {
  g_rows.push_back({name, ours, bound, unit, boundName, goal, true});
  printf("  %-34s %10.3f %-5s (bound %.3f)\n", name.c_str(), ours, unit, bound);
  fflush(stdout);
}

void AddShare(const std::string& name, double percent, double goal) {
  g_rows.push_back({name, percent, 100.0, "%", "one core", goal, false});
  printf("  %-34s %10.3f %%\n", name.c_str(), percent);
  fflush(stdout);
}

void PrintTable() {
  printf("\n%-44s %10s %10s %-6s %7s %8s %-4s  %s\n", "hot path", "ours", "bound", "unit", "ratio",
         "goal", "met", "bound is");
  for (const Row& r : g_rows) {
    const double value = r.ratio ? r.ours / r.bound : r.ours;
    char goal[16] = "-";
    if (r.goal > 0) sprintf(goal, r.ratio ? "<=%.2f" : "<%.1f%%", r.goal);
    const char* met = r.goal <= 0 ? "" : (r.ratio ? value <= r.goal : value < r.goal) ? "yes" : "NO";
    if (r.ratio)
      printf("%-44s %10.3f %10.3f %-6s %7.2f %8s %-4s  %s\n", r.name.c_str(), r.ours, r.bound, r.unit,
             value, goal, met, r.boundName);
    else
      printf("%-44s %10.3f %10s %-6s %7s %8s %-4s  %s\n", r.name.c_str(), r.ours, "", r.unit, "",
             goal, met, "share of one core: process + Wine server");
  }
  fflush(stdout);
}

// ---------------------------------------------------------------------------
// Pictures.

// The least work of a scaled copy: each target pixel is the source pixel
// nearest to its position (column offsets looked up once).
void ScaledCopy(const BYTE* src, int w, int h, BYTE* dst, int tw, int th, int bpp) {
  std::vector<size_t> columns(tw);
  for (int j = 0; j < tw; ++j) columns[j] = static_cast<size_t>(static_cast<long long>(j) * w / tw) * bpp;
  for (int i = 0; i < th; ++i) {
    const BYTE* s = src + static_cast<size_t>(static_cast<long long>(i) * h / th) * w * bpp;
    BYTE* d = dst + static_cast<size_t>(i) * tw * bpp;
    for (int j = 0; j < tw; ++j, d += bpp) memcpy(d, s + columns[j], bpp);
  }
}

bool MeasurePictures(int rounds) {
  const std::vector<BYTE> picture = MakePicture();
  const std::vector<BYTE> jpeg = EncodeJpeg(picture, 90);
  const std::vector<BYTE> png = EncodePng(picture);
  const size_t bytes = picture.size();
  std::vector<BYTE> buffer(bytes);
  int w = 0, h = 0;
  auto readJpeg = [&] {
    return ReadThroughLibrary(jpeg, [&](HPVSRC s) { return ReadJpeg(s, &w, &h, 24); });
  };
  auto readPng = [&] {
    return ReadThroughLibrary(png, [&](HPVSRC s) { return ReadPng(s, &w, &h, 24, nullptr); });
  };
  // The readers must produce what the baselines produce.
  MinimalJpegRead(jpeg, buffer.data());
  BYTE* out = readJpeg();
  const bool jpegSame = out && !memcmp(out, buffer.data(), bytes);
  FreeImageBlock(out);
  out = readPng();
  const bool pngSame = out && !memcmp(out, picture.data(), bytes);
  FreeImageBlock(out);
  if (!jpegSame || !pngSame) {
    printf("%s does not read the picture the baseline reads\n", jpegSame ? "ReadPng" : "ReadJpeg");
    return false;
  }
  double ours, base;
  TimePair(rounds, [&] { FreeImageBlock(readJpeg()); }, [&] { MinimalJpegRead(jpeg, buffer.data()); },
           &ours, &base);
  Add("ReadJpeg 1920x1080", ours, base, "ms", "libjpeg rows into one buffer", 1.1);
  TimePair(rounds, [&] { FreeImageBlock(readPng()); }, [&] { MinimalPngRead(png, buffer.data()); },
           &ours, &base);
  Add("ReadPng 1920x1080", ours, base, "ms", "libpng rows into one buffer", 1.1);
  // The readers' blocks are handed back and reused. What a new block's
  // first writes would cost them, for the same bytes:
  TimePair(rounds,
           [&] {
             BYTE* block = static_cast<BYTE*>(GlobalAlloc(GPTR, bytes));
             memcpy(block, picture.data(), bytes);
             GlobalFree(block);
           },
           [&] { memcpy(buffer.data(), picture.data(), bytes); }, &ours, &base);
  Add("(a new 6 MB block, written once)", ours, base, "ms", "memcpy into one buffer", 0);

  const struct {
    int w, h;
  } targets[] = {{1280, 720}, {2560, 1440}, {1366, 768}};
  for (const ResizeLoop& loop : ResizeLoopsHere()) {
    const ResizeLoopScope held(loop);
    for (const auto& t : targets) {
      std::vector<BYTE> target(static_cast<size_t>(t.w) * t.h * 3);
      const double pixels = static_cast<double>(t.w) * t.h;
      TimePair(rounds,
               [&] { ResizeImage(picture.data(), kPictureWidth, kPictureHeight, target.data(), t.w, t.h, 3); },
               [&] { ScaledCopy(picture.data(), kPictureWidth, kPictureHeight, target.data(), t.w, t.h, 3); },
               &ours, &base);
      char name[64];
      sprintf(name, "ResizeImage 1920x1080 to %dx%d, %s", t.w, t.h, loop.name);
      Add(name, ours * 1e6 / pixels, base * 1e6 / pixels, "ns/px", "nearest-pixel scaled copy", 2.0);
    }
  }
  return true;
}

// ---------------------------------------------------------------------------
// Making a saver.

std::string ThisFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path);
  return p.substr(0, p.find_last_of('\\') + 1);
}

void WriteBytes(const std::string& path, size_t size, unsigned seed) {
  std::vector<BYTE> bytes(size);
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes[i] = static_cast<BYTE>(seed >> 16);
  }
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(h);
}

void MeasureMakeScr(int rounds) {
  const std::string builderPath = ThisFolder() + "..\\..\\builder\\Lumenweave.exe";
  HMODULE builder = LoadLibraryExA(builderPath.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!builder) {
    printf("  make .scr: %s cannot be loaded\n", builderPath.c_str());
    return;
  }
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "lw_hotpaths_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string document = folder + "scene.lwd", saver = folder + "scene.scr",
                    copy = folder + "copy.scr";
  const struct {
    size_t bytes;
    const char* name;
  } sizes[] = {{2 * 1024, "2 KB"}, {200 * 1024, "200 KB"}, {5 * 1024 * 1024, "5 MB"}};
  for (const auto& s : sizes) {
    WriteBytes(document, s.bytes, static_cast<unsigned>(s.bytes));
    CSaverMaker maker;
    maker.m_resources = builder;
    bool ok = true;
    double ours, base;
    TimePair(rounds, [&] { ok = maker.MakeScr(saver.c_str(), document.c_str()) && ok; },
             [&] { CopyFileA(saver.c_str(), copy.c_str(), FALSE); }, &ours, &base);
    if (!ok) {
      printf("  make .scr: MakeScr failed (%d: %s)\n", maker.m_lastErrorCode,
             static_cast<const char*>(maker.m_lastErrorMessage));
      break;
    }
    Add(std::string("make .scr, ") + s.name + " document", ours, base, "ms",
        "CopyFile of the saver made", 1.3);
  }
  DeleteFileA(document.c_str());
  DeleteFileA(saver.c_str());
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(folder.c_str());
  FreeLibrary(builder);
}

// ---------------------------------------------------------------------------
// The bytes the transitions transfer: the program's own gdi32 BitBlt and
// StretchBlt, found in its import table, counted on their way through.

unsigned long long g_blitBytes = 0;
decltype(&BitBlt) g_bitBlt = nullptr;
decltype(&StretchBlt) g_stretchBlt = nullptr;

BOOL WINAPI CountingBitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  if (w > 0 && h > 0) g_blitBytes += 4ull * w * h;
  return g_bitBlt(dst, x, y, w, h, src, sx, sy, rop);
}

BOOL WINAPI CountingStretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                               int sh, DWORD rop) {
  if (w != 0 && h != 0) g_blitBytes += 4ull * (w < 0 ? -w : w) * (h < 0 ? -h : h);
  return g_stretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, rop);
}

void CountBlits() {
  BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  g_bitBlt = &BitBlt;
  g_stretchBlt = &StretchBlt;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
      void* with = !strcmp(name, "BitBlt")       ? reinterpret_cast<void*>(CountingBitBlt)
                   : !strcmp(name, "StretchBlt") ? reinterpret_cast<void*>(CountingStretchBlt)
                                                 : nullptr;
      if (!with) continue;
      DWORD old;
      VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(with);
      VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
    }
  }
}

// A fade level drawn where a run draws (the play window's back picture,
// which the output then presents once a frame, as it does for every
// effect), and drawn straight onto the window's DC. The frame copy's ms,
// for the transitions' bound.
double MeasureFade(CDC* screen, CDC* picture, CEffectScene& scene, int rounds) {
  CEffectScene pictureScene(picture, scene.Width(), scene.Height());
  const FrameCosts p = MeasureFrameCosts(picture, pictureScene, rounds);
  Add("fade level 1920x1080 into the play picture", p.level, p.copy, "ms", "memcpy of a 24-bit frame", 2.0);
  const FrameCosts c = MeasureFrameCosts(screen, scene, rounds);
  Add("fade level 1920x1080 onto a window DC", c.level, c.copy, "ms", "memcpy of a 24-bit frame", 0);
  return c.copy;
}

void MeasureTransitions(CDC* screen, CEffectScene& scene, double copyMs) {
  CountBlits();
  double total = 0;
  unsigned long long bytes = 0;
  for (int id = kEffectFirstTransition; id <= kEffectLastTransition; ++id) {
    screen->FillSolidRect(0, 0, scene.Width(), scene.Height(), RGB(0, 0, 0));
    CBenchPacer pacer;
    g_blitBytes = 0;
    total += scene.Run(id, &pacer);
    bytes += g_blitBytes;
  }
  const double frameBytes = static_cast<double>(scene.Width()) * scene.Height() * 3;
  const double boundMs = copyMs * static_cast<double>(bytes) / frameBytes;
  printf("  effects: %.0f MB transferred, %.1f full frames a transition\n", bytes / 1048576.0,
         bytes / (4.0 * scene.Width() * scene.Height()) / (kEffectLastTransition - kEffectFirstTransition + 1));
  Add("84 transitions, no delays", total, boundMs, "ms", "memcpy of the bytes they transfer", 0);
}

// ---------------------------------------------------------------------------
// Waiting.

double CorePercent(const SceneCpu& r, const std::vector<Watched>& watched) {
  double ms = r.cpuMs;
  for (size_t i = 0; i < watched.size(); ++i)
    if (watched[i].name == "wineserver" && r.watchedMs[i] >= 0) ms += r.watchedMs[i];
  return 100.0 * ms / r.wallMs;
}

void MeasureWaiting(CDC* screen, DWORD waitMs, DWORD moveMs) {
  const std::vector<Watched> watched = WatchedProcesses();
  bool server = false;
  for (const Watched& w : watched) server = server || w.name == "wineserver";
  if (!server) printf("  (the Wine server's time is not known: run through tools/bench/run)\n");
  UINT times = CountEventPolls(1000);
  printf("  Times %u (event polls a second)\n", times);
  MeasureScene(&times, NewWaitCommand(0), 0, watched);
  char name[80];
  sprintf(name, "Wait %u s", static_cast<unsigned>(waitMs / 1000));
  AddShare(name, CorePercent(MeasureScene(&times, NewWaitCommand(waitMs), waitMs, watched), watched), 2.0);

  const int size = 256;
  PathPicture picture;
  picture.Create(screen, size);
  const struct {
    double stepMs;
    bool draw;
  } moves[] = {{1.0, true}, {1.0, false}, {0.1, false}};
  for (const auto& m : moves) {
    const int steps = static_cast<int>(moveMs / m.stepMs);
    // A step of no whole poll is no wait at all: the Move then runs flat out.
    const unsigned polls = CalibratedPollCount(MoveDelayForStep(m.stepMs), 100000.0, times);
    sprintf(name, "Move %.1f ms steps%s, %u polls", m.stepMs, m.draw ? " + blit" : "", polls);
    AddShare(name,
             CorePercent(MeasureScene(&times,
                                      NewPathStepsCommand(steps, MoveDelayForStep(m.stepMs),
                                                          m.draw ? &picture.dc : nullptr, size),
                                      moveMs, watched),
                         watched),
             5.0);
  }
}

}  // namespace

// Arguments: the seconds of the Wait (20), then the parts to run (all of
// pictures, saver, fade, effects, waiting when none is named).
int main(int argc, char** argv) {
  const int waitSeconds = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 20;
  auto part = [&](const char* name) {
    if (argc <= 2) return true;
    for (int i = 2; i < argc; ++i)
      if (!strcmp(argv[i], name)) return true;
    return false;
  };
  const int rounds = 9;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  printf("hot paths: screen %dx%d, medians of %d alternating rounds\n", sw, sh, rounds);
  CWindowPlayOutput output;
  HWND wnd = CreatePlayWindow("HotPathsBench", &output);
  if (!wnd) return 1;
  PumpUntilSet(nullptr, 200);
  CClientDC screen(wnd);
  if (part("pictures") && !MeasurePictures(rounds)) return 1;
  if (part("saver")) MeasureMakeScr(rounds);
  if (part("fade") || part("effects")) {
    CEffectScene scene(&screen, sw, sh);
    const double copyMs = MeasureFade(&screen, output.BeginDrawing(&screen), scene, 5);
    if (part("effects")) MeasureTransitions(&screen, scene, copyMs);
  }
  if (part("waiting")) MeasureWaiting(&screen, static_cast<DWORD>(waitSeconds) * 1000, 10000);
  PrintTable();
  SetPlayWindowOutput(nullptr);
  DestroyWindow(wnd);
  return 0;
}
