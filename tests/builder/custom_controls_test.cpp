// The builder's own controls on a dialog, driven as a user would (mouse
// messages to the buttons, the notifications a click sends) and looked at
// through what they draw: the toggle button's states and edges, the
// rollover button's pictures, the text progress bar's text and colours,
// the preview's canvas and size label; and the float field's exchange.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "builder/controls/CustomControls.h"
#include "framework/Dialog.h"
#include "script/BuilderUtilities.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/files.h"
#include "tests/support/image_strip.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"
#include "tests/support/recorders.h"

namespace {

enum : int {
  IDD_CONTROLS = 400,
  IDC_TOGGLE = 1021,
  IDC_DEFAULT = 1229,
  IDC_PLAIN = 1003,
  IDC_ROLLOVER = 1004,
  IDC_PREVIEW = 1099,
  IDC_SIZE_LABEL = 1170,
  IDC_PROGRESS = 1324,
  IDC_DURATION = 1019,
  IDB_ROLLOVER = 610,
};

using Pixels = std::vector<COLORREF>;

// What a window draws of itself into a memory DC (WM_PRINTCLIENT), the
// rectangle r of it.
Pixels Drawn(HWND hwnd, const RECT& r) {
  CRect client;
  GetClientRect(hwnd, &client);
  CClientDC screen(nullptr);
  CBitmap canvas;
  canvas.Attach(CreateCompatibleBitmap(screen, client.Width(), client.Height()));
  CMemoryDC memory(screen);
  CSelectObject selected(memory, canvas.GetSafeHandle());
  SendMessageA(hwnd, WM_PRINTCLIENT, (WPARAM)(HDC)memory, PRF_CLIENT);
  Pixels pixels;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(memory, x, y));
  return pixels;
}

// The pixels of a bitmap (a resource of the test, or one of ours).
Pixels BitmapPixels(HBITMAP bitmap, const RECT& r) {
  CClientDC screen(nullptr);
  CMemoryDC memory(screen);
  CSelectObject selected(memory, bitmap);
  Pixels pixels;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(memory, x, y));
  return pixels;
}

Pixels ResourcePixels(int id, const RECT& r) {
  CBitmap bitmap;
  bitmap.Attach(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
  return BitmapPixels(bitmap, r);
}

// The dialog of the controls; each test's script works on it while it is
// up and then cancels it.
class ControlsDlg : public CDialog {
 public:
  ControlsDlg() : CDialog(IDD_CONTROLS) {}
  CToggleButton toggle, defaultButton, plain;
  CRolloverButton rollover;
  CPreviewStatic preview;
  CTextProgressCtrl progress;
  // Called with the controls bound.
  std::function<void(ControlsDlg*)> setUp;
  // The clicks the toggle reported.
  int toggleClicks = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_TOGGLE && HIWORD(wp) == BN_CLICKED) ++toggleClicks;
    return CDialog::WindowProc(msg, wp, lp);
  }
  bool OnInitDialog() override {
    CDialog::OnInitDialog();
    toggle.SubclassDlgItem(IDC_TOGGLE, m_hWnd);
    defaultButton.SubclassDlgItem(IDC_DEFAULT, m_hWnd);
    plain.SubclassDlgItem(IDC_PLAIN, m_hWnd);
    rollover.SubclassDlgItem(IDC_ROLLOVER, m_hWnd);
    preview.SubclassDlgItem(IDC_PREVIEW, m_hWnd);
    progress.SubclassDlgItem(IDC_PROGRESS, m_hWnd);
    if (setUp) setUp(this);
    return true;
  }
};

// Runs the action on the dialog while it is up.
void WithDialog(const std::function<void(ControlsDlg*)>& action,
                std::function<void(ControlsDlg*)> setUp = nullptr) {
  static const std::function<void(ControlsDlg*)>* current;
  current = &action;
  lwtest::CDialogScript script([](CDialog* d) {
    (*current)(static_cast<ControlsDlg*>(d));
    lwtest::Press(d, IDCANCEL);
  });
  ControlsDlg dlg;
  dlg.setUp = std::move(setUp);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// ---------------------------------------------------------------------------

TEST(ToggleButton, TakesItsKindFromTheTemplate) {
  WithDialog([](ControlsDlg* d) {
    EXPECT_TRUE(d->toggle.IsToggle());
    EXPECT_FALSE(d->toggle.HasDefaultFrame());
    EXPECT_FALSE(d->defaultButton.IsToggle());
    EXPECT_TRUE(d->defaultButton.HasDefaultFrame());
    EXPECT_FALSE(d->plain.IsToggle());
    EXPECT_FALSE(d->plain.HasDefaultFrame());
    for (CToggleButton* b : {&d->toggle, &d->defaultButton, &d->plain})
      EXPECT_EQ(b->GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
  });
}

// Mouse and key messages as a user's hand makes them; a toggle flips on
// every release over it and on every Space, a drag out before the release
// leaves it, and a double click counts as a second press.
TEST(ToggleButton, FlipsOnEveryReleaseOverItAndOnSpace) {
  struct Step {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  const Step kDown = {WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5)}, kUp = {WM_LBUTTONUP, 0, At(5, 5)};
  const Step kOut = {WM_MOUSEMOVE, MK_LBUTTON, At(-40, -40)};
  const Step kUpOut = {WM_LBUTTONUP, 0, At(-40, -40)};
  const Step kDouble = {WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5)};
  const Step kSpace = {WM_KEYDOWN, VK_SPACE, 0x00390001};
  const Step kSpaceUp = {WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001)};
  static const struct Case {
    const char* name;
    std::vector<Step> steps;
    int checked;
    int clicks;
  } kCases[] = {
      {"one click", {kDown, kUp}, 1, 1},
      {"two clicks", {kDown, kUp, kDown, kUp}, 0, 2},
      {"dragged out before the release", {kDown, kOut, kUpOut}, 0, 0},
      {"double click", {kDown, kUp, kDouble, kUp}, 0, 2},
      {"Space", {kSpace, kSpaceUp}, 1, 1},
      {"Space twice", {kSpace, kSpaceUp, kSpace, kSpaceUp}, 0, 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    WithDialog([&c](ControlsDlg* d) {
      const HWND button = d->toggle;
      for (const Step& s : c.steps) SendMessageA(button, s.msg, s.wp, s.lp);
      EXPECT_EQ(d->toggleClicks, c.clicks);
      EXPECT_EQ(d->toggle.GetCheck(), c.checked);
      EXPECT_EQ(GetCapture(), nullptr);
    });
  }
}

// A toggle is drawn raised, and sunk while checked; the default button has
// its black frame; a disabled toggle has no edge of either kind.
TEST(ToggleButton, DrawsItsState) {
  WithDialog([](ControlsDlg* d) {
    const RECT corner = {0, 0, 1, 1};
    d->toggle.SetCheck(0);
    EXPECT_EQ(Drawn(d->toggle, corner)[0], GetSysColor(COLOR_3DLIGHT));
    d->toggle.SetCheck(1);
    EXPECT_EQ(d->toggle.GetCheck(), 1);
    EXPECT_EQ(Drawn(d->toggle, corner)[0], GetSysColor(COLOR_3DSHADOW));
    d->toggle.SetCheck(2);  // only 1 checks
    EXPECT_EQ(d->toggle.GetCheck(), 0);
    EXPECT_EQ(Drawn(d->defaultButton, corner)[0], RGB(0, 0, 0));
    d->defaultButton.SetDefault(0);
    EXPECT_NE(Drawn(d->defaultButton, corner)[0], RGB(0, 0, 0));
  });
}

// ---------------------------------------------------------------------------

// The rollover button shows its normal picture, the hover picture while
// the mouse is over it, and the disabled one when it is disabled; without
// the disabled flag only two pictures are loaded.
TEST(RolloverButton, ShowsThePictureOfItsState) {
  const RECT tile = {0, 0, 16, 16};
  const Pixels normal = ResourcePixels(IDB_ROLLOVER, tile);
  const Pixels hover = ResourcePixels(IDB_ROLLOVER + 1, tile);
  const Pixels disabled = ResourcePixels(IDB_ROLLOVER + 2, tile);
  ASSERT_NE(normal, hover);
  ASSERT_NE(normal, disabled);
  for (int flag : {1, 0}) {
    SCOPED_TRACE(flag ? "with a disabled picture" : "without a disabled picture");
    WithDialog([&](ControlsDlg* d) {
      CRolloverButton& b = d->rollover;
      b.SetLayout(16, 16, 0, 0, 0, 0, flag);
      ASSERT_TRUE(b.LoadBitmaps(IDB_ROLLOVER));
      EXPECT_TRUE(b.HasPicture(CRolloverButton::kHover));
      EXPECT_EQ(b.HasPicture(CRolloverButton::kDisabled), flag == 1);
      EXPECT_EQ(b.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
      EXPECT_TRUE(Drawn(b, tile) == normal) << "normal";
      SendMessageA(b, WM_MOUSEMOVE, 0, At(3, 3));
      EXPECT_TRUE(b.IsHovering());
      EXPECT_TRUE(Drawn(b, tile) == hover) << "under the mouse";
      SendMessageA(b, WM_MOUSELEAVE, 0, 0);
      EXPECT_FALSE(b.IsHovering());
      EXPECT_TRUE(Drawn(b, tile) == normal) << "after the mouse left";
      b.EnableWindow(false);
      EXPECT_TRUE(Drawn(b, tile) == (flag ? disabled : normal)) << "disabled";
    });
  }
}

// ---------------------------------------------------------------------------

// Docked on a side, the frame toolbar's natural column is 3 pixels longer
// per separator than a plain toolbar's; every other layout is the same.
TEST(FrameToolBar, LeavesRoomForItsSeparatorsInAColumn) {
  CCmdWnd frame;
  ASSERT_TRUE(frame.CreateEx(0, CWnd::RegisterWndClass(0), "frame", WS_POPUP, 0, 0, 400, 300,
                             nullptr, 0));
  const UINT kIds[] = {100, ID_SEPARATOR, 101, ID_SEPARATOR, 102};
  CToolBar plain;
  CFrameToolBar framed;
  for (CToolBar* bar : {&plain, static_cast<CToolBar*>(&framed)}) {
    ASSERT_TRUE(bar->CreateEx(&frame));
    ASSERT_TRUE(bar->SetButtons(kIds, 5));
  }
  const struct {
    const char* name;
    int length;
    DWORD mode;
    int extra;
  } kCases[] = {
      {"natural column", -1, LM_VERTDOCK, 6},
      {"column committed", -1, LM_VERTDOCK | LM_COMMIT, 0},
      {"column of the last floating width", -1, LM_VERTDOCK | LM_MRUWIDTH, 0},
      {"row", -1, LM_HORZ | LM_HORZDOCK, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const CSize p = plain.CalcDynamicLayout(c.length, c.mode);
    const CSize f = framed.CalcDynamicLayout(c.length, c.mode);
    EXPECT_EQ(f.cx, p.cx);
    EXPECT_EQ(f.cy, p.cy + c.extra);
  }
}

// ---------------------------------------------------------------------------

// A progress bar that counts the paints it gets.
class CCountedProgress : public CTextProgressCtrl {
 public:
  int paints = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_PAINT) ++paints;
    return CTextProgressCtrl::WindowProc(msg, wp, lp);
  }
};

TEST(TextProgress, WritesThePercentageOrItsTextInTwoColours) {
  WithDialog([](ControlsDlg* d) {
    CTextProgressCtrl& p = d->progress;
    p.SetRange(0, 3);
    p.SetStep(1);
    EXPECT_EQ(p.StepIt(), 0);
    EXPECT_EQ(p.GetPos(), 1);
    EXPECT_STREQ(p.GetShownText(), "33%");
    EXPECT_EQ(p.SendMessage(PBM_GETPOS), 1);

    // The bar at the left in the highlight colour, the rest in the window
    // colour, and the text across the edge in the other colour of each.
    const CRect client = p.GetClientRect();
    p.SetRange(0, 2);
    p.SetWindowText("Loading pictures");
    EXPECT_STREQ(p.GetShownText(), "Loading pictures");
    char text[32] = "";
    p.GetWindowText(text, sizeof text);
    EXPECT_STREQ(text, "Loading pictures");
    const Pixels pixels = Drawn(p, client);
    const int split = client.Width() / 2;
    const COLORREF bar = GetSysColor(COLOR_HIGHLIGHT), back = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(pixels[0], bar);
    EXPECT_EQ(pixels[client.Width() - 1], back);
    int textOverBar = 0, textOverBack = 0;
    for (int y = 0; y < client.Height(); ++y)
      for (int x = 0; x < client.Width(); ++x) {
        const COLORREF c = pixels[y * client.Width() + x];
        if (x < split && c == back) ++textOverBar;
        if (x >= split && c == bar) ++textOverBack;
      }
    EXPECT_GT(textOverBar, 0);
    EXPECT_GT(textOverBack, 0);

    // An empty range draws nothing and shows no text.
    p.SetRange(5, 5);
    EXPECT_STREQ(p.GetShownText(), "");
  });
}

TEST(TextProgress, RepaintsOnlyWhenTheFilledWidthChanges) {
  CCountedProgress unbound;
  EXPECT_EQ(unbound.SetPos(3), -1) << "no window: nothing changes";
  EXPECT_EQ(unbound.GetPos(), 0);
  static CCountedProgress* counted;
  CCountedProgress progress;
  counted = &progress;
  lwtest::CDialogScript script([](CDialog* d) {
    CCountedProgress& p = *counted;
    ASSERT_TRUE(p.SubclassDlgItem(IDC_PROGRESS, *d));
    d->ShowWindow(SW_SHOW);
    d->UpdateWindow();
    p.SetRange(0, 100000);
    const struct {
      int pos;
      bool repaint;
    } kSteps[] = {{1, true}, {2, false}, {50000, true}, {50001, false}, {100000, true}};
    for (const auto& s : kSteps) {
      SCOPED_TRACE(s.pos);
      const int before = p.paints;
      p.SetPos(s.pos);
      EXPECT_EQ(p.paints - before, s.repaint ? 1 : 0);
    }
    p.UnsubclassWindow();
    lwtest::Press(d, IDCANCEL);
  });
  CDialog dlg(IDD_CONTROLS);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// ---------------------------------------------------------------------------

// The canvas's pixels.
Pixels Canvas(CPreviewStatic& preview) {
  BITMAP info = {};
  GetObjectA(preview.GetCanvas(), sizeof info, &info);
  return BitmapPixels(preview.GetCanvas(), CRect(0, 0, info.bmWidth, info.bmHeight));
}

std::string Label(CDialog* d) {
  char text[32] = "";
  d->GetDlgItemText(IDC_SIZE_LABEL, text, sizeof text);
  return text;
}

void GivePicture(CImageTextObject& object, const std::vector<uint8_t>& bytes) {
  uint8_t* block = CopyDataBlock(bytes.data(), static_cast<uint32_t>(bytes.size()));
  object.SetPicture(block, static_cast<uint32_t>(bytes.size()));
}

// The preview shows a text, a picture's thumbnail made from its bytes, or
// "No Image"; a picture whose bytes have no thumbnail yet gets one, and one
// that cannot be decoded shows "No Image" (not what was shown before).
TEST(PreviewStatic, ShowsTextsPicturesOrNoImage) {
  WithDialog([](ControlsDlg* d) {
    CPreviewStatic& preview = d->preview;
    lwtest::CRecordedBoxes boxes;
    EXPECT_EQ(preview.GetShowing(), CPreviewStatic::kShowsNoImage);
    const Pixels noImage = Canvas(preview);
    EXPECT_EQ(noImage[0], GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Label(d), "");

    CImageTextObject text;
    text.m_kind = 1;
    text.m_text = "Hello";
    EXPECT_EQ(preview.ShowObject(&text), 1);
    EXPECT_EQ(preview.GetShowing(), CPreviewStatic::kShowsText);
    const Pixels shownText = Canvas(preview);
    EXPECT_NE(shownText, noImage);
    int w = 0, h = 0;
    EXPECT_EQ(sscanf(Label(d).c_str(), "%d x %d", &w, &h), 2) << Label(d);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);

    // A red picture of 320 x 240: its thumbnail in the middle of the canvas.
    CImageTextObject picture;
    GivePicture(picture, lwtest::MakeSolidBmpFile(320, 240, RGB(255, 0, 0)));
    EXPECT_EQ(preview.ShowObject(&picture), 1);
    EXPECT_EQ(preview.GetShowing(), CPreviewStatic::kShowsImage);
    EXPECT_EQ(Label(d), "320 x 240");
    BITMAP info = {};
    GetObjectA(preview.GetCanvas(), sizeof info, &info);
    const Pixels shownPicture = Canvas(preview);
    EXPECT_EQ(shownPicture[(info.bmHeight / 2) * info.bmWidth + info.bmWidth / 2], RGB(255, 0, 0));

    // Bytes that are no picture: "No Image", quietly, after the picture.
    CImageTextObject broken;
    GivePicture(broken, std::vector<uint8_t>(300, 0x5A));
    EXPECT_EQ(preview.ShowObject(&broken), 0);
    EXPECT_EQ(preview.GetShowing(), CPreviewStatic::kShowsNoImage);
    EXPECT_TRUE(Canvas(preview) == noImage);
    EXPECT_EQ(Label(d), "");
    EXPECT_TRUE(boxes.texts.empty());

    // A picture object without bytes.
    EXPECT_EQ(preview.ShowObject(&text), 1);
    CImageTextObject empty;
    EXPECT_EQ(preview.ShowObject(&empty), 0);
    EXPECT_TRUE(Canvas(preview) == noImage);
  });
}

TEST(PreviewStatic, ShowsAPictureFileLoadedIntoTheObject) {
  lwtest::CTempFolder folder("preview");
  const std::vector<uint8_t> bytes = lwtest::MakeSolidBmpFile(40, 30, RGB(0, 0, 255));
  ASSERT_TRUE(lwtest::WriteAll(folder.File("blue.bmp"), bytes));
  static std::string path;
  path = folder.File("blue.bmp");
  WithDialog([](ControlsDlg* d) {
    CImageTextObject picture;
    EXPECT_EQ(d->preview.ShowImageFile(&picture, path.c_str()), 1);
    EXPECT_EQ(picture.m_pictureSize, 40u * 30u * 3u + 54u);
    EXPECT_EQ(Label(d), "40 x 30");
    EXPECT_EQ(d->preview.GetShowing(), CPreviewStatic::kShowsImage);
  });
}

// ---------------------------------------------------------------------------

class FloatDlg : public CDialog {
 public:
  FloatDlg() : CDialog(IDD_CONTROLS) {}
  float seconds = 2.5f;
  const char* unit = "sec";

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_FloatText(dx, IDC_DURATION, seconds, unit); }
};

// The float field shows six significant digits, reads a number with an
// optional unit, and refuses anything else with its message, the dialog
// staying open with the field focused and its text selected.
TEST(FloatText, ExchangesMeasurementsAndRefusesOthers) {
  static const struct Case {
    const char* typed;
    bool ok;
    float value;
  } kCases[] = {
      {" 2.5 ", true, 2.5f},  {"0", true, 0.0f},      {"3 sec", true, 3.0f},
      {"3 min", false, 0},    {"abc", false, 0},      {"1e300", false, 0},
      {"7.25sec  ", true, 7.25f},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    lwtest::CRecordedBoxes boxes;
    static const Case* current;
    static std::string shown;
    static lwtest::CFocusState focus;
    current = &c;
    focus = lwtest::CFocusState();
    lwtest::CDialogScript script([](CDialog* d) {
      char text[32] = "";
      d->GetDlgItemText(IDC_DURATION, text, sizeof text);
      shown = text;
      d->SetDlgItemText(IDC_DURATION, current->typed);
      lwtest::Press(d, IDOK);
      if (!current->ok) {
        focus = lwtest::FocusState();
        lwtest::Press(d, IDCANCEL);
      }
    });
    FloatDlg dlg;
    dlg.seconds = 1.0f / 3.0f;
    const INT_PTR result = dlg.DoModal();
    EXPECT_EQ(shown, "0.333333");
    if (c.ok) {
      EXPECT_EQ(result, IDOK);
      EXPECT_EQ(dlg.seconds, c.value);
      EXPECT_TRUE(boxes.texts.empty());
    } else {
      EXPECT_EQ(result, IDCANCEL);
      EXPECT_EQ(boxes.texts, std::vector<std::string>{"This is not a valid measurement."});
      EXPECT_EQ(focus.id, IDC_DURATION);
      EXPECT_EQ(focus.length, lstrlenA(c.typed));
      EXPECT_TRUE(focus.WholeTextSelected());
    }
  }
}

// ---------------------------------------------------------------------------

// The dialog with every control in a telling state, as the screen shows
// it: kept as build/screenshots/custom_controls.bmp for a person to look
// at; the preview's thumbnail shows on it.
TEST(CustomControlsScreen, ShowOnTheScreen) {
  static std::vector<COLORREF> shot;
  static bool saved;
  shot.clear();
  saved = false;
  CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  WithDialog([](ControlsDlg* d) {
    d->toggle.SetCheck(1);
    d->rollover.LoadBitmaps(IDB_ROLLOVER);
    d->progress.SetRange(0, 3);
    d->progress.SetPos(1);
    static CImageTextObject picture;
    GivePicture(picture, lwtest::MakeSolidBmpFile(320, 200, RGB(200, 40, 40)));
    d->preview.ShowObject(&picture);
    d->SetDlgItemText(IDC_DURATION, "2.5 sec");
    d->SetWindowPos(HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    d->UpdateWindow();
    lwtest::FlushEvents(300);
    saved = lwtest::SaveWindowShot(*d, LW_BUILD_DIR "/screenshots/custom_controls.bmp", &shot);
  });
  EXPECT_TRUE(saved);
  // The thumbnail's colour shows inside the preview.
  int red = 0;
  for (COLORREF c : shot) red += c == RGB(200, 40, 40);
  EXPECT_GT(red, 1000);
}

}  // namespace
