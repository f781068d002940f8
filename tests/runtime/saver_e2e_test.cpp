// The saver end to end: documents written by the script model, made into
// ".scr" files by the output writer from the builder's carried runtime, and
// started as Windows starts them (/s, /c, /p <handle>, /a <handle>). What
// the script draws and the pictures of the desktop and the wallpaper are
// looked at on the screen, the dialogs are answered through their
// controls, and the exit address reaches a stand-in browser through the
// system's http handler. Damaged payloads end quietly: no window, a
// nonzero exit code, within a few seconds.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Files.h"
#include "playback/SpeedCalibration.h"
#include "runtime/PasswordHash.h"
#include "script/Commands.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"
#include "common/Payload.h"
#include "tests/playback/picture_bytes.h"
#include "tests/runtime/saver_documents.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"
#include "tests/support/movie_features.h"
#include "tests/support/swf_writer.h"
#include "tests/wizards/built_saver_maker.h"

namespace {

using lwtest::Bytes;
using lwtest::ChildWithText;
using lwtest::FileExists;
using lwtest::kNotEnded;
using lwtest::PumpUntil;
using lwtest::ReadAll;
using lwtest::ScreenPixel;
using lwtest::TempPath;
using lwtest::TopWindowOf;
using lwtest::WriteAll;

// A saver started as Windows starts it.
using SaverProcess = lwtest::CChildProcess;

std::string Backslashed(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

Bytes DocumentOf(CCommandList& list) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    WriteSceneDocument(ar, list);
    ar.Close();
  }
  return Bytes(file.GetBuffer(), file.GetBuffer() + file.GetLength());
}

// The commands the documents below are made of.
void AddCls(CCommandList& list, COLORREF colour) {
  CClsCommand* cls = static_cast<CClsCommand*>(CreateCommand(kTypeCls));
  cls->m_colour.m_colour = colour;
  list.Add(cls);
}

void AddWait(CCommandList& list, int ms) {
  CWaitCommand* wait = static_cast<CWaitCommand*>(CreateCommand(kTypeWait));
  wait->m_duration.m_milliseconds = ms;
  list.Add(wait);
}

// The end of a loop that never ends by itself.
void AddEndlessUntil(CCommandList& list) {
  CUntilCommand* until = static_cast<CUntilCommand*>(CreateCommand(kTypeUntil));
  until->m_repeat.m_infinite = 1;
  list.Add(until);
}

// A document of two comments, as the builder saves it.
Bytes CommentDocument() {
  CCommandList list;
  for (int i = 0; i < 2; ++i) list.Add(CreateCommand(kTypeComment));
  return DocumentOf(list);
}

// An optional Url command, a Cls in the colour, then Waits in an endless
// loop: the colour on the screen tells that the Url command has run.
Bytes PlayingDocument(COLORREF colour, const char* url = nullptr, int keys = 1) {
  CCommandList list;
  if (url) {
    CUrlCommand* u = static_cast<CUrlCommand*>(CreateCommand(kTypeUrl));
    u->m_location = url;
    u->m_keys = keys;
    list.Add(u);
  }
  AddCls(list, colour);
  list.Add(CreateCommand(kTypeRepeat));
  AddWait(list, 250);
  AddEndlessUntil(list);
  return DocumentOf(list);
}

// Cls after Cls with no wait between: the scene thread keeps making the
// saver window redraw itself.
Bytes RedrawingDocument() {
  CCommandList list;
  list.Add(CreateCommand(kTypeRepeat));
  for (COLORREF colour : {RGB(200, 0, 0), RGB(0, 0, 200)}) AddCls(list, colour);
  AddEndlessUntil(list);
  return DocumentOf(list);
}

// A red 64 x 48 picture object.
CImageTextObject* AddRedPicture(CCommandList& list) {
  CImageTextObject* picture = static_cast<CImageTextObject*>(CreateCommand(kTypeImageText));
  picturetest::SetPictureBytes(*picture,
                               picturetest::MakeBmp(64, 48, [](int, int) { return RGB(255, 0, 0); }));
  picture->m_displayName = "red.bmp";
  list.Add(picture);
  return picture;
}

// Shows the picture at (300, 200) with the effect.
void AddShowAt300x200(CCommandList& list, CImageTextObject* picture, int effect) {
  CShowCommand* show = static_cast<CShowCommand*>(CreateCommand(kTypeShow));
  CMotionAttribute& m = show->m_ref.m_motion;
  m.m_startModeX = m.m_startModeY = m.m_endModeX = m.m_endModeY = kModeStored;
  m.m_startX = m.m_endX = 300;
  m.m_startY = m.m_endY = 200;
  m.m_effect = effect;
  list.Add(show);
  show->SetTarget(picture);
}

// Cls, then every round a red line at y = 40 from x = 20 to 200 and a red
// picture at (300, 200) revealed by Wipe Down, then a short wait: what a
// script draws reaches the screen of a running saver.
Bytes DrawingDocument() {
  CCommandList list;
  AddCls(list, RGB(0, 0, 160));
  CImageTextObject* picture = AddRedPicture(list);
  list.Add(CreateCommand(kTypeRepeat));
  CLineCommand* line = static_cast<CLineCommand*>(CreateCommand(kTypeLine));
  CMotionAttribute& l = line->m_motion;
  l.m_startModeX = l.m_startModeY = l.m_endModeX = l.m_endModeY = kModeStored;
  l.m_startX = 20;
  l.m_endX = 200;
  l.m_startY = l.m_endY = 40;
  line->m_colour.m_colour = RGB(255, 0, 0);
  line->m_penWidth = 5;
  list.Add(line);
  AddShowAt300x200(list, picture, 37);
  AddWait(list, 250);
  AddEndlessUntil(list);
  list.NumberCommands();
  return DocumentOf(list);
}

// Cls, a second's Wait (the saver's start is over), the red picture at
// (300, 200) shown once with the effect, then the end of the script or a
// long Wait: nothing but the drawing itself can put the picture on the
// screen.
Bytes OneShotDocument(int effect, bool waits) {
  CCommandList list;
  AddCls(list, RGB(0, 0, 160));
  AddWait(list, 1000);
  AddShowAt300x200(list, AddRedPicture(list), effect);
  if (waits) AddWait(list, 100000);
  list.NumberCommands();
  return DocumentOf(list);
}

// Cls, then two picture objects whose stored pictures are small red and
// green ones but which were made from the desktop and the wallpaper: the
// desktop's shown at (0, 0), the wallpaper's at (0, top), every round.
Bytes SourcePicturesDocument(int top) {
  CCommandList list;
  AddCls(list, RGB(0, 0, 160));
  CImageTextObject* objects[2];
  const int sources[2] = {2, 3};
  const COLORREF stored[2] = {RGB(255, 0, 0), RGB(0, 255, 0)};
  for (int i = 0; i < 2; ++i) {
    objects[i] = static_cast<CImageTextObject*>(CreateCommand(kTypeImageText));
    const COLORREF colour = stored[i];
    picturetest::SetPictureBytes(*objects[i],
                                 picturetest::MakeBmp(64, 48, [colour](int, int) { return colour; }));
    objects[i]->m_displayName = i ? "wallpaper.jpg" : "desktop.jpg";
    objects[i]->m_imageSource = sources[i];
    list.Add(objects[i]);
  }
  list.Add(CreateCommand(kTypeRepeat));
  for (int i = 0; i < 2; ++i) {
    CShowCommand* show = static_cast<CShowCommand*>(CreateCommand(kTypeShow));
    CMotionAttribute& m = show->m_ref.m_motion;
    m.m_startModeX = m.m_startModeY = m.m_endModeX = m.m_endModeY = kModeStored;
    m.m_startX = m.m_endX = 0;
    m.m_startY = m.m_endY = i ? top : 0;
    list.Add(show);
    show->SetTarget(objects[i]);
  }
  AddWait(list, 250);
  AddEndlessUntil(list);
  list.NumberCommands();
  return DocumentOf(list);
}

// A pixel of a 24-bit BMP file's bytes; CLR_INVALID outside it.
COLORREF BmpPixel(const Bytes& bmp, int x, int y) {
  if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M') return CLR_INVALID;
  int32_t w = 0, h = 0;
  uint32_t offset = 0;
  memcpy(&offset, &bmp[10], 4);
  memcpy(&w, &bmp[18], 4);
  memcpy(&h, &bmp[22], 4);
  if (bmp[28] != 24 || x < 0 || y < 0 || x >= w || y >= abs(h)) return CLR_INVALID;
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
  const size_t row = h > 0 ? static_cast<size_t>(h - 1 - y) : static_cast<size_t>(y);
  const size_t at = offset + row * stride + static_cast<size_t>(x) * 3;
  if (at + 3 > bmp.size()) return CLR_INVALID;
  return RGB(bmp[at + 2], bmp[at + 1], bmp[at]);
}

HWND SaverWindowOf(DWORD pid) { return TopWindowOf(pid, "SS3.0"); }

// A place on the screen and the colour it should show.
struct ScreenPoint {
  int x, y;
  COLORREF colour;
  const char* what;
};

// Waits up to 15 s for every point to show its colour; "" when they do,
// else what the last point that did not was.
template <size_t N>
std::string WrongScreenPoint(const ScreenPoint (&points)[N]) {
  std::string wrong;
  PumpUntil([&] {
    wrong.clear();
    for (const ScreenPoint& p : points)
      if (ScreenPixel(p.x, p.y) != p.colour) wrong = p.what;
    return wrong.empty();
  }, 15000);
  return wrong;
}

// Whether the cursor shows, for the thread of the foreground window (the
// saver's while it is in front).
DWORD ForegroundCursorFlags() {
  CURSORINFO info = {};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) ? info.flags : 0;
}

std::string DisplayName(const std::string& path) {
  SHFILEINFOA info = {};
  SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME);
  return info.szDisplayName;
}

// The saver's own profile: HKCU\Software\Corvanta\Screen Saver\<display
// name of the saver file>, removed before and after the test.
struct SaverProfile : lwtest::CScratchKey {
  explicit SaverProfile(const std::string& scr)
      : CScratchKey(HKEY_CURRENT_USER, "Software\\Corvanta\\Screen Saver\\" + DisplayName(scr)) {}
  void Set(const char* section, const char* entry, DWORD value) {
    ASSERT_TRUE(Sub(section).SetNumber(entry, value));
  }
  // -1 when absent.
  long Get(const char* section, const char* entry) {
    return static_cast<long>(Sub(section).Number(entry, static_cast<DWORD>(-1)));
  }
  std::string GetText(const char* section, const char* entry) { return Sub(section).Text(entry); }
  // Only Escape ends the saver.
  void EscapeOnly() {
    Set("Settings", "Standard", 0);
    for (const char* v : {"MouseMove", "ButtonDown", "DoubleClick", "KeyDown"}) Set("Settings", v, 0);
    Set("Settings", "Escape", 1);
  }
};

class SaverRun : public lwtest::CBuiltSaverMakerTest {
 protected:
  SaverRun() : CBuiltSaverMakerTest("saver_e2e") {}

  // A saver made by the writer from the document bytes.
  std::string MakeSaver(const char* name, const Bytes& document) {
    std::string fsd = dir_ + name + ".fsd", scr = dir_ + name + ".scr";
    WriteAll(fsd, document);
    EXPECT_TRUE(maker_.MakeScr(scr.c_str(), fsd.c_str()));
    return scr;
  }
  // A saver made for a test run, beside its document, as the builder's
  // test run makes it.
  std::string MakeTestRunSaver(const char* name, const Bytes& document) {
    std::string fsd = dir_ + name + ".fsd", scr = dir_ + name + ".scr";
    WriteAll(fsd, document);
    maker_.m_documentPath = fsd.c_str();
    EXPECT_TRUE(maker_.MakeBesideDocument());
    return scr;
  }
};

TEST_F(SaverRun, RunsFullScreenAndEndsOnAKey) {
  std::string scr = MakeSaver("Comments", CommentDocument());
  SaverProcess run(scr, "/s");
  ASSERT_TRUE(run.Started());
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr) << "the saver showed no window";
  RECT r;
  GetWindowRect(saver, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);

  // The desktop and wallpaper pictures, named for this process alone, are
  // made before the window shows.
  const std::string pid = std::to_string(run.Pid());
  const std::string desktop = TempPath("desktop-" + pid + ".bmp");
  const std::string wallpaper = TempPath("wallpaper-" + pid + ".bmp");
  const Bytes desktopBytes = ReadAll(desktop), wallpaperBytes = ReadAll(wallpaper);
  ASSERT_GT(desktopBytes.size(), 54u) << desktop;
  ASSERT_GT(wallpaperBytes.size(), 54u) << wallpaper;
  EXPECT_EQ(desktopBytes[0], 'B');
  EXPECT_EQ(desktopBytes[1], 'M');
  int32_t width = 0, height = 0;
  memcpy(&width, &desktopBytes[18], 4);
  memcpy(&height, &desktopBytes[22], 4);
  RECT screen;
  GetWindowRect(GetDesktopWindow(), &screen);
  EXPECT_EQ(width, screen.right - screen.left);
  EXPECT_EQ(abs(height), screen.bottom - screen.top);
  EXPECT_EQ(wallpaperBytes[0], 'B');

  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u);
  EXPECT_FALSE(FileExists(desktop)) << "removed at the end";
  EXPECT_FALSE(FileExists(wallpaper)) << "removed at the end";
}

// The script plays on the saver's screen: the Cls colour, a line and a
// picture at their places; the endless loop keeps the saver going until a
// key ends it while the thread waits.
TEST_F(SaverRun, ShowsWhatItsScriptDraws) {
  std::string scr = MakeSaver("Drawing", DrawingDocument());
  SaverProcess run(scr, "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 160);
  const ScreenPoint kPoints[] = {
      {100, 300, blue, "the Cls colour"},   {100, 40, red, "the line"},
      {10, 40, blue, "left of the line"},   {301, 201, red, "the picture's top left"},
      {363, 247, red, "its bottom right"},  {299, 201, blue, "left of the picture"},
      {364, 247, blue, "right of the picture"},
  };
  EXPECT_EQ(WrongScreenPoint(kPoints), "") << "not on the screen";
  EXPECT_FALSE(run.Ended()) << "the endless loop keeps the saver going";
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u) << "ended on the key while the thread waited";
}

// A script that shows a picture once and then ends or waits: the picture
// shows, and when the saver window is repainted (as when something that
// covered it goes) it shows again, not the Cls colour.
TEST_F(SaverRun, ShowsAOneShotPictureAndPaintsItAgain) {
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 160);
  const struct {
    int effect;
    bool waits;
  } kCases[] = {{0, false}, {0, true}, {37, true}, {4, true}, {66, true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "effect " << c.effect << (c.waits ? ", then a Wait" : ""));
    const std::string scr = MakeSaver("OneShot", OneShotDocument(c.effect, c.waits));
    SaverProcess run(scr, "/s");
    HWND saver = run.WaitForWindow("SS3.0");
    ASSERT_NE(saver, nullptr);
    auto shown = [] {
      return ScreenPixel(330, 220) == red && ScreenPixel(200, 300) == blue;
    };
    // The Cls colour where the picture comes a second later: this saver's
    // own drawing, not what an earlier one left on the screen.
    EXPECT_TRUE(PumpUntil([] { return ScreenPixel(330, 220) == blue; }, 15000)) << "the Cls colour";
    EXPECT_TRUE(PumpUntil(shown, 15000)) << "the picture on the Cls colour";
    RedrawWindow(saver, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    EXPECT_FALSE(PumpUntil([&] { return !shown(); }, 1500)) << "painted over after the redraw";
    PostMessageA(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(run.Wait(10000), 0u);
  }
}

// A media object of the bytes and a Play command of it; returns the
// command's placement to be set.
CFlashPlayAttribute& AddPlay(CCommandList& list, const Bytes& bytes, int kind, const char* name) {
  CMediaObject* media = savertest::AddMedia(list, bytes, kind, name);
  CPlayCommand* play = static_cast<CPlayCommand*>(CreateCommand(kTypePlay));
  list.Add(play);
  play->SetTarget(media);
  return play->m_placement.m_flash;
}

// A movie of the screen's shape on a green background with a red square
// in its middle, played full screen and endlessly, then a long Wait.
Bytes MovieDocument(int screenW, int screenH) {
  lwtest::CSwfWriter movie(screenW * 20, screenH * 20);
  movie.SetBackground(RGB(0, 160, 0));
  lwtest::CSwfShape square;
  const int side = screenH * 20 / 3;
  square.Rectangle(0, 0, side, side, square.AddFill(RGB(255, 0, 0)));
  movie.DefineShape(1, square);
  movie.PlaceObject(1, 1, lwtest::SwfAt(screenW * 10 - side / 2, screenH * 10 - side / 2));
  movie.ShowFrame();
  movie.ShowFrame();
  const lwtest::SwfBytes bytes = movie.Cws();
  CCommandList list;
  AddCls(list, RGB(0, 0, 160));
  CFlashPlayAttribute& play = AddPlay(list, bytes, kMediaFlash, "square.swf");
  play.m_fullScreen = 1;
  play.m_wait = 0;
  play.m_endless = 1;
  AddWait(list, 100000);
  list.NumberCommands();
  return DocumentOf(list);
}

// The window with the id among the window's descendants, or null.
HWND DescendantWithId(HWND parent, int id) {
  struct Find {
    int id;
    HWND found;
  } find = {id, nullptr};
  EnumChildWindows(parent, [](HWND hwnd, LPARAM lp) -> BOOL {
    Find& f = *reinterpret_cast<Find*>(lp);
    if (GetDlgCtrlID(hwnd) != f.id) return TRUE;
    f.found = hwnd;
    return FALSE;
  }, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// A saver that plays a movie shows it over the whole screen: its
// background colour and its shape where the movie places it. In a test run
// the movie begins below the strip of the Exit button (the Cls colour shows
// in the strip), as large as the screen, and takes the mouse: the control
// (62311), its host (62312) and what holds them are enabled; otherwise
// they are disabled, and the mouse reaches the saver window.
TEST_F(SaverRun, ShowsAMovieFullScreen) {
  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 160, 0), blue = RGB(0, 0, 160);
  for (const bool testRun : {false, true}) {
    SCOPED_TRACE(testRun ? "a test run" : "a saver in use");
    const int top = testRun ? 20 : 0;
    const std::string scr = testRun ? MakeTestRunSaver("MovieTestRun", MovieDocument(W, H))
                                    : MakeSaver("Movie", MovieDocument(W, H));
    SaverProcess run(scr, "/s");
    HWND saver = run.WaitForWindow("SS3.0");
    ASSERT_NE(saver, nullptr);
    const ScreenPoint kPoints[] = {
        {W / 2, H / 2 + top, red, "the square's middle"},
        {W / 2 - H / 6 + 3, H / 2 - H / 6 + 3 + top, red, "inside its top left corner"},
        {W / 2 - H / 6 + 3, H / 2 - H / 6 - 3 + top, green, "above its top left corner"},
        {W / 2 - H / 6 - 4, H / 2 + top, green, "left of the square"},
        {10, top + 2, green, "the movie's top left"},
        {10, 10, testRun ? blue : green, "the top left of the screen"},
        {W - 10, H - 10, green, "the bottom right of the screen"},
    };
    EXPECT_EQ(WrongScreenPoint(kPoints), "") << "not on the screen";
    const HWND control = DescendantWithId(saver, 62311);
    ASSERT_NE(control, nullptr);
    bool host = false;
    for (HWND w = control; w && w != saver; w = GetParent(w)) {
      host = host || GetDlgCtrlID(w) == 62312;
      EXPECT_EQ((GetWindowLongA(w, GWL_STYLE) & WS_DISABLED) == 0, testRun)
          << "window " << GetDlgCtrlID(w);
    }
    EXPECT_TRUE(host);
    PostMessageA(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(run.Wait(10000), 0u);
  }
}

// A saver that plays a movie of everything the movie control draws shows
// each of its things where the movie puts them (timed: the movie holds its
// last frame until the time runs out, as its own stop leaves it).
TEST_F(SaverRun, ShowsEveryKindOfThingInAMovie) {
  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  CCommandList list;
  AddCls(list, RGB(0, 0, 160));
  CFlashPlayAttribute& play = AddPlay(list, lwtest::FeatureMovie(dir_), kMediaFlash, "features.swf");
  play.m_fullScreen = 1;
  play.m_wait = 0;
  play.m_timed = 1;
  play.m_timerMs = 120000;
  AddWait(list, 100000);
  list.NumberCommands();
  SaverProcess run(MakeSaver("Features", DocumentOf(list)), "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  EXPECT_EQ(lwtest::CheckFeatureMovie(RECT{0, 0, W, H}), "");
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u);
}

// In a test run the pointer shows, but not while a video the script waits
// for plays: it is hidden when the video comes and shown again after it.
TEST_F(SaverRun, AWaitedVideoHidesThePointerOfATestRun) {
  CCommandList list;
  AddCls(list, RGB(0, 0, 160));
  AddWait(list, 500);
  CFlashPlayAttribute& play = AddPlay(list, lwtest::SolidAvi(64, 48, 8, 4, RGB(0, 200, 0)),
                                      kMediaVideo, "clip.avi");
  play.m_wait = 1;
  play.m_posX = play.m_posY = 100;
  AddCls(list, RGB(0, 0, 100));
  AddWait(list, 100000);
  list.NumberCommands();
  const std::string scr = MakeTestRunSaver("VideoTestRun", DocumentOf(list));
  SaverProcess run(scr, "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == saver; }, 5000));
  auto showing = [] { return (ForegroundCursorFlags() & CURSOR_SHOWING) != 0; };
  EXPECT_TRUE(PumpUntil([&] {
    HWND video = GetDlgItem(saver, 32780);
    return video && IsWindowVisible(video);
  }, 10000)) << "no video";
  EXPECT_FALSE(showing()) << "while the video plays";
  EXPECT_TRUE(PumpUntil([] { return ScreenPixel(10, 300) == RGB(0, 0, 100); }, 15000))
      << "the script did not go on after the video";
  EXPECT_TRUE(showing()) << "after the video";
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u);
}

// Picture objects made from the desktop and the wallpaper show this
// machine's, photographed when the saver starts, at their own size (the
// screen's), not the pictures stored in the document.
TEST_F(SaverRun, DesktopAndWallpaperPicturesAreThisMachines) {
  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  const int top = H / 2;
  // Something of this test on the desktop, to be found in its photograph.
  const COLORREF mark = RGB(250, 10, 250);
  lwtest::CHostWindow marker(600, 100, 200, 100, mark);
  ASSERT_NE(marker.Hwnd(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(700, 150) == mark; }, 5000));

  const std::string scr = MakeSaver("Sources", SourcePicturesDocument(top));
  SaverProcess run(scr, "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  marker.Destroy();
  ASSERT_NE(saver, nullptr);
  // The photograph of the desktop on the saver window, which covers the
  // marker: the saver has read its pictures.
  ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(700, 150) == mark; }, 15000))
      << "the desktop as it was is not shown";
  const std::string pid = std::to_string(run.Pid());
  const Bytes desktop = ReadAll(TempPath("desktop-" + pid + ".bmp"));
  const Bytes wallpaper = ReadAll(TempPath("wallpaper-" + pid + ".bmp"));
  EXPECT_EQ(BmpPixel(desktop, 700, 150), mark);

  // Points far outside the stored 64 by 48 pictures.
  const POINT kDesktopPoints[] = {{700, 150}, {W - 5, top - 5}, {100, top / 2}};
  const POINT kWallpaperPoints[] = {{700, 150}, {W - 5, H - top - 5}, {W / 3, 80}};
  int wrong = -1;
  std::string last;
  PumpUntil([&] {
    wrong = 0;
    last.clear();
    for (const POINT& p : kDesktopPoints)
      if (ScreenPixel(p.x, p.y) != BmpPixel(desktop, p.x, p.y)) {
        ++wrong;
        last = "desktop " + std::to_string(p.x) + "," + std::to_string(p.y);
      }
    for (const POINT& p : kWallpaperPoints)
      if (ScreenPixel(p.x, top + p.y) != BmpPixel(wallpaper, p.x, p.y)) {
        ++wrong;
        last = "wallpaper " + std::to_string(p.x) + "," + std::to_string(p.y);
      }
    return wrong == 0;
  }, 15000);
  EXPECT_EQ(wrong, 0) << "last point that differs: " << last;
  EXPECT_NE(ScreenPixel(10, 10), RGB(255, 0, 0)) << "the stored desktop picture is not shown";
  EXPECT_NE(ScreenPixel(10, top + 10), RGB(0, 255, 0)) << "the stored wallpaper is not shown";
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u);
}

// The scene thread keeps redrawing the saver window when a key ends the
// saver: the window's destruction must answer the thread's redraws while it
// waits for the thread.
TEST_F(SaverRun, EndsWhileTheScriptKeepsRedrawing) {
  std::string scr = MakeSaver("Redraw", RedrawingDocument());
  SaverProcess run(scr, "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  const int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
  EXPECT_TRUE(PumpUntil([&] {
    const COLORREF c = ScreenPixel(cx, cy);
    return c == RGB(200, 0, 0) || c == RGB(0, 0, 200);
  }, 10000)) << "the script colours the screen";
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u);
}

// A second run on the same machine takes the stored speed value; another
// machine's text makes it count again.
TEST_F(SaverRun, TheSpeedValueIsCountedOncePerMachine) {
  const lwtest::CRegKeyPath key(HKEY_CURRENT_USER, "Software\\Corvanta\\Screen Saver");
  const lwtest::CSavedRegValue savedSysInfo(key, "SysInfo"), savedTimes(key, "Times");
  char current[300];
  FormatSystemInfoText(current, sizeof current);
  auto store = [&](const char* sysInfo, DWORD times) {
    CRegistrySpeedStore(HKEY_CURRENT_USER, key.Path().c_str()).Write(sysInfo, times);
  };
  auto read = [&](std::string* sysInfo, DWORD* times) {
    *sysInfo = key.Text("SysInfo");
    *times = key.Number("Times");
  };
  const std::string scr = MakeSaver("Speed", CommentDocument());
  struct Row {
    const char* name;
    const char* sysInfo;
    bool counts;
  };
  const Row kRows[] = {{"this machine", current, false}, {"another machine", "4096,1,2,3", true}};
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    store(r.sysInfo, 777777);
    SaverProcess run(scr, "/s");
    HWND saver = run.WaitForWindow("SS3.0");
    ASSERT_NE(saver, nullptr);
    // A count is stored once it has run its time (the window shows while
    // it counts).
    if (r.counts) EXPECT_TRUE(PumpUntil([&] { return key.Text("SysInfo") == current; }, 15000));
    PostMessageA(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(run.Wait(10000), 0u);
    std::string sysInfo;
    DWORD times = 0;
    read(&sysInfo, &times);
    EXPECT_EQ(sysInfo, current);
    if (r.counts) {
      EXPECT_NE(times, 777777u);
      EXPECT_GT(times, 0u);
    } else {
      EXPECT_EQ(times, 777777u) << "the stored value is used as it is";
    }
  }
}

// A key as the keyboard gives it: to the window in front.
void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

// A saver whose movie's every frame costs far more than its time ends at
// once on a key pressed as the keyboard gives it, while the frames are
// being drawn: each frame is cut where it stands.
TEST_F(SaverRun, AKeyEndsASaverWhoseMoviesFramesCostMoreThanTheirTime) {
  CCommandList list;
  AddCls(list, RGB(0, 0, 160));
  CFlashPlayAttribute& play = AddPlay(list, lwtest::CostlyMovie(), kMediaFlash, "costly.swf");
  play.m_fullScreen = 1;
  play.m_wait = 1;
  play.m_endless = 1;
  list.NumberCommands();
  SaverProcess run(MakeSaver("Costly", DocumentOf(list)), "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return DescendantWithId(saver, 62311) != nullptr; }, 10000));
  lwtest::FlushEvents(1000);  // frames being drawn
  SetForegroundWindow(saver);
  PressKey('A');
  EXPECT_EQ(run.Wait(5000), 0u);
}

// On a machine's first run the saver counts its speed value with its
// window already black on the screen and in front, answering the keyboard:
// the script starts once the value is stored, and a key pressed during the
// count ends the saver without storing a count cut short. (The screen is
// covered in yellow first, so that black is the saver's own.)
TEST_F(SaverRun, AFirstRunShowsBlackAtOnceAndEndsOnAKeyWhileItCounts) {
  const lwtest::CRegKeyPath key(HKEY_CURRENT_USER, "Software\\Corvanta\\Screen Saver");
  const lwtest::CSavedRegValue savedSysInfo(key, "SysInfo"), savedTimes(key, "Times");
  const std::string scr = MakeSaver("FirstRun", PlayingDocument(RGB(0, 0, 200)));
  const int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
  const COLORREF yellow = RGB(255, 255, 0), black = RGB(0, 0, 0), blue = RGB(0, 0, 200);
  for (const bool keyDuringCount : {false, true}) {
    SCOPED_TRACE(keyDuringCount ? "a key during the count" : "the count runs to its end");
    key.RemoveValue("Times");
    lwtest::CHostWindow cover(0, 0, 2 * cx, 2 * cy, yellow);
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(cx, cy) == yellow; }, 5000));
    SaverProcess run(scr, "/s");
    // The state of the count when the saver's window is black and in front.
    HWND saver = nullptr;
    DWORD timesWhenShown = 1;
    ASSERT_TRUE(PumpUntil([&] {
      saver = SaverWindowOf(run.Pid());
      if (saver && GetForegroundWindow() == saver && ScreenPixel(cx, cy) == black) {
        timesWhenShown = key.Number("Times");
        return true;
      }
      return run.Ended();
    }, 15000)) << "no black saver window";
    ASSERT_FALSE(run.Ended());
    EXPECT_EQ(timesWhenShown, 0u) << "the window showed only after the count";
    if (keyDuringCount) {
      PressKey('A');
      bool played = false;
      EXPECT_EQ(run.Wait(10000, [&] { played = played || ScreenPixel(cx, cy) == blue; }), 0u)
          << "a key during the count ends the saver";
      EXPECT_FALSE(played) << "the script started after the key";
      EXPECT_EQ(key.Number("Times"), 0u) << "a count cut short is not stored";
    } else {
      EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(cx, cy) == blue; }, 15000))
          << "the script plays after the count";
      EXPECT_NE(key.Number("Times"), 0u) << "the count is stored";
      PressKey('A');
      EXPECT_EQ(run.Wait(10000), 0u);
    }
  }
}

TEST_F(SaverRun, SettingsDialogStoresTheExitChoice) {
  const std::string scr = MakeSaver("Choices", CommentDocument());
  SaverProfile profile(scr);
  {
    SaverProcess run(scr, "/c");
    HWND dlg = run.WaitForWindow("#32770", "Settings");
    ASSERT_NE(dlg, nullptr) << "no settings dialog";
    EXPECT_EQ(SendDlgItemMessageA(dlg, 1013, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, 1009)));
    for (int id : {1014, 1009, 1010, 1004}) SendDlgItemMessageA(dlg, id, BM_CLICK, 0, 0);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.Wait(10000), 0u);
  }
  const struct {
    const char* entry;
    long value;
  } kExpected[] = {{"Standard", 0}, {"MouseMove", 0}, {"ButtonDown", 0}, {"DoubleClick", 0},
                   {"KeyDown", 1},  {"Escape", 1},    {"Mute", 1}};
  for (const auto& e : kExpected) EXPECT_EQ(profile.Get("Settings", e.entry), e.value) << e.entry;

  // Shown again as stored; Cancel changes nothing.
  SaverProcess again(scr, "/c");
  HWND dlg = again.WaitForWindow("#32770", "Settings");
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(SendDlgItemMessageA(dlg, 1014, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendDlgItemMessageA(dlg, 1009, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendDlgItemMessageA(dlg, 1006, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendDlgItemMessageA(dlg, 1013, BM_CLICK, 0, 0);
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(again.Wait(10000), 0u);
  EXPECT_EQ(profile.Get("Settings", "Standard"), 0);
}

// A window of this test that the saver is handed, as the display settings
// hand theirs.
using HostWindow = lwtest::CHostWindow;

// The preview lies over the whole window it is handed and ends with it.
// (What it draws is looked at in-process: this Wine does not show a window
// drawn by one process inside a window of another.)
TEST_F(SaverRun, PreviewFillsTheGivenWindowAndEndsWithIt) {
  const std::string scr = MakeSaver("Preview", CommentDocument());
  const int W = 320, H = 240;
  HostWindow host(200, 150, W, H);
  ASSERT_NE(host.Hwnd(), nullptr);
  SaverProcess run(scr, "/p " + host.HandleText());
  HWND preview = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    preview = FindWindowExA(host.Hwnd(), nullptr, "SS3.0", nullptr);
    return (preview && IsWindowVisible(preview)) || run.Ended();
  }, 15000)) << "no preview window in the host";
  ASSERT_NE(preview, nullptr);
  DWORD owner = 0;
  GetWindowThreadProcessId(preview, &owner);
  EXPECT_EQ(owner, run.Pid());
  EXPECT_EQ(GetWindowLongA(preview, GWL_STYLE) & WS_CHILD, WS_CHILD);
  RECT r;
  GetClientRect(preview, &r);
  EXPECT_EQ(r.right, W);
  EXPECT_EQ(r.bottom, H);
  EXPECT_EQ(run.Wait(300), kNotEnded) << "the preview keeps running";

  // Windows destroys the preview area: the saver ends with it.
  host.Destroy();
  EXPECT_EQ(run.Wait(10000), 0u);
}

// A preview area that is not a window ends the saver at once.
TEST_F(SaverRun, PreviewOfNoWindowEndsAtOnce) {
  const std::string scr = MakeSaver("NoPreview", CommentDocument());
  for (const char* args : {"/p 0", "/p 12345678", "/p"}) {
    SCOPED_TRACE(args);
    SaverProcess run(scr, args);
    bool sawWindow = false;
    EXPECT_NE(run.Wait(10000, [&] { sawWindow = sawWindow || SaverWindowOf(run.Pid()); }), kNotEnded);
    EXPECT_FALSE(sawWindow);
  }
}

// /a sets the saver's own password; the next /a asks for the old one first.
TEST_F(SaverRun, PasswordModeStoresThePasswordAndAsksForTheOldOne) {
  const std::string scr = MakeSaver("Guard", CommentDocument());
  SaverProfile profile(scr);
  HostWindow owner(0, 0, 50, 50);
  const std::string args = "/a " + owner.HandleText();
  auto setNew = [](HWND dlg, const char* text) {
    SetDlgItemTextA(dlg, 1002, text);
    SetDlgItemTextA(dlg, 1001, text);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  };
  {
    SaverProcess run(scr, args);
    HWND dlg = run.WaitForWindow("#32770", "New password");
    ASSERT_NE(dlg, nullptr) << "no New password dialog";
    setNew(dlg, "Sesame");
    HWND box = run.WaitForMessageBox("The password has been successfully changed.");
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.Wait(10000), 0u);
  }
  std::string stored = profile.GetText("Password", "Encrypt");
  EXPECT_TRUE(VerifyPassword("Sesame", stored.c_str())) << stored;
  EXPECT_EQ(stored.find("Sesame"), std::string::npos);

  {
    SaverProcess run(scr, args);
    HWND dlg = run.WaitForWindow("#32770", "Password");
    ASSERT_NE(dlg, nullptr) << "the old password is asked first";
    SetDlgItemTextA(dlg, 1000, "sesame");
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    HWND box = run.WaitForMessageBox("The password is not correct.");
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 5000));
    SetDlgItemTextA(dlg, 1000, "Sesame");
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    HWND next = run.WaitForWindow("#32770", "New password");
    ASSERT_NE(next, nullptr);
    setNew(next, "Next one");
    box = run.WaitForMessageBox("The password has been successfully changed.");
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.Wait(10000), 0u);
  }
  stored = profile.GetText("Password", "Encrypt");
  EXPECT_TRUE(VerifyPassword("Next one", stored.c_str()));

  // Cancelling the old password changes nothing.
  {
    SaverProcess run(scr, args);
    HWND dlg = run.WaitForWindow("#32770", "Password");
    ASSERT_NE(dlg, nullptr);
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(run.Wait(10000), 0u);
    EXPECT_EQ(TopWindowOf(run.Pid(), "#32770", "New password"), nullptr);
  }
  EXPECT_EQ(profile.GetText("Password", "Encrypt"), stored);
}

// The system's http handler points at the stand-in browser while a test
// runs; its arguments land in a file of the test.
class SaverUrl : public SaverRun {
 protected:
  void SetUp() override {
    SaverRun::SetUp();
    const std::string recorder = Backslashed(LW_BUILD_DIR "/tests/url_recorder.exe");
    ASSERT_TRUE(FileExists(recorder)) << recorder;
    const std::string command = "\"" + recorder + "\" \"%1\"";
    ASSERT_TRUE(lwtest::CRegKeyPath(HKEY_CLASSES_ROOT, kHandler).SetText(nullptr, command));
    record_ = dir_ + "browser.txt";
    DeleteFileA(record_.c_str());
    SetEnvironmentVariableA("LW_URL_RECORD", record_.c_str());
    hold_ = "LwUrlHold" + std::to_string(GetCurrentProcessId());
    holdEvent_ = CreateEventA(nullptr, TRUE, FALSE, hold_.c_str());
  }
  void TearDown() override {
    SetEvent(holdEvent_);
    CloseHandle(holdEvent_);
    SetEnvironmentVariableA("LW_URL_RECORD", nullptr);
    SetEnvironmentVariableA("LW_URL_HOLD", nullptr);
    DeleteFileA(record_.c_str());
    SaverRun::TearDown();
  }
  // The stand-in browser stays until ReleaseBrowser.
  void HoldBrowser() { SetEnvironmentVariableA("LW_URL_HOLD", hold_.c_str()); }
  void ReleaseBrowser() { SetEvent(holdEvent_); }
  // The arguments the stand-in browser got (argc line first), once it ran.
  std::vector<std::string> BrowserArguments(DWORD ms = 10000) {
    std::vector<std::string> lines;
    PumpUntil([&] {
      lines = lwtest::ReadLines(record_);
      return !lines.empty() && lines[0].size() > 5 &&
             lines.size() >= static_cast<size_t>(atoi(lines[0].c_str() + 5));
    }, ms);
    return lines;
  }
  // Waits until the saver window shows the colour (the script has passed
  // its Url command).
  bool WaitForColour(COLORREF colour) {
    const int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    return PumpUntil([&] { return ScreenPixel(cx, cy) == colour; }, 10000);
  }

  static constexpr const char* kHandler = "http\\shell\\open\\command";
  static constexpr const char* kAddress = "http://example.com/exit page?x=1&y=2";
  const lwtest::CSavedRegKey handler_{lwtest::CRegKeyPath(HKEY_CLASSES_ROOT, kHandler)};
  std::string record_, hold_;
  HANDLE holdEvent_ = nullptr;
};

// F12 chooses the address without ending a saver whose settings let only
// Escape end it; at its end the saver hands the address to the shell and
// does not wait for the browser.
TEST_F(SaverUrl, TheChosenAddressIsOpenedAtTheEnd) {
  const std::string scr = MakeSaver("UrlShell", PlayingDocument(RGB(0, 150, 0), kAddress, 1));
  SaverProfile profile(scr);
  profile.EscapeOnly();
  HoldBrowser();
  SaverProcess run(scr, "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  ASSERT_TRUE(WaitForColour(RGB(0, 150, 0)));
  PostMessageA(saver, WM_KEYDOWN, VK_F12, 0);
  EXPECT_EQ(run.Wait(300), kNotEnded) << "F12 alone does not end this saver";
  PostMessageA(saver, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(run.Wait(10000), 0u) << "ends while the browser is still open";
  EXPECT_EQ(BrowserArguments(), (std::vector<std::string>{"argc=2", kAddress}));
  ReleaseBrowser();
}

// On Windows XP the saver starts the browser itself and stays until it has
// been closed.
TEST_F(SaverUrl, OnWindowsXpTheSaverWaitsForTheBrowser) {
  const char* kName = "UrlXp";
  const lwtest::CScratchKey appKey(HKEY_CURRENT_USER,
                                   std::string("Software\\Wine\\AppDefaults\\") + kName + ".scr");
  ASSERT_TRUE(appKey.SetText("Version", "winxp"));
  const std::string scr = MakeSaver(kName, PlayingDocument(RGB(0, 130, 0), kAddress, 3));
  HoldBrowser();
  {
    SaverProcess run(scr, "/s");
    HWND saver = run.WaitForWindow("SS3.0");
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(WaitForColour(RGB(0, 130, 0)));
    PostMessageA(saver, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(BrowserArguments(), (std::vector<std::string>{"argc=2", kAddress}));
    EXPECT_EQ(run.Wait(500), kNotEnded) << "the saver stays while the browser is open";
    ReleaseBrowser();
    EXPECT_EQ(run.Wait(10000), 0u);
  }
}

// A saver made for a test run keeps the cursor, shows "Exit" at the top
// right, and ends by keys only, whatever its settings; a saver made for use
// ends on the same mouse input.
TEST_F(SaverUrl, ATestRunEndsOnlyByKeys) {
  const Bytes document = PlayingDocument(RGB(0, 120, 0), kAddress, 1);
  const std::string scr = MakeTestRunSaver("TestRun", document);
  ASSERT_EQ(ReadAll(scr).back(), 1) << "made for a test run";
  SaverProfile profile(scr);
  profile.EscapeOnly();
  auto mouse = [](HWND saver) {
    SendMessageA(saver, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(saver, WM_MOUSEMOVE, 0, MAKELPARAM(200, 150));
    SendMessageA(saver, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
    SendMessageA(saver, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 150));
    SendMessageA(saver, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(200, 150));
  };
  {
    SaverProcess run(scr, "/s");
    HWND saver = run.WaitForWindow("SS3.0");
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(WaitForColour(RGB(0, 120, 0)));
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == saver; }, 5000));
    EXPECT_EQ(ForegroundCursorFlags() & CURSOR_SHOWING, static_cast<DWORD>(CURSOR_SHOWING))
        << "the cursor stays";
    HWND exitButton = nullptr;
    EXPECT_TRUE(PumpUntil([&] {
      exitButton = ChildWithText(saver, "Button", "Exit");
      return exitButton && IsWindowVisible(exitButton);
    }, 5000)) << "no Exit button";
    if (exitButton) {
      RECT r;
      GetWindowRect(exitButton, &r);
      HDC screen = GetDC(nullptr);
      const int width = GetDeviceCaps(screen, HORZRES);
      ReleaseDC(nullptr, screen);
      EXPECT_EQ(r.left, width - 80);
      EXPECT_EQ(r.top, 0);
      EXPECT_EQ(r.right - r.left, 80);
      EXPECT_EQ(r.bottom - r.top, 20);
    }
    // Mouse input first; a close it asked for would come before the key,
    // and the key would never choose the address.
    mouse(saver);
    PostMessageA(saver, WM_KEYDOWN, VK_F12, 0);
    EXPECT_EQ(run.Wait(10000), 0u) << "a key ends a test run even when keys are not chosen";
    EXPECT_EQ(BrowserArguments(), (std::vector<std::string>{"argc=2", kAddress}))
        << "the key was still heard after the mouse input";
  }
  const std::string used = MakeSaver("NotATestRun", document);
  SaverProcess run(used, "/s");
  HWND saver = run.WaitForWindow("SS3.0");
  ASSERT_NE(saver, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == saver; }, 5000));
  EXPECT_TRUE(PumpUntil([] { return (ForegroundCursorFlags() & CURSOR_SHOWING) == 0; }, 5000))
      << "the cursor is hidden";
  EXPECT_EQ(ChildWithText(saver, "Button", "Exit"), nullptr);
  mouse(saver);
  EXPECT_EQ(run.Wait(10000), 0u) << "mouse input ends a saver with standard settings";
}

// Every damaged payload ends the saver quietly.
TEST_F(SaverRun, DamagedPayloadsEndWithoutAWindow) {
  const std::string good = MakeSaver("Good", CommentDocument());
  const Bytes saver = ReadAll(good);
  ASSERT_GT(saver.size(), carried::kRuntimeImageSize + 30);
  const size_t doc = carried::kRuntimeImageSize + 4;  // the document's first byte
  const size_t version = doc + 16;                    // after the 15-character string

  struct Case {
    const char* name;
    Bytes bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"no payload", Bytes(saver.begin(), saver.begin() + carried::kRuntimeImageSize)});
  cases.push_back({"truncated", Bytes(saver.begin(), saver.end() - 7)});
  Bytes badHeader = saver;
  badHeader[doc + 1] = 'X';
  cases.push_back({"bad header", badHeader});
  for (float v : {4.71f, 5.0f, __builtin_nanf("")}) {
    Bytes b = saver;
    memcpy(&b[version], &v, 4);
    cases.push_back({v == v ? "version above 4.71" : "NaN version", b});
  }
  Bytes hugeCount = saver;
  const int32_t count = 0x7FFFFFFF;
  memcpy(&hugeCount[version + 4], &count, 4);
  cases.push_back({"huge count", hugeCount});
  Bytes badType = saver;
  const int32_t type = 14;
  memcpy(&badType[version + 8], &type, 4);
  cases.push_back({"bad type code", badType});
  Bytes badWord = saver;
  badWord[carried::kRuntimeImageSize] ^= 0x40;
  cases.push_back({"word is not the document's length", badWord});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir_ + "damaged.scr";
    WriteAll(path, c.bytes);
    SaverProcess run(path, "/s");
    ASSERT_TRUE(run.Started());
    bool sawWindow = false;
    DWORD code = run.Wait(15000, [&] { sawWindow = sawWindow || SaverWindowOf(run.Pid()); });
    EXPECT_NE(code, kNotEnded) << "did not end";
    EXPECT_NE(code, 0u);
    EXPECT_FALSE(sawWindow);
  }
}

}  // namespace
