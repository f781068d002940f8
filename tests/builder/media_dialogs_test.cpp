// The media dialogs and the Options dialog, driven as a user would through
// the dialog hook: the media object loads each kind of file with its kind;
// Play's settings follow their enable rules and store what they show; Play
// and Stop choose their target; test playback leaves no sound, thread or
// temporary file behind on any way out; and the Options dialog keeps every
// option, checks a custom logo and icon when they are chosen, and Make SCR
// writes them into the saver.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "builder/MediaDialogs.h"
#include "builder/OptionsDlg.h"
#include "builder/resource.h"
#include "common/Payload.h"
#include "framework/AppUI.h"
#include "playback/movie/FlashPlayer.h"
#include "script/Commands.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/PlayContext.h"
#include "tests/builder/edit_dialog_support.h"
#include "tests/playback/picture_bytes.h"
#include "tests/support/common_dialogs.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/files.h"
#include "tests/support/icon_files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"
#include "tests/support/sound_device.h"
#include "tests/support/swf_writer.h"
#include "wizards/SaverMaker.h"

namespace {

using lwtest::Bytes;
using lwtest::CDialogScript;
using lwtest::Press;

testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));

// The test's own temporary folder (the players' files go there), the
// builder's profile and the palette with its live list.
class MediaDialogsTest : public testing::Test {
 protected:
  MediaDialogsTest() {
    ::SetEnvironmentVariableA("TMP", temp.Path().c_str());
    ::SetEnvironmentVariableA("TEMP", temp.Path().c_str());
    app.SetRegistryKey("Lumenweave Tests");
    CBuilderOptions::SetFilePath(temp.File("Lumenweave.opt").c_str());
    palette = new CCommandPalette;
    g_pCommandPalette = palette;
  }
  ~MediaDialogsTest() override {
    g_pCommandPalette = nullptr;
    delete palette;
    CBuilderOptions::SetFilePath("");
    ::SetEnvironmentVariableA("TMP", systemTemp.c_str());
    ::SetEnvironmentVariableA("TEMP", systemTemp.c_str());
  }

  CMediaObject* AddMedia(const Bytes& bytes, int kind, const char* name) {
    CMediaObject* media = new CMediaObject;
    media->SetMedia(CopyDataBlock(bytes.data(), static_cast<uint32_t>(bytes.size())),
                    static_cast<uint32_t>(bytes.size()));
    media->m_kind = kind;
    media->m_displayName = name;
    palette->GetCommands().Add(media);
    return media;
  }
  // The players' files in the temporary folder.
  std::vector<std::string> TempFiles() const { return lwtest::FilesIn(temp.Path()); }

  // The system's temporary folder, which the test's own is made in.
  const std::string systemTemp = lwtest::TempPath("");
  lwtest::CTempFolder temp{"lwmedia"};
  CDocumentApp app{"MediaDialogsTest"};
  CCommandPalette* palette = nullptr;
  lwtest::CRecordedCommonDialogs choosers;
  lwtest::CRecordedBoxes boxes;
};

std::string Text(CDialog* dialog, int id) {
  char text[256] = "";
  dialog->GetDlgItemText(id, text, sizeof text);
  return text;
}

bool Enabled(CDialog* dialog, int id) { return ::IsWindowEnabled(dialog->GetDlgItem(id)) != FALSE; }

void Click(CDialog* dialog, int id) {
  ::SendMessageA(dialog->GetDlgItem(id), BM_CLICK, 0, 0);
}

// Keeps a screenshot of the dialog in the build's screenshots folder.
void Screenshot(CDialog* dialog, const char* name) {
  dialog->SetWindowPos(HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  dialog->UpdateWindow();
  lwtest::FlushEvents(300);
  ::CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  EXPECT_TRUE(lwtest::SaveWindowShot(
      dialog->GetSafeHwnd(), std::string(LW_BUILD_DIR "/screenshots/media_dialogs_") + name + ".bmp"));
}

Bytes SilentWave(int seconds) {
  return lwtest::PcmWave(std::vector<int16_t>(8000 * seconds, 100), 8000, 1);
}

Bytes SmallMovie() {
  lwtest::CSwfWriter movie(4000, 3000);
  movie.SetBackground(RGB(0, 128, 0));
  lwtest::CSwfShape square;
  square.Rectangle(1000, 1000, 2000, 1000, square.AddFill(RGB(200, 0, 0)));
  movie.DefineShape(1, square);
  movie.PlaceObject(1, 1, lwtest::SwfAt(0, 0));
  movie.ShowFrame();
  movie.ShowFrame();
  return movie.Cws();
}

// ---------------------------------------------------------------------------
// The media object dialog.

TEST_F(MediaDialogsTest, EachKindOfFileLoadsWithItsKind) {
  struct Row {
    const char* file;
    Bytes bytes;
    int kind;
  } rows[] = {
      {"tone.wav", SilentWave(1), kMediaAudio},
      {"tune.MID", lwtest::OneNoteMidi(), kMediaMidi},
      {"song.mp3", lwtest::SilentMp3(20), kMediaMp3},
      {"clip.avi", lwtest::SolidAvi(32, 24, 4, 2, RGB(0, 0, 200)), kMediaVideo},
      {"movie.swf", SmallMovie(), kMediaFlash},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string path = temp.File(row.file);
    ASSERT_TRUE(lwtest::WriteAll(path, row.bytes));
    CMediaObject media;
    choosers.AnswerFile(path);
    std::string shown, caption;
    CDialogScript script([&](CDialog* dialog) {
      Press(dialog, IDC_MEDIA_CHOOSE);
      shown = Text(dialog, IDC_MEDIA_NAME);
      char text[128] = "";
      ::GetWindowTextA(dialog->GetSafeHwnd(), text, sizeof text);
      caption = text;
      Press(dialog, IDOK);
    });
    EXPECT_EQ(EditMediaCommand(media, nullptr), IDOK);
    EXPECT_EQ(media.m_kind, row.kind);
    ASSERT_EQ(media.m_dataSize, row.bytes.size());
    EXPECT_TRUE(std::equal(row.bytes.begin(), row.bytes.end(), media.m_pData));
    EXPECT_EQ(shown, std::string(media.m_displayName));
    EXPECT_FALSE(media.m_displayName.IsEmpty());
    EXPECT_EQ(caption, "Multimedia/Flash");
    ::DeleteFileA(path.c_str());
  }
  ASSERT_FALSE(choosers.files.empty());
  const auto& call = choosers.files.back();
  EXPECT_EQ(call.title, "New Media");
  EXPECT_EQ(call.filter.front(), "All supported media files ");
  char folder[MAX_PATH] = "";
  app.GetProfileString("Settings", "MediaPath", "", folder, sizeof folder);
  EXPECT_EQ(std::string(folder) + "\\", temp.Path());
  EXPECT_TRUE(boxes.texts.empty());
}

// The shell's icon the dialog shows for each kind it holds is the
// dialog's own: none of them outlives the dialog.
TEST_F(MediaDialogsTest, TheIconsTheDialogShowsGoWithIt) {
  CMediaObject* media = AddMedia(SilentWave(1), kMediaAudio, "old.wav");
  const std::string path = temp.File("new.mid");
  ASSERT_TRUE(lwtest::WriteAll(path, lwtest::OneNoteMidi()));
  choosers.AnswerFile(path);
  std::vector<HICON> shown;
  CDialogScript script([&](CDialog* dialog) {
    auto icon = [&] {
      return reinterpret_cast<HICON>(
          ::SendDlgItemMessageA(dialog->GetSafeHwnd(), IDC_MEDIA_ICON, STM_GETICON, 0, 0));
    };
    shown.push_back(icon());
    Press(dialog, IDC_MEDIA_CHOOSE);
    shown.push_back(icon());
    Press(dialog, IDOK);
  });
  EXPECT_EQ(EditMediaCommand(*media, nullptr), IDOK);
  EXPECT_EQ(media->m_kind, kMediaMidi);
  ASSERT_EQ(shown.size(), 2u);
  for (HICON icon : shown) {
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    const bool alive = ::GetIconInfo(icon, &info) != FALSE;
    EXPECT_FALSE(alive) << "an icon outlived the dialog";
    if (alive) {
      ::DeleteObject(info.hbmColor);
      ::DeleteObject(info.hbmMask);
    }
  }
}

TEST_F(MediaDialogsTest, CancelLeavesTheObjectByteForByte) {
  CMediaObject* media = AddMedia(SilentWave(1), kMediaAudio, "old.wav");
  media->m_comment.m_text = "intro";
  const Bytes before = lwtest::WrittenBytes(*media);
  const std::string path = temp.File("new.mid");
  ASSERT_TRUE(lwtest::WriteAll(path, lwtest::OneNoteMidi()));
  choosers.AnswerFile(path);
  std::string caption;
  CDialogScript script([&](CDialog* dialog) {
    char text[128] = "";
    ::GetWindowTextA(dialog->GetSafeHwnd(), text, sizeof text);
    caption = text;
    Press(dialog, IDC_MEDIA_CHOOSE);
    Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(EditMediaCommand(*media, nullptr), IDCANCEL);
  EXPECT_EQ(caption, "Multimedia/Flash - intro");
  EXPECT_TRUE(lwtest::WrittenBytes(*media) == before);
}

// A chosen file that fails, one that cannot be read or an MP3 that does
// not decode, leaves the object's media as it was after its message: the
// dialog still shows the old name, and OK stores the old bytes.
TEST_F(MediaDialogsTest, AFileThatFailsKeepsTheOldMedia) {
  const struct {
    const char* name;
    const char* file;
    bool written;
  } rows[] = {{"missing file", "gone.wav", false}, {"MP3 that does not decode", "bad.mp3", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Bytes wave = SilentWave(1);
    CMediaObject* media = AddMedia(wave, kMediaAudio, "old.wav");
    const std::string path = temp.File(row.file);
    if (row.written) {
      ASSERT_TRUE(lwtest::WriteAll(path, Bytes(4000, 0x11)));
    }
    choosers.AnswerFile(path);
    boxes.texts.clear();
    std::string shown;
    CDialogScript script([&](CDialog* dialog) {
      Press(dialog, IDC_MEDIA_CHOOSE);
      shown = Text(dialog, IDC_MEDIA_NAME);
      Press(dialog, IDOK);
    });
    EXPECT_EQ(EditMediaCommand(*media, nullptr), IDOK);
    EXPECT_EQ(boxes.texts.size(), 1u) << "the failure was told";
    EXPECT_EQ(shown, "old.wav");
    EXPECT_EQ(std::string(media->m_displayName), "old.wav");
    EXPECT_EQ(media->m_kind, kMediaAudio);
    ASSERT_EQ(media->m_dataSize, wave.size());
    EXPECT_TRUE(std::equal(wave.begin(), wave.end(), media->m_pData));
    ::DeleteFileA(path.c_str());
  }
}

// ---------------------------------------------------------------------------
// Test playback: every way out of each dialog stops it and removes its
// files. The system's sound and MCI layers keep threads of their own from
// their first use on, so threads are counted after a first round.

enum class WayOut { kOk, kCancel, kEscape, kClose, kEndedElsewhere };
const struct {
  WayOut way;
  const char* name;
} kWaysOut[] = {{WayOut::kOk, "OK"},
                {WayOut::kCancel, "Cancel"},
                {WayOut::kEscape, "Escape"},
                {WayOut::kClose, "close box"},
                {WayOut::kEndedElsewhere, "ended by its owner"}};

void Leave(CDialog* dialog, WayOut way) {
  switch (way) {
    case WayOut::kOk:
      Press(dialog, IDOK);
      break;
    case WayOut::kCancel:
      Press(dialog, IDCANCEL);
      break;
    case WayOut::kEscape: {
      // As the modal loop sees the key: the dialog manager turns it into
      // a Cancel command.
      MSG msg = {dialog->GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0x00010001};
      ::IsDialogMessageA(dialog->GetSafeHwnd(), &msg);
      break;
    }
    case WayOut::kClose:
      ::SendMessageA(dialog->GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case WayOut::kEndedElsewhere:
      dialog->EndDialog(IDCANCEL);
      break;
  }
}

// Bytes played so far, once no more come for a moment.
size_t SettledSoundBytes() {
  size_t last = lwtest::CSoundDevice::Read().size();
  for (int i = 0; i < 20; ++i) {
    lwtest::FlushEvents(150);
    const size_t now = lwtest::CSoundDevice::Read().size();
    if (now == last) return now;
    last = now;
  }
  return last;
}

TEST_F(MediaDialogsTest, EveryWayOutOfTheMediaDialogsStopsTheTest) {
  ASSERT_TRUE(lwtest::CSoundDevice::Given()) << "the test runs with a sound device";
  const Bytes wave = SilentWave(30);  // far longer than any round
  CMediaObject* sound = AddMedia(wave, kMediaAudio, "long.wav");
  CMediaObject* mp3 = AddMedia(lwtest::SilentMp3(3000), kMediaMp3, "long.mp3");
  CMediaObject* midi = AddMedia(lwtest::OneNoteMidi(), kMediaMidi, "tune.mid");
  const struct {
    const char* name;
    CMediaObject* media;
  } kinds[] = {{"wave", sound}, {"mp3", mp3}, {"midi", midi}};

  int threadsAfterFirst = -1;
  for (int dialogKind = 0; dialogKind < 2; ++dialogKind) {
    for (const auto& kind : kinds) {
      for (const auto& way : kWaysOut) {
        SCOPED_TRACE(std::string(dialogKind == 0 ? "media object" : "Play") + ", " + kind.name +
                     ", " + way.name);
        lwtest::CSoundDevice::Clear();
        bool played = false;
        CDialogScript script([&](CDialog* dialog) {
          if (dialogKind == 1) {
            ::SendDlgItemMessageA(dialog->GetSafeHwnd(), IDC_MEDIA_LIST, LB_SETCURSEL,
                                  kind.media == sound ? 0 : kind.media == mp3 ? 1 : 2, 0);
          }
          Press(dialog, IDC_MEDIA_PLAY);
          if (kind.media != midi) {
            played = lwtest::PumpUntil([] { return !lwtest::CSoundDevice::Read().empty(); }, 5000);
          } else {
            played = !TempFiles().empty();
          }
          Leave(dialog, way.way);
        });
        // Checked while the dialog object still lives: its window's end
        // must stop the test, not only the object's.
        auto checkSilent = [&] {
          EXPECT_TRUE(played) << "the test played";
          const size_t settled = SettledSoundBytes();
          lwtest::FlushEvents(300);
          EXPECT_EQ(lwtest::CSoundDevice::Read().size(), settled) << "a sound plays on";
          return settled;
        };
        size_t settled = 0;
        CPlayCommand play;
        if (dialogKind == 0) {
          CMediaObjectDlg dialog(*kind.media, nullptr);
          dialog.DoModal();
          settled = checkSilent();
        } else {
          CPlayDlg dialog(play.m_placement, &play, nullptr);
          dialog.DoModal();
          settled = checkSilent();
        }
        if (kind.media == sound) EXPECT_LT(settled, wave.size());
        EXPECT_TRUE(lwtest::PumpUntil([&] { return TempFiles().empty(); }, 3000))
            << "a file stayed: " << (TempFiles().empty() ? "" : TempFiles()[0]);
        if (threadsAfterFirst < 0) {
          lwtest::FlushEvents(500);
          threadsAfterFirst = lwtest::CountOwnThreads();
        } else {
          EXPECT_TRUE(lwtest::PumpUntil(
              [&] { return lwtest::CountOwnThreads() <= threadsAfterFirst; }, 5000))
              << "threads after the first round " << threadsAfterFirst << ", now "
              << lwtest::CountOwnThreads();
        }
      }
    }
  }
}

TEST_F(MediaDialogsTest, ASecondMidiTestReplacesTheFirstFile) {
  CMediaObject* midi = AddMedia(lwtest::OneNoteMidi(), kMediaMidi, "tune.mid");
  std::vector<std::string> afterFirst, afterSecond;
  CDialogScript script([&](CDialog* dialog) {
    Press(dialog, IDC_MEDIA_PLAY);
    afterFirst = TempFiles();
    Press(dialog, IDC_MEDIA_PLAY);
    afterSecond = TempFiles();
    Press(dialog, IDC_MEDIA_STOP);
    EXPECT_TRUE(TempFiles().empty()) << "Stop removes the file";
    Press(dialog, IDC_MEDIA_PLAY);
    Press(dialog, IDCANCEL);
  });
  EditMediaCommand(*midi, nullptr);
  ASSERT_EQ(afterFirst.size(), 1u);
  ASSERT_EQ(afterSecond.size(), 1u) << "the first test's file is gone";
  EXPECT_NE(afterFirst[0], afterSecond[0]);
  EXPECT_TRUE(TempFiles().empty());
}

// Videos and movies play in the preview dialog, which leaves no file.
TEST_F(MediaDialogsTest, VideosAndMoviesPlayInThePreviewAndLeaveNoFile) {
  CMediaObject* video = AddMedia(lwtest::SolidAvi(64, 48, 40, 4, RGB(0, 0, 200)), kMediaVideo,
                                 "clip.avi");
  CMediaObject* movie = AddMedia(SmallMovie(), kMediaFlash, "movie.swf");
  for (CMediaObject* media : {video, movie}) {
    const bool isMovie = media == movie;
    SCOPED_TRACE(isMovie ? "movie" : "video");
    std::vector<std::string> filesWhilePlaying;
    bool movieShown = false, videoWindow = false;
    int previews = 0;
    CDialogScript script([&](CDialog* dialog) {
      if (dialog->GetTemplateId() == IDD_MEDIA_PREVIEW) {
        ++previews;
        filesWhilePlaying = TempFiles();
        const HWND control = dialog->GetDlgItem(IDC_PREVIEW_MOVIE);
        movieShown = control && (::GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) &&
                     ::IsWindowEnabled(control);
        videoWindow = dialog->GetDlgItem(CMciPlayerWnd::kId) != nullptr;
        Screenshot(dialog, isMovie ? "preview_movie" : "preview_video");
        ::SendMessageA(dialog->GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
      }
      Press(dialog, IDC_MEDIA_PLAY);
      Press(dialog, IDCANCEL);
    });
    CMediaObject edited;
    edited.CopyFrom(*media);
    EditMediaCommand(edited, nullptr);
    EXPECT_EQ(previews, 1);
    ASSERT_EQ(filesWhilePlaying.size(), 1u) << "only the named copy";
    const std::string& name = filesWhilePlaying[0];
    EXPECT_EQ(name.substr(name.size() - 4), isMovie ? ".swf" : ".avi");
    if (isMovie) EXPECT_TRUE(movieShown) << "the movie control is shown";
    if (!isMovie) EXPECT_TRUE(videoWindow) << "the video plays in its window";
    EXPECT_TRUE(TempFiles().empty());
  }
}

// ---------------------------------------------------------------------------
// Play settings.

struct SettingsRun {
  int kind = kMediaAudio;
  SIZE defaultSize = {0, 0};
  std::function<void(CDialog*)> act;
  bool ok = true;
};

INT_PTR RunSettings(CFlashPlayAttribute& settings, const SettingsRun& run) {
  CPlaySettingsDlg dialog(settings, nullptr);
  dialog.m_kind = run.kind;
  dialog.m_defaultSize = run.defaultSize;
  CDialogScript script([&](CDialog* d) {
    if (run.act) run.act(d);
    Press(d, run.ok ? IDOK : IDCANCEL);
  });
  const INT_PTR result = dialog.DoModal();
  if (result == IDOK) settings.CopyFrom(dialog.GetWorkingCopy());
  return result;
}

TEST(PlaySettings, TheKindDecidesWhichPlacementControlsAreOpen) {
  const int placement[] = {IDC_PLAY_X,          IDC_PLAY_Y,          IDC_PLAY_WIDTH,
                           IDC_PLAY_HEIGHT,     IDC_PLAY_X_ABSOLUTE, IDC_PLAY_Y_CENTERED,
                           IDC_PLAY_DEFAULT_SIZE, IDC_PLAY_FULLSCREEN, IDC_PLAY_TIMED};
  const struct {
    int kind;
    bool open[9];
  } rows[] = {
      {kMediaAudio, {false, false, false, false, false, false, false, false, false}},
      {kMediaMp3, {false, false, false, false, false, false, false, false, false}},
      {kMediaVideo, {true, true, false, false, false, false, false, false, false}},
      {kMediaFlash, {true, true, true, true, true, true, true, true, true}},
      {kMediaMidi, {false, false, false, false, false, false, false, false, false}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("kind " + std::to_string(row.kind));
    CFlashPlayAttribute settings;
    SettingsRun run;
    run.kind = row.kind;
    run.ok = false;
    run.act = [&](CDialog* d) {
      for (int i = 0; i < 9; ++i) EXPECT_EQ(Enabled(d, placement[i]), row.open[i]) << placement[i];
      if (row.kind == kMediaFlash) Screenshot(d, "play_settings");
    };
    EXPECT_EQ(RunSettings(settings, run), IDCANCEL);
  }
}

TEST(PlaySettings, PlayRepeatTimerAndFullScreenRules) {
  CFlashPlayAttribute settings;  // waits, counted once, no timer
  SettingsRun run;
  run.kind = kMediaFlash;
  run.ok = false;
  run.act = [&](CDialog* d) {
    EXPECT_TRUE(Enabled(d, IDC_PLAY_INFINITE));
    EXPECT_TRUE(Enabled(d, IDC_PLAY_COUNT));
    Click(d, IDC_PLAY_INFINITE);
    EXPECT_FALSE(Enabled(d, IDC_PLAY_COUNT)) << "Infinite closes the count";
    Click(d, IDC_PLAY_REPEAT);
    EXPECT_TRUE(Enabled(d, IDC_PLAY_COUNT));
    Click(d, IDC_PLAY_ONCE);
    EXPECT_FALSE(Enabled(d, IDC_PLAY_INFINITE));
    EXPECT_FALSE(Enabled(d, IDC_PLAY_REPEAT));
    EXPECT_FALSE(Enabled(d, IDC_PLAY_COUNT));
    EXPECT_FALSE(Enabled(d, IDC_PLAY_TIMER));
    Click(d, IDC_PLAY_TIMED);
    EXPECT_TRUE(Enabled(d, IDC_PLAY_TIMER));
    EXPECT_FALSE(Enabled(d, IDC_PLAY_ONCE)) << "one time only is closed under the timer";
    EXPECT_EQ(d->IsDlgButtonChecked(IDC_PLAY_ENDLESS), BST_CHECKED) << "moved to endless";
    EXPECT_EQ(d->IsDlgButtonChecked(IDC_PLAY_ONCE), BST_UNCHECKED);
    Click(d, IDC_PLAY_WAIT);
    EXPECT_FALSE(Enabled(d, IDC_PLAY_COUNT)) << "no repeats under the timer";
    Click(d, IDC_PLAY_TIMED);
    EXPECT_TRUE(Enabled(d, IDC_PLAY_ONCE));
    EXPECT_TRUE(Enabled(d, IDC_PLAY_COUNT));
    Click(d, IDC_PLAY_X_CENTERED);
    EXPECT_FALSE(Enabled(d, IDC_PLAY_X));
    Click(d, IDC_PLAY_X_ABSOLUTE);
    EXPECT_TRUE(Enabled(d, IDC_PLAY_X));
    Click(d, IDC_PLAY_FULLSCREEN);
    for (int id : {IDC_PLAY_X, IDC_PLAY_Y, IDC_PLAY_WIDTH, IDC_PLAY_HEIGHT, IDC_PLAY_X_ABSOLUTE,
                   IDC_PLAY_DEFAULT_SIZE})
      EXPECT_FALSE(Enabled(d, id)) << id;
    Click(d, IDC_PLAY_FULLSCREEN);
    EXPECT_TRUE(Enabled(d, IDC_PLAY_WIDTH));
  };
  EXPECT_EQ(RunSettings(settings, run), IDCANCEL);
}

TEST(PlaySettings, OkStoresWhatTheControlsShow) {
  const struct {
    const char* timer;
    int ms;
  } timers[] = {{"2.5", 2500}, {"1.234", 1230}, {"2.01", 2010}, {"0", 0}, {"600", 600000}};
  for (const auto& t : timers) {
    SCOPED_TRACE(t.timer);
    CFlashPlayAttribute settings;
    SettingsRun run;
    run.kind = kMediaFlash;
    run.defaultSize = {550, 400};
    run.act = [&](CDialog* d) {
      Click(d, IDC_PLAY_INFINITE);
      Click(d, IDC_PLAY_ENDLESS);
      Click(d, IDC_PLAY_TIMED);
      d->SetDlgItemText(IDC_PLAY_TIMER, t.timer);
      Click(d, IDC_PLAY_X_CENTERED);
      d->SetDlgItemText(IDC_PLAY_Y, "40");
      Press(d, IDC_PLAY_DEFAULT_SIZE);
      EXPECT_EQ(Text(d, IDC_PLAY_WIDTH), "550");
    };
    ASSERT_EQ(RunSettings(settings, run), IDOK);
    EXPECT_EQ(settings.m_timerMs, t.ms);
    EXPECT_EQ(settings.m_timed, 1);
    EXPECT_EQ(settings.m_wait, 0);
    EXPECT_EQ(settings.m_endless, 1);
    // Chosen, then closed by the endless play: the stored choice stays.
    EXPECT_EQ(settings.m_infinite, 0);
    EXPECT_EQ(settings.m_posModeX, kModeCenter);
    EXPECT_EQ(settings.m_posModeY, kModeStored);
    EXPECT_EQ(settings.m_posY, 40);
    EXPECT_EQ(settings.m_width, 550);
    EXPECT_EQ(settings.m_height, 400);
  }
  // Wait, counted 7 times; one time only.
  CFlashPlayAttribute counted;
  SettingsRun run;
  run.act = [&](CDialog* d) { d->SetDlgItemText(IDC_PLAY_COUNT, "7"); };
  ASSERT_EQ(RunSettings(counted, run), IDOK);
  EXPECT_EQ(counted.m_wait, 1);
  EXPECT_EQ(counted.m_endless, 0);
  EXPECT_EQ(counted.m_infinite, 0);
  EXPECT_EQ(counted.m_count, 7);
  run.act = [&](CDialog* d) { Click(d, IDC_PLAY_ONCE); };
  ASSERT_EQ(RunSettings(counted, run), IDOK);
  EXPECT_EQ(counted.m_wait, 0);
  EXPECT_EQ(counted.m_endless, 0);
}

TEST(PlaySettings, TheTimerSpinStepsByHundredthsOnTheGrid) {
  const struct {
    const char* start;
    bool up;
    const char* shown;
  } rows[] = {{"2.5", true, "2.51"}, {"2.505", false, "2.5"}, {"2.505", true, "2.51"},
              {"0", false, "0"},     {"600", true, "600"},   {"1", false, "0.99"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.start) + (row.up ? " up" : " down"));
    CFlashPlayAttribute settings;
    SettingsRun run;
    run.kind = kMediaFlash;
    run.ok = false;
    run.act = [&](CDialog* d) {
      Click(d, IDC_PLAY_TIMED);
      d->SetDlgItemText(IDC_PLAY_TIMER, row.start);
      // A click on the arrow, as the mouse gives it.
      lwtest::ClickSpin(d, IDC_PLAY_TIMER_SPIN, row.up);
      EXPECT_EQ(Text(d, IDC_PLAY_TIMER), row.shown);
    };
    EXPECT_EQ(RunSettings(settings, run), IDCANCEL);
  }
}

TEST(PlaySettings, ABadTimerKeepsTheDialogOpenOnTheField) {
  CFlashPlayAttribute settings;
  lwtest::CRecordedBoxes boxes;
  SettingsRun run;
  run.kind = kMediaFlash;
  run.ok = false;
  run.act = [&](CDialog* d) {
    Click(d, IDC_PLAY_TIMED);
    d->SetDlgItemText(IDC_PLAY_TIMER, "700");
    Press(d, IDOK);
    EXPECT_TRUE(::IsWindow(d->GetSafeHwnd()));
    const lwtest::CFocusState focus = lwtest::FocusState();
    EXPECT_EQ(focus.id, IDC_PLAY_TIMER);
    EXPECT_TRUE(focus.WholeTextSelected());
  };
  EXPECT_EQ(RunSettings(settings, run), IDCANCEL);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Please enter a number between 0 and 600.");
}

// A Play read from a 4.0 or 4.1 document holds timer -1, which the
// disabled timer field shows as -0.001; a stored count of 0 under
// "&Infinite" is just as far out of range. Fields the user cannot reach
// are not checked: OK goes through for every kind and keeps them as they
// were, while what the user can change is stored.
TEST(PlaySettings, StoredValuesOutOfReachLetOkThroughAndStay) {
  const struct {
    const char* name;
    int kind;
    int timerMs, count, infinite;
  } rows[] = {
      {"sound, older timer", kMediaAudio, -1, 1, 0},
      {"video, older timer", kMediaVideo, -1, 1, 0},
      {"midi, older timer", kMediaMidi, -1, 1, 0},
      {"movie, older timer", kMediaFlash, -1, 1, 0},
      {"movie, older timer and no count", kMediaFlash, -1, 0, 1},
      {"mp3, timer off the grid", kMediaMp3, 12345, 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lwtest::CRecordedBoxes boxes;
    CFlashPlayAttribute settings;
    settings.m_timed = 0;
    settings.m_timerMs = row.timerMs;
    settings.m_count = row.count;
    settings.m_infinite = row.infinite;
    SettingsRun run;
    run.kind = row.kind;
    run.act = [](CDialog* d) {
      EXPECT_FALSE(Enabled(d, IDC_PLAY_TIMER));
      Click(d, IDC_PLAY_ENDLESS);
    };
    EXPECT_EQ(RunSettings(settings, run), IDOK);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
    EXPECT_EQ(settings.m_timerMs, row.timerMs);
    EXPECT_EQ(settings.m_count, row.count);
    EXPECT_EQ(settings.m_infinite, row.infinite);
    EXPECT_EQ(settings.m_endless, 1) << "the change the user made is stored";
    EXPECT_EQ(settings.m_wait, 0);
  }
}

// ---------------------------------------------------------------------------
// Play and Stop.

TEST_F(MediaDialogsTest, PlayListsTheMediaAndTakesTheChosenTarget) {
  AddMedia(SilentWave(1), kMediaAudio, "first.wav");
  CMediaObject* second = AddMedia(SmallMovie(), kMediaFlash, "second.swf");
  palette->GetCommands().Add(new CWaitCommand);
  CPlayCommand* play = new CPlayCommand;
  palette->GetCommands().Add(play);
  play->m_comment.m_text = "intro";
  play->m_placement.m_comment.m_text = "intro";
  const Bytes before = lwtest::WrittenBytes(*play);

  // Cancel first: nothing changes.
  CDialogScript script([&](CDialog* d) { Press(d, IDCANCEL); });
  EXPECT_EQ(EditPlayCommand(*play, nullptr), IDCANCEL);
  EXPECT_TRUE(lwtest::WrittenBytes(*play) == before);

  std::vector<std::string> items;
  std::string caption;
  script.SetAction([&](CDialog* d) {
    if (d->GetTemplateId() == IDD_PLAY_SETTINGS) {
      EXPECT_EQ(Text(d, IDC_PLAY_WIDTH), "200") << "the movie's own size";
      Press(d, IDOK);
      return;
    }
    const HWND list = d->GetDlgItem(IDC_MEDIA_LIST);
    for (int i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
      char text[128] = "";
      ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      items.push_back(text);
    }
    char text[128] = "";
    ::GetWindowTextA(d->GetSafeHwnd(), text, sizeof text);
    caption = text;
    ::SendMessageA(list, LB_SETCURSEL, 1, 0);
    Press(d, IDC_PLAY_SETTINGS);
    Screenshot(d, "play");
    Press(d, IDOK);
  });
  EXPECT_EQ(EditPlayCommand(*play, nullptr), IDOK);
  EXPECT_EQ(items, (std::vector<std::string>{"first.wav", "second.swf"}));
  EXPECT_EQ(caption, "Play - intro");
  EXPECT_EQ(play->GetTarget(), second);
  EXPECT_EQ(play->m_placement.m_flash.m_width, 200);
  EXPECT_EQ(play->m_placement.m_flash.m_height, 150);
}

TEST_F(MediaDialogsTest, CtrlClickClearsStopsTarget) {
  CMediaObject* media = AddMedia(SilentWave(1), kMediaAudio, "only.wav");
  CStopCommand* stop = new CStopCommand;
  palette->GetCommands().Add(stop);
  stop->SetTarget(media);
  CDialogScript script([&](CDialog* d) {
    const HWND list = d->GetDlgItem(IDC_MEDIA_LIST);
    EXPECT_EQ(::SendMessageA(list, LB_GETCURSEL, 0, 0), 0) << "the target is selected";
    Screenshot(d, "stop");
    {
      lwtest::CHeldKey ctrl(VK_CONTROL);
      ::SendMessageA(d->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_MEDIA_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    EXPECT_EQ(::SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    Press(d, IDOK);
  });
  EXPECT_EQ(EditStopCommand(*stop, nullptr), IDOK);
  EXPECT_EQ(stop->GetTarget(), nullptr);
}

// ---------------------------------------------------------------------------
// Options.

TEST(OptionsBeep, TheFieldKeepsToMultiplesOfTheTick) {
  const struct {
    int typed, rounded;
  } rows[] = {{149, 100}, {150, 200}, {6000, 5000}, {0, 0}, {-20, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    EXPECT_EQ(COptionsDlg::RoundBeep(row.typed, 100), row.rounded);
  }
  EXPECT_EQ(COptionsDlg::StepBeep(150, 100, true), 200);
  EXPECT_EQ(COptionsDlg::StepBeep(150, 100, false), 100);
  EXPECT_EQ(COptionsDlg::StepBeep(200, 100, false), 100);
  EXPECT_EQ(COptionsDlg::StepBeep(5000, 100, true), 5000);
  EXPECT_EQ(COptionsDlg::BeepText(0), "No");
  EXPECT_EQ(COptionsDlg::BeepText(300), "300");
}

TEST_F(MediaDialogsTest, EveryOptionRoundTripsThroughTheOptionsFile) {
  CBuilderOptions& options = *palette->GetOptions();
  options.m_deleteClipboardOnExit = 2;
  LOGFONTA font = {};
  font.lfHeight = -15;
  strcpy(font.lfFaceName, "Arial");
  choosers.AnswerFont(font, RGB(10, 20, 30));
  choosers.AnswerColor(RGB(1, 2, 3));
  CDialogScript script([&](CDialog* d) {
    Screenshot(d, "options");
    d->SetDlgItemText(IDC_OPT_TAB, "4");
    d->SetDlgItemText(IDC_OPT_SCROLL, "250");
    d->SetDlgItemText(IDC_OPT_BEEP, "349");
    d->SetDlgItemText(IDC_OPT_IMAGELIMIT, "12");
    Click(d, IDC_OPT_SCRSETTINGS);
    ::SendDlgItemMessageA(d->GetSafeHwnd(), IDC_OPT_STYLES, LB_SETCURSEL, 1, 0);
    ::SendMessageA(d->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_OPT_STYLES, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(d->GetDlgItem(IDC_OPT_STYLES)));
    Press(d, IDC_OPT_FONT);
    Click(d, IDC_OPT_SOFTDRAG);  // off: "Drag colour" joins the list
    EXPECT_TRUE(Enabled(d, IDC_OPT_DRAGCOLOUR));
    ::SendDlgItemMessageA(d->GetSafeHwnd(), IDC_OPT_STYLES, LB_SETCURSEL, 3, 0);
    ::SendMessageA(d->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_OPT_STYLES, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(d->GetDlgItem(IDC_OPT_STYLES)));
    EXPECT_EQ(Text(d, IDC_OPT_FONT), "&Colour...");
    Press(d, IDC_OPT_FONT);
    Click(d, IDC_OPT_DRAGCOLOUR);
    Click(d, IDC_OPT_SAVEPREVIEW);
    Click(d, IDC_OPT_AUTOSTART);
    Click(d, IDC_OPT_TOOLBAR);
    Click(d, IDC_OPT_SPLASH);
    ::SetFocus(d->GetDlgItem(IDC_OPT_BEEP));
    Press(d, IDOK);
  });
  ASSERT_TRUE(RunOptionsDialog(nullptr));
  ASSERT_EQ(palette->SerializeOptions(false), 1);
  CBuilderOptions read;
  read.ResetDefaults();
  {
    CFile file(CBuilderOptions::GetFilePath(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    read.Load(ar);
  }
  EXPECT_EQ(read.m_tabSize, 4);
  EXPECT_EQ(read.m_scrollTime, 250);
  EXPECT_EQ(read.m_beepOnWait, 300);
  EXPECT_EQ(std::string(read.m_commentFont.lfFaceName), "Arial");
  EXPECT_EQ(read.m_commentColour, RGB(10, 20, 30));
  EXPECT_EQ(read.m_dragColour, RGB(1, 2, 3));
  EXPECT_EQ(read.m_softDragging, 0);
  EXPECT_EQ(read.m_dragColourOn, 0);
  EXPECT_EQ(read.m_deleteClipboardOnExit, 2) << "asking stays asking";
  EXPECT_EQ(read.m_saveBeforePreview, 1);
  EXPECT_EQ(read.m_previewAutoStart, 0);
  EXPECT_EQ(read.m_showPreviewToolbar, 0);
  EXPECT_EQ(read.m_splash, 0);
  EXPECT_EQ(app.GetProfileInt("Settings", "ImageLimit", 0), 12u);
  EXPECT_EQ(app.GetProfileInt("Settings", "SCRSettings", 0), 1u);

  // The next dialog shows what was kept.
  script.SetAction([&](CDialog* d) {
    EXPECT_EQ(Text(d, IDC_OPT_TAB), "4");
    EXPECT_EQ(Text(d, IDC_OPT_BEEP), "300");
    EXPECT_EQ(Text(d, IDC_OPT_IMAGELIMIT), "12");
    EXPECT_EQ(d->IsDlgButtonChecked(IDC_OPT_SCRSETTINGS), BST_CHECKED);
    EXPECT_EQ(d->IsDlgButtonChecked(IDC_OPT_SOFTDRAG), BST_UNCHECKED);
    EXPECT_EQ(::SendDlgItemMessageA(d->GetSafeHwnd(), IDC_OPT_STYLES, LB_GETCOUNT, 0, 0), 4);
    Press(d, IDCANCEL);
  });
  EXPECT_FALSE(RunOptionsDialog(nullptr));
}

TEST_F(MediaDialogsTest, ALogoAndIconAreCheckedWhenChosenAndGoIntoTheSaver) {
  const std::string custom = temp.Path() + "custom\\";
  ::CreateDirectoryA(custom.c_str(), nullptr);
  const std::string trueColour = temp.File("colour.bmp");
  const std::string grey = temp.File("grey.bmp");
  const std::string onlyLarge = temp.File("large.ico");
  const std::string good = temp.File("good.ico");
  lwtest::WriteAll(trueColour, picturetest::MakeBmp(96, 112, [](int, int) { return RGB(1, 2, 3); }));
  lwtest::WriteAll(grey, picturetest::MakeBmp8(100, 100, [](int x, int y) {
                     return static_cast<uint8_t>((x + y) & 0xFF);
                   }));
  lwtest::WriteAll(onlyLarge, lwtest::MakeIco({{32, 16, 4, 744}}, 5));
  lwtest::WriteAll(good, lwtest::MakeIco({{16, 16, 4, 296}, {32, 16, 4, 744}}, 9));

  for (const std::string& f : {trueColour, grey, onlyLarge, good})
    ASSERT_TRUE(lwtest::FileExists(f)) << f;
  choosers.AnswerFile(trueColour);
  choosers.AnswerFile(onlyLarge);
  choosers.AnswerFile(grey);
  choosers.AnswerFile(good);
  CDialogScript script([&](CDialog* d) {
    EXPECT_FALSE(Enabled(d, IDC_OPT_LOGO_USE));
    EXPECT_FALSE(Enabled(d, IDC_OPT_ICON_USE));
    Press(d, IDC_OPT_LOGO_BROWSE);
    EXPECT_FALSE(lwtest::FileExists(custom + "Custom.bmp")) << "a true-colour logo is refused";
    EXPECT_FALSE(Enabled(d, IDC_OPT_LOGO_USE));
    Press(d, IDC_OPT_ICON_BROWSE);
    EXPECT_FALSE(lwtest::FileExists(custom + "Custom.ico")) << "an icon without 16 x 16";
    Press(d, IDC_OPT_LOGO_BROWSE);
    EXPECT_EQ(lwtest::ReadAll(custom + "Custom.bmp").size(), 14 + carried::kLogoSize);
    EXPECT_EQ(d->IsDlgButtonChecked(IDC_OPT_LOGO_USE), BST_CHECKED);
    Press(d, IDC_OPT_ICON_BROWSE);
    EXPECT_TRUE(lwtest::ReadAll(custom + "Custom.ico") == lwtest::ReadAll(good));
    EXPECT_EQ(d->IsDlgButtonChecked(IDC_OPT_ICON_USE), BST_CHECKED);
    Screenshot(d, "options_custom");
    Press(d, IDOK);
  });
  COptionsDlg dialog(*palette->GetOptions(), nullptr);
  dialog.m_customFolder = custom.c_str();
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(boxes.texts, (std::vector<std::string>{kLogoNeeds256Message, kIconRefusedMessage,
                                                   kLogoResizedMessage}));
  EXPECT_EQ(app.GetProfileInt("Settings", "CustomImage", 0), 1u);
  EXPECT_EQ(app.GetProfileInt("Settings", "CustomIcon", 0), 1u);

  // Make SCR writes both into the saver.
  const std::string document = temp.File("Sea.fsd");
  lwtest::WriteAll(document, Bytes(100, 7));
  CSaverMaker maker;
  maker.m_customFolder = custom.c_str();
  const std::string saver = temp.File("Sea.scr");
  ASSERT_TRUE(maker.MakeScr(saver.c_str(), document.c_str())) << std::string(maker.m_lastErrorMessage);
  const Bytes scr = lwtest::ReadAll(saver);
  carried::PatchSlots slots;
  ASSERT_TRUE(carried::FindPatchSlots(scr.data(), scr.size(), true, &slots));
  const Bytes logo = lwtest::ReadAll(custom + "Custom.bmp");
  EXPECT_TRUE(std::equal(logo.begin() + 14, logo.end(), scr.begin() + slots.logo.offset));
  const Bytes icon = lwtest::ReadAll(good);
  EXPECT_TRUE(std::equal(icon.begin() + 6 + 32, icon.begin() + 6 + 32 + 296,
                         scr.begin() + slots.icon[0].offset));
  EXPECT_TRUE(std::equal(icon.begin() + 6 + 32 + 296, icon.begin() + 6 + 32 + 296 + 744,
                         scr.begin() + slots.icon[1].offset));
}

// A logo whose writing fails part way leaves the logo in place as it was:
// the new one is written beside it and replaces it only when it is whole.
TEST_F(MediaDialogsTest, ALogoThatCannotBeWrittenLeavesThePreviousOneWhole) {
  const std::string custom = temp.Path() + "logo\\";
  ::CreateDirectoryA(custom.c_str(), nullptr);
  const std::string first = temp.File("first.bmp");
  const std::string second = temp.File("second.bmp");
  lwtest::WriteAll(first, picturetest::MakeBmp8(96, 112, [](int x, int) {
                     return static_cast<uint8_t>(x);
                   }));
  lwtest::WriteAll(second, picturetest::MakeBmp8(96, 112, [](int, int y) {
                     return static_cast<uint8_t>(200 - y);
                   }));
  const std::string logo = custom + "Custom.bmp";
  choosers.AnswerFile(first);
  choosers.AnswerFile(second);
  Bytes before;
  size_t messages = 0;
  std::vector<std::string> files;
  CDialogScript script([&](CDialog* d) {
    Press(d, IDC_OPT_LOGO_BROWSE);
    before = lwtest::ReadAll(logo);
    ASSERT_EQ(before.size(), 14 + carried::kLogoSize);
    messages = boxes.texts.size();
    {
      // Another program holds the logo: it may be read and written, not
      // replaced, and its bytes are locked.
      HANDLE held = ::CreateFileA(logo.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
      ASSERT_TRUE(::LockFile(held, 0, 0, 1 << 20, 0));
      Press(d, IDC_OPT_LOGO_BROWSE);
      ::UnlockFile(held, 0, 0, 1 << 20, 0);
      ::CloseHandle(held);
    }
    files = lwtest::FilesIn(custom);
    EXPECT_EQ(d->IsDlgButtonChecked(IDC_OPT_LOGO_USE), BST_CHECKED);
    Press(d, IDOK);
  });
  COptionsDlg dialog(*palette->GetOptions(), nullptr);
  dialog.m_customFolder = custom.c_str();
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(lwtest::ReadAll(logo) == before) << "the previous logo is whole";
  EXPECT_EQ(boxes.texts.size(), messages + 1) << "the failure is told";
  EXPECT_EQ(files, std::vector<std::string>{"Custom.bmp"}) << "nothing is left beside it";
  EXPECT_EQ(app.GetProfileInt("Settings", "CustomImage", 0), 1u);
}

}  // namespace
