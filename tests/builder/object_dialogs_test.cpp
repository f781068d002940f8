// The display commands' dialogs driven as a user would through the dialog
// hook: the Image/Text object (pictures of every format chosen through the
// file chooser, a picture that fails to load, text mode with its font and
// colour, the kinds, the desktop and wallpaper captures, validation), the
// target dialog of Show, Move and Hide with its position dialogs (the step
// turned toward the end point, the covering effects, the speed spin) and
// Line (width and style); Edit then OK changes exactly the edited fields of
// the written command and Cancel none; and a screenshot of each dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/CommandEdit.h"
#include "builder/ObjectDialogs.h"
#include "builder/resource.h"
#include "imaging/RgbImage.h"
#include "playback/painter/ImagePainter.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "tests/builder/edit_dialog_support.h"
#include "tests/support/common_dialogs.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/dialog_layout.h"
#include "tests/support/files.h"
#include "tests/support/image_strip.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"

namespace {

using lwtest::Checked;
using lwtest::CDialogScript;
using lwtest::Choose;
using lwtest::Click;
using lwtest::ClickSpin;
using lwtest::Enabled;
using lwtest::ExpectedBytes;
using lwtest::ItemText;
using lwtest::Press;
using lwtest::RunEdit;
using lwtest::SetItemText;
using lwtest::Text;
using lwtest::Visible;
using lwtest::WrittenBytes;
using Bytes = std::vector<uint8_t>;

CImageTextDlg* ImageDlg(CDialog* d) { return static_cast<CImageTextDlg*>(d); }

std::string Seed(const char* name) {
  return std::string(LW_SOURCE_DIR) + "/tests/imaging/seeds/" + name;
}

Bytes PictureBytes(const CImageTextObject& o) {
  return o.m_pPicture ? Bytes(o.m_pPicture, o.m_pPicture + o.m_pictureSize) : Bytes();
}

void GivePicture(CImageTextObject& object, const Bytes& bytes) {
  object.SetPicture(CopyDataBlock(bytes.data(), static_cast<uint32_t>(bytes.size())),
                    static_cast<uint32_t>(bytes.size()));
}

// Counts the position dialog's beeps while it lives.
class CBeepCounter {
 public:
  CBeepCounter() : m_previous(SetBeepFunction(&Count)) { s_count = 0; }
  ~CBeepCounter() { SetBeepFunction(m_previous); }
  int Count() const { return s_count; }

 private:
  static void Count(UINT type) {
    if (type == 0xFFFFFFFF) ++s_count;
  }
  static int s_count;
  BeepFunction m_previous;
};
int CBeepCounter::s_count = 0;

// ---- Image/Text: pictures ----------------------------------------------------

// A picture of each format the chooser offers fills the working copy:
// its bytes, its name, a thumbnail, its size (also in the size edits); OK
// stores 0, 0 for a size left at the picture's own.
TEST(ImageTextDialog, ChosenPictureOfEachFormatFillsTheCopy) {
  // A true-colour TGA of 8 x 4 with an ID field, as painting programs
  // write them.
  lwtest::CTempFolder folder("lw_objdlg_tga");
  Bytes tga = {1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 4, 0, 24, 0x20, 'x'};
  for (int i = 0; i < 32; ++i) tga.insert(tga.end(), {0, 0, 255});
  ASSERT_TRUE(lwtest::WriteAll(folder.File("red.tga"), tga));
  const std::string kFiles[] = {Seed("bmp24.bmp"), Seed("baseline.jpg"), Seed("rgb.png"),
                                Seed("pcx24.pcx"), folder.File("red.tga")};
  for (const std::string& path : kFiles) {
    SCOPED_TRACE(path);
    const std::string file = path.substr(path.find_last_of("/\\") + 1);
    const Bytes bytes = lwtest::ReadAll(path);
    ASSERT_FALSE(bytes.empty());
    lwtest::CRecordedBoxes decoding;
    CRgbImage decoded;
    ASSERT_TRUE(decoded.LoadMemory(bytes.data(), static_cast<DWORD>(bytes.size())));
    const SIZE size = decoded.GetSize();

    lwtest::CRecordedCommonDialogs dialogs;
    lwtest::CRecordedBoxes boxes;
    dialogs.AnswerFile(path);
    CImageTextObject object;
    object.m_imageSource = 3;
    static Bytes copied;
    static std::string name, width, height;
    static uint32_t thumbnail;
    static SIZE drawn;
    static CPreviewStatic::Showing showing;
    EXPECT_EQ(RunEdit(object,
                      [](CDialog* d) {
                        Press(d, IDC_IT_SET_IMAGE);
                        const CImageTextObject& copy = ImageDlg(d)->m_copy;
                        copied = PictureBytes(copy);
                        name = static_cast<const char*>(copy.m_displayName);
                        thumbnail = copy.m_pThumbnail ? copy.m_thumbnailSize : 0;
                        drawn = copy.m_drawnSize;
                        width = ItemText(d, IDC_IT_WIDTH);
                        height = ItemText(d, IDC_IT_HEIGHT);
                        showing = ImageDlg(d)->GetPreview().GetShowing();
                        Press(d, IDOK);
                      }),
              IDOK);
    EXPECT_EQ(copied, bytes);
    EXPECT_NE(name.find(file.substr(0, 3)), std::string::npos) << name;
    EXPECT_EQ(thumbnail, kThumbnailBytes);
    EXPECT_EQ(drawn.cx, size.cx);
    EXPECT_EQ(drawn.cy, size.cy);
    EXPECT_EQ(width, std::to_string(size.cx));
    EXPECT_EQ(height, std::to_string(size.cy));
    EXPECT_EQ(showing, CPreviewStatic::kShowsImage);
    // The object took the picture; its own size is stored as 0, 0.
    EXPECT_EQ(PictureBytes(object), bytes);
    EXPECT_EQ(object.m_width, 0);
    EXPECT_EQ(object.m_height, 0);
    EXPECT_EQ(object.m_imageSource, 1);
    EXPECT_TRUE(boxes.texts.empty());
    // The chooser: an open dialog with the picture preview, its title and
    // filter.
    ASSERT_EQ(dialogs.files.size(), 1u);
    const auto& call = dialogs.files[0];
    EXPECT_TRUE(call.open);
    EXPECT_EQ(call.title, "New Image");
    EXPECT_EQ(call.templateName, "FILEOPEN_TEMPLATE");
    ASSERT_GE(call.filter.size(), 2u);
    EXPECT_EQ(call.filter[0], "All supported formats");
    EXPECT_EQ(call.filter[1], "*.bmp;*jpg;*.png;*.pcx;*.tga");
  }
}

// A picture that cannot be read or decoded leaves the working copy's
// picture, name and thumbnail as they were, after the message of the
// reading or of the picture library.
TEST(ImageTextDialog, PictureThatFailsToLoadLeavesTheObject) {
  lwtest::CTempFolder folder("lw_objdlg_bad");
  const Bytes good = lwtest::ReadAll(Seed("bmp24.bmp"));
  // A BMP whose header asks for 13 bits a pixel.
  Bytes broken = lwtest::MakeSolidBmpFile(64, 64, RGB(1, 2, 3));
  broken[28] = 13;
  ASSERT_TRUE(lwtest::WriteAll(folder.File("broken.bmp"), broken));
  ASSERT_TRUE(lwtest::WriteAll(folder.File("text.png"), Bytes(300, 'x')));
  struct Case {
    std::string path;
    const char* message;
  };
  const Case kCases[] = {
      {folder.File("broken.bmp"), "bad BMP file"},
      {folder.File("text.png"), "This image format is not supported"},
      {folder.File("missing.bmp"), "Cannot be read data."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.path);
    CImageTextObject object;
    GivePicture(object, good);
    object.m_displayName = "old.bmp";
    object.m_imageSource = 2;
    ASSERT_TRUE(object.MakeThumbnail());
    const Bytes thumbnail(object.m_pThumbnail, object.m_pThumbnail + object.m_thumbnailSize);
    lwtest::CRecordedCommonDialogs dialogs;
    lwtest::CRecordedBoxes boxes;
    dialogs.AnswerFile(c.path);
    static Bytes copied, copiedThumbnail;
    static std::string name;
    static int source;
    RunEdit(object, [](CDialog* d) {
      Press(d, IDC_IT_SET_IMAGE);
      const CImageTextObject& copy = ImageDlg(d)->m_copy;
      copied = PictureBytes(copy);
      copiedThumbnail = copy.m_pThumbnail
                            ? Bytes(copy.m_pThumbnail, copy.m_pThumbnail + copy.m_thumbnailSize)
                            : Bytes();
      name = static_cast<const char*>(copy.m_displayName);
      source = copy.m_imageSource;
      Press(d, IDCANCEL);
    });
    EXPECT_EQ(copied, good);
    EXPECT_EQ(copiedThumbnail, thumbnail);
    EXPECT_EQ(name, "old.bmp");
    EXPECT_EQ(source, 1);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(c.message), std::string::npos) << "[" << boxes.texts[0] << "]";
  }
}

TEST(ImageTextDialog, CancelledChooserStillSetsTheFileSource) {
  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerCancel();
  CImageTextObject object;
  GivePicture(object, lwtest::ReadAll(Seed("bmp24.bmp")));
  object.m_imageSource = 3;
  static int source;
  static int focused;
  RunEdit(object, [](CDialog* d) {
    Press(d, IDC_IT_SET_IMAGE);
    source = ImageDlg(d)->m_copy.m_imageSource;
    focused = lwtest::FocusState().id;
    Press(d, IDOK);
  });
  EXPECT_EQ(source, 1);
  EXPECT_EQ(focused, IDC_IT_SET_IMAGE);
  EXPECT_EQ(object.m_imageSource, 1);
}

// The desktop and the wallpaper become the picture with sources 2 and 3,
// at the screen's size, and their temporary files are gone.
TEST(ImageTextDialog, DesktopAndWallpaperGiveSourcesTwoAndThree) {
  struct Case {
    int button;
    int source;
    const char* file;
  };
  static const Case kCases[] = {{IDC_IT_DESKTOP, 2, "desktop.jpg"},
                                {IDC_IT_WALLPAPER, 3, "wallpaper.jpg"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    DeleteFileA(lwtest::TempPath(c.file).c_str());
    CImageTextObject object;
    static int button, source;
    static SIZE drawn;
    static uint32_t bytes, thumbnail;
    button = c.button;
    EXPECT_EQ(RunEdit(object,
                      [](CDialog* d) {
                        Press(d, button);
                        const CImageTextObject& copy = ImageDlg(d)->m_copy;
                        source = copy.m_imageSource;
                        drawn = copy.m_drawnSize;
                        bytes = copy.m_pictureSize;
                        thumbnail = copy.m_thumbnailSize;
                        Press(d, IDOK);
                      }),
              IDOK);
    EXPECT_EQ(source, c.source);
    EXPECT_EQ(drawn.cx, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(drawn.cy, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(bytes, 0u);
    EXPECT_EQ(thumbnail, kThumbnailBytes);
    EXPECT_EQ(object.m_imageSource, c.source);
    EXPECT_GT(object.m_pictureSize, 0u);
    EXPECT_FALSE(lwtest::FileExists(lwtest::TempPath(c.file)));
  }
}

// A picture object opened with bytes but no thumbnail yet (as a document
// gives it) previews the picture; bytes that are no picture show "No
// Image".
TEST(ImageTextDialog, PreviewOfBytesWithoutThumbnail) {
  struct Case {
    Bytes bytes;
    CPreviewStatic::Showing showing;
    const char* label;
  };
  const Case kCases[] = {
      {lwtest::MakeSolidBmpFile(64, 48, RGB(0, 0, 255)), CPreviewStatic::kShowsImage, "64 x 48"},
      {Bytes(200, 0x5A), CPreviewStatic::kShowsNoImage, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    CImageTextObject object;
    GivePicture(object, c.bytes);
    ASSERT_EQ(object.m_pThumbnail, nullptr);
    static CPreviewStatic::Showing showing;
    static std::string label;
    lwtest::CRecordedBoxes boxes;
    RunEdit(object, [](CDialog* d) {
      showing = ImageDlg(d)->GetPreview().GetShowing();
      label = ItemText(d, IDC_OBJECT_PREVIEW_SIZE);
      Press(d, IDCANCEL);
    });
    EXPECT_EQ(showing, c.showing);
    EXPECT_EQ(label, c.label);
  }
}

// ---- Image/Text: text and kinds ----------------------------------------------

TEST(ImageTextDialog, TextModeEnablesFontAndColour) {
  lwtest::CRecordedCommonDialogs dialogs;
  LOGFONTA font = {};
  font.lfHeight = -20;
  font.lfWeight = FW_BOLD;
  lstrcpyA(font.lfFaceName, "Arial");
  dialogs.AnswerFont(font, RGB(200, 0, 0));
  dialogs.AnswerColor(RGB(0, 0, 90));
  CImageTextObject object;
  static std::vector<bool> picture, text, opaque;
  RunEdit(object, [](CDialog* d) {
    const int ids[] = {IDC_IT_FONT, IDC_IT_TEXT, IDC_COLOUR_CHOOSE, IDC_IT_SET_IMAGE,
                       IDC_IT_DESKTOP, IDC_IT_WIDTH};
    for (int id : ids) picture.push_back(Enabled(d, id));
    Click(d, IDC_IT_SET_TEXT);
    for (int id : ids) text.push_back(Enabled(d, id));
    Click(d, IDC_IT_YOUR_BACKGROUND);
    for (int id : ids) opaque.push_back(Enabled(d, id));
    SetItemText(d, IDC_IT_TEXT, "Hello");
    Press(d, IDC_IT_FONT);
    Press(d, IDC_COLOUR_CHOOSE);
    Press(d, IDOK);
  });
  EXPECT_EQ(picture, (std::vector<bool>{false, false, false, true, true, true}));
  EXPECT_EQ(text, (std::vector<bool>{true, true, false, false, false, false}));
  EXPECT_EQ(opaque, (std::vector<bool>{true, true, true, false, false, false}));
  EXPECT_EQ(object.m_kind, 1);
  EXPECT_EQ(object.m_bkMode, 1);
  EXPECT_EQ(std::string(object.m_text), "Hello");
  EXPECT_EQ(std::string(object.m_font.lfFaceName), "Arial");
  EXPECT_EQ(object.m_font.lfHeight, -20);
  EXPECT_EQ(object.m_textColour, RGB(200, 0, 0));
  EXPECT_EQ(object.m_bkColour, RGB(0, 0, 90));
  ASSERT_EQ(dialogs.fonts.size(), 1u);
  EXPECT_EQ(dialogs.fonts[0].flags & (CF_SCREENFONTS | CF_EFFECTS),
            static_cast<DWORD>(CF_SCREENFONTS | CF_EFFECTS));
}

TEST(ImageTextDialog, SwitchingKindKeepsThePicture) {
  const Bytes picture = lwtest::ReadAll(Seed("bmp24.bmp"));
  CImageTextObject object;
  GivePicture(object, picture);
  object.m_displayName = "bmp24.bmp";
  object.m_imageSource = 2;
  RunEdit(object, [](CDialog* d) {
    Click(d, IDC_IT_SET_TEXT);
    SetItemText(d, IDC_IT_TEXT, "Words");
    Press(d, IDOK);
  });
  EXPECT_EQ(object.m_kind, 1);
  EXPECT_EQ(object.m_imageSource, 1);
  EXPECT_EQ(PictureBytes(object), picture);
  EXPECT_EQ(std::string(object.m_displayName), "bmp24.bmp");
  // And back: the picture is still there.
  RunEdit(object, [](CDialog* d) {
    Click(d, IDC_IT_SET_TEXT);
    Press(d, IDOK);
  });
  EXPECT_EQ(object.m_kind, 0);
  EXPECT_EQ(PictureBytes(object), picture);
}

TEST(ImageTextDialog, FullScreenRuleAndJustification) {
  CImageTextObject object;
  GivePicture(object, lwtest::ReadAll(Seed("bmp24.bmp")));
  static std::vector<bool> states;
  states.clear();
  RunEdit(object, [](CDialog* d) {
    states.push_back(Enabled(d, IDC_IT_WIDTH));
    states.push_back(Enabled(d, IDC_IT_KEEP_ASPECT));
    Click(d, IDC_IT_FULL_SCREEN);
    states.push_back(Enabled(d, IDC_IT_WIDTH));
    states.push_back(Enabled(d, IDC_IT_KEEP_ASPECT));
    Click(d, IDC_IT_KEEP_ASPECT);
    Click(d, IDC_IT_FULL_SCREEN);
    // Unchecking "Full screen" clears "Original aspect".
    states.push_back(Checked(d, IDC_IT_KEEP_ASPECT));
    Click(d, IDC_IT_FULL_SCREEN);
    Click(d, IDC_IT_KEEP_ASPECT);
    // Justified as a text, then a picture again.
    Click(d, IDC_IT_SET_TEXT);
    Press(d, IDC_IT_JUSTIFY_RIGHT);
    Click(d, IDC_IT_SET_TEXT);
    Press(d, IDOK);
  });
  EXPECT_EQ(states, (std::vector<bool>{true, false, false, true, false}));
  EXPECT_EQ(object.m_kind, 0);
  EXPECT_EQ(object.m_fullScreen, 1);
  EXPECT_EQ(object.m_keepAspect, 1);
  EXPECT_EQ(object.m_justification, 2);
}

// A refused field keeps the dialog open with the field focused and its
// text selected, after the framework's message.
TEST(ImageTextDialog, RefusedFieldsKeepTheDialogOpen) {
  struct Case {
    bool text;
    int id;
    std::string value;
    const char* message;
  };
  const Case kCases[] = {
      {true, IDC_IT_TEXT, std::string(5001, 'a'), "Please enter no more than 5000 characters."},
      {false, IDC_IT_WIDTH, "wide", "Please enter an integer."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.message);
    CImageTextObject object;
    object.m_kind = c.text ? 1 : 0;
    const Bytes before = WrittenBytes(object);
    lwtest::CRecordedBoxes boxes;
    static const Case* current;
    static lwtest::CFocusState focus;
    static bool open;
    current = &c;
    EXPECT_EQ(RunEdit(object,
                      [](CDialog* d) {
                        SetItemText(d, current->id, current->value.c_str());
                        Press(d, IDOK);
                        open = IsWindow(*d) != FALSE;
                        focus = lwtest::FocusState();
                        Press(d, IDCANCEL);
                      }),
              IDCANCEL);
    EXPECT_TRUE(open);
    EXPECT_EQ(focus.id, c.id);
    EXPECT_TRUE(focus.WholeTextSelected());
    ASSERT_FALSE(boxes.texts.empty());
    EXPECT_EQ(boxes.texts[0], c.message);
    EXPECT_EQ(WrittenBytes(object), before);
  }
}

// ---- the target dialog -------------------------------------------------------

TEST(TargetDialog, ListsObjectsAndCtrlClickLeavesNoTarget) {
  lwtest::CEditTestPalette palette;
  auto* text = palette.Add(new CImageTextObject);
  text->m_kind = 1;
  text->m_text = "Hello";
  palette.Add(new CMediaObject);
  auto* picture = palette.Add(new CImageTextObject);
  picture->m_displayName = "sky.jpg";
  auto* show = palette.Add(new CShowCommand);
  show->SetTarget(picture);
  static std::vector<std::string> items;
  static int selected, afterCtrl;
  items.clear();
  EXPECT_EQ(RunEdit(*show,
                    [](CDialog* d) {
                      auto& list = static_cast<CTargetObjectDlg*>(d)->GetList();
                      for (int i = 0; i < list.GetCount(); ++i)
                        items.push_back(static_cast<const char*>(list.GetText(i)));
                      selected = list.GetCurSel();
                      const HWND hwnd = d->GetDlgItem(IDC_TARGET_LIST);
                      const int height = static_cast<int>(SendMessageA(hwnd, LB_GETITEMHEIGHT, 0, 0));
                      const LPARAM second = MAKELPARAM(5, height + height / 2);
                      lwtest::CHeldKey ctrl(VK_CONTROL);
                      SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, second);
                      SendMessageA(hwnd, WM_LBUTTONUP, MK_CONTROL, second);
                      afterCtrl = list.GetCurSel();
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_EQ(items, (std::vector<std::string>{"Hello", "sky.jpg"}));
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(afterCtrl, -1);
  EXPECT_EQ(show->GetTarget(), nullptr);
  EXPECT_EQ(picture->GetReferrerCount(), 0);
}

TEST(TargetDialog, ChoosingATargetRegistersTheCommand) {
  lwtest::CEditTestPalette palette;
  auto* first = palette.Add(new CImageTextObject);
  first->m_displayName = "a.bmp";
  auto* move = palette.Add(new CMoveCommand);
  static CPreviewStatic::Showing before, after;
  EXPECT_EQ(RunEdit(*move,
                    [](CDialog* d) {
                      before = static_cast<CTargetObjectDlg*>(d)->GetPreview().GetShowing();
                      const HWND list = d->GetDlgItem(IDC_TARGET_LIST);
                      SendMessageA(list, LB_SETCURSEL, 0, 0);
                      d->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TARGET_LIST, LBN_SELCHANGE),
                                     reinterpret_cast<LPARAM>(list));
                      after = static_cast<CTargetObjectDlg*>(d)->GetPreview().GetShowing();
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_EQ(before, CPreviewStatic::kShowsNoImage);
  // An object without a picture shows "No Image" too.
  EXPECT_EQ(after, CPreviewStatic::kShowsNoImage);
  EXPECT_EQ(move->GetTarget(), first);
  EXPECT_EQ(first->GetReferrerCount(), 1);
}

TEST(TargetDialog, HideOffersOnlyListPreviewAndComment) {
  struct Case {
    int type;
    bool buttons;
  };
  static const Case kCases[] = {{kTypeShow, true}, {kTypeMove, true}, {kTypeHide, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.type);
    lwtest::CEditTestPalette palette;
    std::unique_ptr<CSceneCommand> command(CreateCommand(c.type));
    static std::vector<bool> shown;
    shown.clear();
    RunEdit(*command, [](CDialog* d) {
      for (int id : {IDC_TARGET_POSITION, IDC_TARGET_NEW_IMAGE, IDC_TARGET_COLOURS,
                     IDC_COMMENT_BUTTON, IDC_TARGET_LIST, IDC_OBJECT_PREVIEW})
        shown.push_back(Visible(d, id));
      Press(d, IDCANCEL);
    });
    EXPECT_EQ(shown, (std::vector<bool>{c.buttons, c.buttons, false, true, true, true}));
  }
}

// Enter in Hide's dialog is OK: the hidden "&Position..." is not the
// default button there. The key comes as the dialog's loop sees it.
TEST(TargetDialog, EnterInHidesDialogIsOk) {
  lwtest::CEditTestPalette palette;
  auto* object = palette.Add(new CImageTextObject);
  auto* hide = palette.Add(new CHideCommand);
  hide->SetTarget(object);
  static UINT defaultId;
  EXPECT_EQ(RunEdit(*hide,
                    [](CDialog* d) {
                      defaultId = d->GetDefID();
                      const HWND list = d->GetDlgItem(IDC_TARGET_LIST);
                      PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0x001C0001);
                      PostMessageA(list, WM_KEYUP, VK_RETURN, 0xC01C0001);
                    }),
            IDOK);
  EXPECT_EQ(defaultId, static_cast<UINT>(IDOK));
  EXPECT_EQ(hide->GetTarget(), object);
}

// "New image" edits a new object, puts it at the end of the script and
// selects it.
TEST(TargetDialog, NewImageIsAppendedAndChosen) {
  lwtest::CEditTestPalette palette;
  auto* show = palette.Add(new CShowCommand);
  static int count, selected;
  EXPECT_EQ(RunEdit(*show,
                    [](CDialog* d) {
                      if (d->GetTemplateId() == IDD_IMAGE_TEXT) {
                        Click(d, IDC_IT_SET_TEXT);
                        SetItemText(d, IDC_IT_TEXT, "New one");
                        Press(d, IDOK);
                        return;
                      }
                      Press(d, IDC_TARGET_NEW_IMAGE);
                      auto& list = static_cast<CTargetObjectDlg*>(d)->GetList();
                      count = list.GetCount();
                      selected = list.GetCurSel();
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(selected, 0);
  const CCommandList& commands = g_pCommandPalette->GetCommands();
  ASSERT_EQ(commands.GetSize(), 2);
  auto* added = static_cast<CImageTextObject*>(commands.GetCommand(1));
  EXPECT_EQ(std::string(added->m_text), "New one");
  EXPECT_EQ(show->GetTarget(), added);
}

// ---- the position dialogs ----------------------------------------------------

TEST(PositionDialog, StepTurnsTowardTheEndWithABeep) {
  struct Case {
    int startX, endX, startY, endY, step;
    bool alongX;
    int stored, beeps;
  };
  static const Case kCases[] = {
      {100, 0, 0, 0, 5, true, -5, 1},  {0, 100, 0, 0, -5, true, 5, 1},
      {0, 100, 0, 0, 5, true, 5, 0},   {50, 50, 0, 0, 7, true, 7, 0},
      {50, 50, 50, 50, -7, true, -7, 0}, {0, 0, 300, 10, 4, false, -4, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.startX) + "->" + std::to_string(c.endX) + " step " +
                 std::to_string(c.step));
    CMoveCommand move;
    CMotionAttribute motion;
    motion.m_startModeX = motion.m_startModeY = kModeStored;
    motion.m_endModeX = motion.m_endModeY = kModeStored;
    motion.m_startX = c.startX;
    motion.m_endX = c.endX;
    motion.m_startY = c.startY;
    motion.m_endY = c.endY;
    motion.m_stepX = c.step;
    motion.m_stepAlongX = c.alongX ? 1 : 0;
    motion.m_effect = 7;
    CBeepCounter beeps;
    static std::string caption;
    CDialogScript script([](CDialog* d) {
      caption = Text(*d);
      Press(d, IDOK);
    });
    CPositionDlg dlg(motion, &move, nullptr);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_copy.m_stepX, c.stored);
    EXPECT_EQ(beeps.Count(), c.beeps);
    EXPECT_EQ(dlg.m_copy.m_effect, 0);
    EXPECT_EQ(dlg.m_copy.m_stepAlongX, c.alongX ? 1 : 0);
    EXPECT_EQ(caption, "Move - Position");
  }
}

TEST(PositionDialog, AbsoluteEnablesItsEditAndSpeedStepsByHundred) {
  CMoveCommand move;
  CMotionAttribute motion;
  motion.m_moveSpeed = 99950;
  static std::vector<bool> enabled;
  static std::vector<std::string> speeds;
  enabled.clear();
  speeds.clear();
  CDialogScript script([](CDialog* d) {
    enabled.push_back(Enabled(d, IDC_POS_START_X));
    Click(d, IDC_POS_START_X_MODE + kModeStored);
    enabled.push_back(Enabled(d, IDC_POS_START_X));
    Click(d, IDC_POS_START_X_MODE + kModeRandom);
    enabled.push_back(Enabled(d, IDC_POS_START_X));
    // Clicks on the spin's arrows, as the mouse gives them.
    ClickSpin(d, IDC_POS_SPEED_SPIN, true);
    speeds.push_back(ItemText(d, IDC_POS_SPEED));
    ClickSpin(d, IDC_POS_SPEED_SPIN, true);
    speeds.push_back(ItemText(d, IDC_POS_SPEED));
    ClickSpin(d, IDC_POS_SPEED_SPIN, false);
    speeds.push_back(ItemText(d, IDC_POS_SPEED));
    // Pasted numbers beyond any int step to the bounds without overflow.
    SetItemText(d, IDC_POS_SPEED, "99999999999");
    ClickSpin(d, IDC_POS_SPEED_SPIN, true);
    speeds.push_back(ItemText(d, IDC_POS_SPEED));
    SetItemText(d, IDC_POS_SPEED, "-99999999999");
    ClickSpin(d, IDC_POS_SPEED_SPIN, false);
    speeds.push_back(ItemText(d, IDC_POS_SPEED));
    SetItemText(d, IDC_POS_SPEED, "2147483600");
    ClickSpin(d, IDC_POS_SPEED_SPIN, false);
    speeds.push_back(ItemText(d, IDC_POS_SPEED));
    SetItemText(d, IDC_POS_SPEED, "99900");
    Press(d, IDOK);
  });
  CPositionDlg dlg(motion, &move, nullptr);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(speeds, (std::vector<std::string>{"100000", "100000", "99900", "100000", "0",
                                              "100000"}));
  EXPECT_EQ(dlg.m_copy.m_moveSpeed, 99900);
  EXPECT_EQ(dlg.m_copy.m_startModeX, kModeRandom);
}

TEST(ShowPositionDialog, EffectNamesAndCoveringEffects) {
  CShowCommand show;
  CMotionAttribute motion;
  motion.m_letterByLetter = 1;
  static std::vector<std::string> names;
  static std::vector<bool> tile, none;
  static int restoreAfterTile, restoreAfterNone;
  names.clear();
  tile.clear();
  none.clear();
  CDialogScript script([](CDialog* d) {
    const HWND combo = d->GetDlgItem(IDC_SHOWPOS_EFFECT);
    const int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char text[64] = "";
      SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      names.push_back(text);
    }
    Choose(d, IDC_SHOWPOS_EFFECT, 1);
    for (int id : {IDC_SHOWPOS_X_MODE, IDC_SHOWPOS_Y_MODE + 2, IDC_POS_RESTORE,
                   IDC_SHOWPOS_LETTERS, IDC_SHOWPOS_SPEED})
      tile.push_back(Enabled(d, id));
    restoreAfterTile = Checked(d, IDC_POS_RESTORE);
    Choose(d, IDC_SHOWPOS_EFFECT, 0);
    for (int id : {IDC_SHOWPOS_X_MODE, IDC_SHOWPOS_Y_MODE + 2, IDC_POS_RESTORE,
                   IDC_SHOWPOS_LETTERS, IDC_SHOWPOS_SPEED})
      none.push_back(Enabled(d, id));
    restoreAfterNone = Checked(d, IDC_POS_RESTORE);
    Press(d, IDOK);
  });
  CShowPositionDlg dlg(motion, &show, true, nullptr);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  ASSERT_EQ(names.size(), 88u);
  for (int i = 0; i < 88; ++i) EXPECT_EQ(names[i], GetEffectName(i));
  EXPECT_EQ(names[3], "Random Effect");
  EXPECT_EQ(tile, (std::vector<bool>(5, false)));
  EXPECT_EQ(restoreAfterTile, false);
  // After Tile letter by letter is off, so its speed stays disabled.
  EXPECT_EQ(none, (std::vector<bool>{true, true, true, true, false}));
  EXPECT_EQ(restoreAfterNone, true);
  EXPECT_EQ(dlg.m_copy.m_effect, 0);
  EXPECT_EQ(dlg.m_copy.m_restoreAfterHide, 1);
  EXPECT_EQ(dlg.m_copy.m_keepWhileMoving, 1);
  EXPECT_EQ(dlg.m_copy.m_letterByLetter, 0);
}

// The letter-by-letter controls show for a text target only; Show opens
// the dialog from the target dialog with the selected object's kind.
TEST(ShowPositionDialog, LettersOnlyForATextTarget) {
  for (int kind : {0, 1}) {
    SCOPED_TRACE(kind);
    lwtest::CEditTestPalette palette;
    auto* object = palette.Add(new CImageTextObject);
    object->m_kind = kind;
    object->m_text = "Hi";
    auto* show = palette.Add(new CShowCommand);
    show->SetTarget(object);
    static bool letters, speed;
    static std::string caption;
    RunEdit(*show, [](CDialog* d) {
      if (d->GetTemplateId() == IDD_SHOW_POSITION) {
        letters = Visible(d, IDC_SHOWPOS_LETTERS);
        speed = Visible(d, IDC_SHOWPOS_SPEED);
        caption = Text(*d);
        Press(d, IDCANCEL);
        return;
      }
      Press(d, IDC_TARGET_POSITION);
      Press(d, IDCANCEL);
    });
    EXPECT_EQ(letters, kind == 1);
    EXPECT_EQ(speed, kind == 1);
    EXPECT_EQ(caption, "Show - Position");
  }
}

TEST(ShowPositionDialog, StoredTileDisablesPositionAtStart) {
  CShowCommand show;
  CMotionAttribute motion;
  motion.m_effect = 2;
  motion.m_restoreAfterHide = 1;
  motion.m_keepWhileMoving = 1;
  static bool radio, restore;
  CDialogScript script([](CDialog* d) {
    radio = Enabled(d, IDC_SHOWPOS_X_MODE);
    restore = Checked(d, IDC_POS_RESTORE);
    Press(d, IDOK);
  });
  CShowPositionDlg dlg(motion, &show, false, nullptr);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(radio);
  EXPECT_FALSE(restore);
  EXPECT_EQ(dlg.m_copy.m_restoreAfterHide, 0);
  EXPECT_EQ(dlg.m_copy.m_keepWhileMoving, 0);
}

// ---- Line --------------------------------------------------------------------

TEST(LineDialog, DashedStylesOnlyAtWidthOne) {
  CLineCommand line;
  line.m_penWidth = 3;
  line.m_penStyle = 0;
  static std::vector<bool> style;
  static int items;
  style.clear();
  EXPECT_EQ(RunEdit(line,
                    [](CDialog* d) {
                      items = static_cast<int>(
                          SendMessageA(d->GetDlgItem(IDC_LINE_WIDTH), CB_GETCOUNT, 0, 0));
                      style.push_back(Enabled(d, IDC_LINE_STYLE));
                      Choose(d, IDC_LINE_WIDTH, 0);
                      style.push_back(Enabled(d, IDC_LINE_STYLE));
                      Choose(d, IDC_LINE_STYLE, 2);
                      Choose(d, IDC_LINE_WIDTH, 4);
                      style.push_back(Enabled(d, IDC_LINE_STYLE));
                      Choose(d, IDC_LINE_WIDTH, 0);
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_EQ(items, 5);
  EXPECT_EQ(style, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(line.m_penWidth, 1);
  EXPECT_EQ(line.m_penStyle, 2);
}

TEST(LinePositionDialog, AbsoluteOrRandomModes) {
  CLineCommand line;
  line.m_motion.m_startModeX = kModeStored;
  line.m_motion.m_startX = 40;
  static bool startX, endX;
  EXPECT_EQ(RunEdit(line,
                    [](CDialog* d) {
                      if (d->GetTemplateId() == IDD_LINE_POSITION) {
                        startX = Enabled(d, IDC_POS_START_X);
                        endX = Enabled(d, IDC_POS_END_X);
                        Click(d, IDC_LINEPOS_END_Y_ABSOLUTE);
                        SetItemText(d, IDC_POS_END_Y, "77");
                        Click(d, IDC_LINEPOS_START_X_RANDOM);
                        Press(d, IDOK);
                        return;
                      }
                      Press(d, IDC_TARGET_POSITION);
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_TRUE(startX);
  EXPECT_FALSE(endX);
  EXPECT_EQ(line.m_motion.m_startModeX, kModeRandom);
  EXPECT_EQ(line.m_motion.m_endModeY, kModeStored);
  EXPECT_EQ(line.m_motion.m_endY, 77);
  EXPECT_EQ(line.m_motion.m_startModeY, kModeRandom);
}

// ---- values the user cannot reach ---------------------------------------------

// A run writes the positions it computes into the motion (a picture wider
// than the screen placed "Random" or "Right" gives a start far below
// -5000), and a Line on a wide screen the same. Coordinates whose edits are
// closed, and a letter speed hidden for a picture, are not checked: OK goes
// through and keeps them; the fields the user can reach are still checked.
// Runs the position dialog with the action on every dialog that comes up;
// OK copies its working copy back into the motion.
template <class Dialog>
INT_PTR RunPositionDialog(Dialog& dialog, CMotionAttribute& motion, CDialogScript::Action act) {
  CDialogScript script(std::move(act));
  const INT_PTR result = dialog.DoModal();
  if (result == IDOK) motion.CopyFrom(dialog.m_copy);
  return result;
}

TEST(PositionDialogs, ValuesOutOfReachDoNotStopOk) {
  using Run = INT_PTR (*)(CMotionAttribute&, CDialogScript::Action);
  struct Case {
    const char* name;
    Run run;
    int startXAbsolute;  // the radio that opens the start x
  };
  static CMoveCommand move;
  static CShowCommand show;
  static CLineCommand line;
  const Case kCases[] = {
      {"Move",
       [](CMotionAttribute& m, CDialogScript::Action act) {
         CPositionDlg dialog(m, &move, nullptr);
         return RunPositionDialog(dialog, m, std::move(act));
       },
       IDC_POS_START_X_MODE + kModeStored},
      {"Show, a picture",
       [](CMotionAttribute& m, CDialogScript::Action act) {
         CShowPositionDlg dialog(m, &show, false, nullptr);
         return RunPositionDialog(dialog, m, std::move(act));
       },
       IDC_SHOWPOS_X_MODE + kModeStored},
      {"Line",
       [](CMotionAttribute& m, CDialogScript::Action act) {
         CLinePositionDlg dialog(m, &line, nullptr);
         return RunPositionDialog(dialog, m, std::move(act));
       },
       IDC_LINEPOS_START_X_ABSOLUTE},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    lwtest::CRecordedBoxes boxes;
    CMotionAttribute motion;
    motion.m_startModeX = motion.m_startModeY = kModeRandom;
    motion.m_endModeX = motion.m_endModeY = kModeRandom;
    motion.m_startX = -6000;
    motion.m_startY = 7000;
    motion.m_endX = -9000;
    motion.m_endY = 5001;
    motion.m_letterSpeed = 9000;
    EXPECT_EQ(c.run(motion, [](CDialog* d) { Press(d, IDOK); }), IDOK);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
    EXPECT_EQ(motion.m_startX, -6000);
    EXPECT_EQ(motion.m_startY, 7000);
    EXPECT_EQ(motion.m_endX, -9000);
    EXPECT_EQ(motion.m_endY, 5001);
    EXPECT_EQ(motion.m_letterSpeed, 9000);
    // Once "Absolute" opens the start x, its value is checked.
    static int open;
    open = c.startXAbsolute;
    EXPECT_EQ(c.run(motion,
                    [](CDialog* d) {
                      Click(d, open);
                      Press(d, IDOK);
                      Press(d, IDCANCEL);
                    }),
              IDCANCEL);
    EXPECT_EQ(boxes.texts,
              std::vector<std::string>{"Please enter an integer between -5000 and 5000."});
  }
}

// ---- Edit then OK, Edit then Cancel ------------------------------------------

std::vector<lwtest::CEditCase> EditCases() {
  std::vector<lwtest::CEditCase> cases;
  cases.push_back({"Image/Text",
                   [] {
                     auto* c = new CImageTextObject;
                     c->m_kind = 1;
                     c->m_text = "old text";
                     c->m_comment.m_text = "title";
                     return c;
                   },
                   [](CDialog* d) { SetItemText(d, IDC_IT_TEXT, "new text"); },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CImageTextObject>(
                         static_cast<CImageTextObject&>(c),
                         [](CImageTextObject& e) { e.m_text = "new text"; });
                   }});
  cases.push_back({"Move",
                   [] {
                     auto* c = new CMoveCommand;
                     c->m_ref.m_motion.m_moveSpeed = 500;
                     return c;
                   },
                   [](CDialog* d) {
                     if (d->GetTemplateId() == IDD_POSITION) {
                       SetItemText(d, IDC_POS_SPEED, "700");
                       Click(d, IDC_POS_KEEP_MOVING);
                       Press(d, IDOK);
                       return;
                     }
                     Press(d, IDC_TARGET_POSITION);
                   },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CMoveCommand>(static_cast<CMoveCommand&>(c),
                                                        [](CMoveCommand& e) {
                                                          e.m_ref.m_motion.m_moveSpeed = 700;
                                                          e.m_ref.m_motion.m_keepWhileMoving = 0;
                                                        });
                   }});
  cases.push_back({"Show",
                   [] { return new CShowCommand; },
                   [](CDialog* d) {
                     if (d->GetTemplateId() == IDD_SHOW_POSITION) {
                       Choose(d, IDC_SHOWPOS_EFFECT, 9);
                       Press(d, IDOK);
                       return;
                     }
                     Press(d, IDC_TARGET_POSITION);
                   },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CShowCommand>(
                         static_cast<CShowCommand&>(c),
                         [](CShowCommand& e) { e.m_ref.m_motion.m_effect = 9; });
                   }});
  cases.push_back({"Line",
                   [] {
                     auto* c = new CLineCommand;
                     c->m_penWidth = 2;
                     return c;
                   },
                   [](CDialog* d) { Choose(d, IDC_LINE_WIDTH, 3); },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CLineCommand>(static_cast<CLineCommand&>(c),
                                                        [](CLineCommand& e) { e.m_penWidth = 4; });
                   }});
  return cases;
}

TEST(ObjectEditCommand, OkChangesExactlyTheEditedFields) {
  for (const lwtest::CEditCase& c : EditCases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CSceneCommand> command(c.make());
    const Bytes expected = c.expected(*command);
    ASSERT_NE(WrittenBytes(*command), expected);
    EXPECT_EQ(lwtest::EditThenPress(*command, c.action, IDOK), IDOK);
    EXPECT_EQ(WrittenBytes(*command), expected);
  }
}

// The same edits (sub-dialogs ended with OK), then Cancel.
TEST(ObjectEditCommand, CancelLeavesEveryByte) {
  for (const lwtest::CEditCase& c : EditCases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CSceneCommand> command(c.make());
    const Bytes before = WrittenBytes(*command);
    EXPECT_EQ(lwtest::EditThenPress(*command, c.action, IDCANCEL), IDCANCEL);
    EXPECT_EQ(WrittenBytes(*command), before);
  }
}

// ---- the model's pictures ----------------------------------------------------

TEST(ImageTextPictures, ThumbnailAndWallpaper) {
  CImageTextObject object;
  GivePicture(object, lwtest::MakeSolidBmpFile(320, 200, RGB(0, 255, 0)));
  ASSERT_EQ(object.MakeThumbnail(), 1);
  ASSERT_EQ(object.m_thumbnailSize, kThumbnailBytes);
  EXPECT_EQ(object.m_drawnSize.cx, 320);
  EXPECT_EQ(object.m_drawnSize.cy, 200);
  // Green everywhere in the thumbnail, whatever the byte order.
  EXPECT_EQ(object.m_pThumbnail[1], 255);
  EXPECT_EQ(object.m_pThumbnail[kThumbnailBytes - 2], 255);
  // A copy has its own thumbnail.
  CImageTextObject copy;
  copy.CopyFrom(object);
  ASSERT_NE(copy.m_pThumbnail, nullptr);
  EXPECT_NE(copy.m_pThumbnail, object.m_pThumbnail);
  EXPECT_EQ(Bytes(copy.m_pThumbnail, copy.m_pThumbnail + kThumbnailBytes),
            Bytes(object.m_pThumbnail, object.m_pThumbnail + kThumbnailBytes));

  // The wallpaper: a JPEG at the screen's size.
  const std::string path = lwtest::TempPath("lw_wallpaper_" + std::to_string(GetCurrentProcessId()) + ".jpg");
  ASSERT_TRUE(object.CaptureWallpaper(path.c_str()));
  CRgbImage written;
  EXPECT_TRUE(written.LoadPath(path.c_str()));
  EXPECT_EQ(written.GetSize().cx, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(written.GetSize().cy, GetSystemMetrics(SM_CYSCREEN));
  DeleteFileA(path.c_str());
}

// A w x h picture of smooth ramps: red across, green down, blue along the
// diagonal, so that neighbouring pixels differ a little everywhere.
std::vector<COLORREF> Ramps(int w, int h) {
  std::vector<COLORREF> pixels(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels[static_cast<size_t>(y) * w + x] =
          RGB(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 255 / (w + h - 2));
  return pixels;
}

// The plain reduction of a picture to tw x th: each pixel the average of
// the source pixels its area covers, partly covered ones by their share.
std::vector<COLORREF> BoxReduction(const std::vector<COLORREF>& src, int w, int h, int tw, int th) {
  std::vector<COLORREF> out;
  const double sx = static_cast<double>(w) / tw, sy = static_cast<double>(h) / th;
  for (int i = 0; i < th; ++i) {
    for (int j = 0; j < tw; ++j) {
      double sum[3] = {}, area = 0;
      for (int y = static_cast<int>(i * sy); y < h && y < (i + 1) * sy; ++y) {
        const double wy = std::min<double>(y + 1, (i + 1) * sy) - std::max<double>(y, i * sy);
        for (int x = static_cast<int>(j * sx); x < w && x < (j + 1) * sx; ++x) {
          const double a = wy * (std::min<double>(x + 1, (j + 1) * sx) - std::max<double>(x, j * sx));
          const COLORREF c = src[static_cast<size_t>(y) * w + x];
          sum[0] += a * GetRValue(c);
          sum[1] += a * GetGValue(c);
          sum[2] += a * GetBValue(c);
          area += a;
        }
      }
      out.push_back(RGB(sum[0] / area + 0.5, sum[1] / area + 0.5, sum[2] / area + 0.5));
    }
  }
  return out;
}

// The largest difference of a channel between two pictures of one size,
// with where it is.
struct PixelDifference {
  int most = 0, x = 0, y = 0;
};
PixelDifference Compare(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b, int w) {
  PixelDifference d;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const int e = std::max({abs(GetRValue(a[i]) - GetRValue(b[i])), abs(GetGValue(a[i]) - GetGValue(b[i])),
                            abs(GetBValue(a[i]) - GetBValue(b[i]))});
    if (e > d.most) d = {e, static_cast<int>(i % w), static_cast<int>(i / w)};
  }
  return d;
}

// The 160 x 120 thumbnail, and what the Image/Text dialog's preview shows
// on the screen, are the picture reduced: no pixel strays from a plain
// average of the area it stands for by more than the bilinear sampling
// gives on ramps this gentle.
TEST(ImageTextPictures, ThumbnailAndPreviewAreThePictureReduced) {
  const int kMostDifference = 6;
  for (const SIZE size : {SIZE{400, 300}, SIZE{800, 600}, SIZE{640, 480}}) {
    SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
    const std::vector<COLORREF> source = Ramps(size.cx, size.cy);
    CImageTextObject object;
    GivePicture(object, lwtest::MakeBmpFile(size.cx, size.cy, source));
    ASSERT_EQ(object.MakeThumbnail(), 1);
    std::vector<COLORREF> thumbnail;
    for (int i = 0; i < kThumbnailWidth * kThumbnailHeight; ++i) {
      const uint8_t* p = object.m_pThumbnail + 3 * i;
      thumbnail.push_back(RGB(p[0], p[1], p[2]));
    }
    PixelDifference d = Compare(
        thumbnail, BoxReduction(source, size.cx, size.cy, kThumbnailWidth, kThumbnailHeight),
        kThumbnailWidth);
    EXPECT_LE(d.most, kMostDifference) << "thumbnail at " << d.x << ", " << d.y;

    // The preview: the picture fitted into the control's client area (at
    // most the thumbnail's size), in its middle.
    static std::vector<COLORREF> shown;
    static SIZE client;
    shown.clear();
    RunEdit(object, [](CDialog* d) {
      d->SetWindowPos(HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      d->UpdateWindow();
      lwtest::FlushEvents(300);
      HWND preview = d->GetDlgItem(IDC_OBJECT_PREVIEW);
      RECT r = {};
      ::GetClientRect(preview, &r);
      ::MapWindowPoints(preview, nullptr, reinterpret_cast<POINT*>(&r), 2);
      client = {r.right - r.left, r.bottom - r.top};
      shown = lwtest::ScreenPixels(r);
      Press(d, IDCANCEL);
    });
    ASSERT_EQ(shown.size(), static_cast<size_t>(client.cx) * client.cy);
    const double ratio = std::max(static_cast<double>(size.cx) / std::min<LONG>(client.cx, kThumbnailWidth),
                                  static_cast<double>(size.cy) / std::min<LONG>(client.cy, kThumbnailHeight));
    const int fw = static_cast<int>(size.cx / ratio), fh = static_cast<int>(size.cy / ratio);
    const int left = (client.cx - fw) / 2, top = (client.cy - fh) / 2;
    std::vector<COLORREF> picture;
    for (int y = 0; y < fh; ++y)
      for (int x = 0; x < fw; ++x) picture.push_back(shown[static_cast<size_t>(top + y) * client.cx + left + x]);
    d = Compare(picture, BoxReduction(source, size.cx, size.cy, fw, fh), fw);
    EXPECT_LE(d.most, kMostDifference) << "preview of " << fw << " x " << fh << " at " << d.x << ", " << d.y;
  }
}

// ---- screenshots ---------------------------------------------------------------

TEST(ObjectDialogs, Screenshots) {
  CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  lwtest::CEditTestPalette palette;
  auto* text = palette.Add(new CImageTextObject);
  text->m_kind = 1;
  text->m_text = "Hello, world";
  text->m_bkMode = 1;
  text->m_textColour = RGB(255, 255, 0);
  text->m_bkColour = RGB(0, 0, 128);
  text->m_comment.m_text = "greeting";
  auto* picture = palette.Add(new CImageTextObject);
  picture->m_displayName = "bmp24.bmp";
  GivePicture(*picture, lwtest::MakeSolidBmpFile(320, 240, RGB(40, 120, 200)));
  picture->m_drawnSize = {320, 240};
  auto* show = palette.Add(new CShowCommand);
  show->SetTarget(text);
  auto* move = palette.Add(new CMoveCommand);
  move->SetTarget(picture);
  CLineCommand line;
  line.m_colour.m_colour = RGB(200, 0, 0);

  // Each shot's name, and what it shows wrong.
  static std::vector<std::string> shots, faults;
  shots.clear();
  faults.clear();
  auto shoot = [](const char* name) {
    return [name](CDialog* d) {
      for (const std::string& f : lwtest::ShootAndCheck(*d, LW_BUILD_DIR "/screenshots", name))
        faults.push_back(std::string(name) + ": " + f);
      shots.push_back(name);
    };
  };
  static CDialogScript::Action textShot, pictureShot, showShot, showPosShot, moveShot, posShot,
      lineShot, linePosShot;
  textShot = shoot("edit_image_text");
  pictureShot = shoot("edit_image_picture");
  RunEdit(*text, [](CDialog* d) {
    textShot(d);
    Press(d, IDCANCEL);
  });
  RunEdit(*picture, [](CDialog* d) {
    pictureShot(d);
    Press(d, IDCANCEL);
  });
  showShot = shoot("edit_show");
  showPosShot = shoot("edit_show_position");
  RunEdit(*show, [](CDialog* d) {
    if (d->GetTemplateId() == IDD_SHOW_POSITION) {
      showPosShot(d);
      Press(d, IDCANCEL);
      return;
    }
    showShot(d);
    Press(d, IDC_TARGET_POSITION);
    Press(d, IDCANCEL);
  });
  moveShot = shoot("edit_move");
  posShot = shoot("edit_move_position");
  RunEdit(*move, [](CDialog* d) {
    if (d->GetTemplateId() == IDD_POSITION) {
      posShot(d);
      Press(d, IDCANCEL);
      return;
    }
    moveShot(d);
    Press(d, IDC_TARGET_POSITION);
    Press(d, IDCANCEL);
  });
  lineShot = shoot("edit_line");
  linePosShot = shoot("edit_line_position");
  static int lineRows, widthCount;
  lineRows = widthCount = 0;
  RunEdit(line, [](CDialog* d) {
    if (d->GetTemplateId() == IDD_LINE_POSITION) {
      linePosShot(d);
      Press(d, IDCANCEL);
      return;
    }
    lineShot(d);
    // And with the widths dropped down: a row of the Line's colour in
    // the list for every width at least.
    HWND widths = d->GetDlgItem(IDC_LINE_WIDTH);
    SendMessageA(widths, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info = {sizeof info};
    ASSERT_TRUE(GetComboBoxInfo(widths, &info));
    SetWindowPos(info.hwndList, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lwtest::FlushEvents(200);
    std::vector<COLORREF> list;
    EXPECT_TRUE(lwtest::SaveWindowShot(info.hwndList, LW_BUILD_DIR "/screenshots/edit_line_widths.bmp", &list));
    RECT r = {};
    GetWindowRect(info.hwndList, &r);
    for (int y = 0; y < r.bottom - r.top; ++y)
      for (int x = 0; x < r.right - r.left; ++x)
        if (list[static_cast<size_t>(y) * (r.right - r.left) + x] == RGB(200, 0, 0)) {
          ++lineRows;
          break;
        }
    widthCount = static_cast<int>(SendMessageA(widths, CB_GETCOUNT, 0, 0));
    SendMessageA(widths, CB_SHOWDROPDOWN, FALSE, 0);
    Press(d, IDC_TARGET_POSITION);
    Press(d, IDCANCEL);
  });
  EXPECT_EQ(shots, (std::vector<std::string>{"edit_image_text", "edit_image_picture", "edit_show",
                                             "edit_show_position", "edit_move", "edit_move_position",
                                             "edit_line", "edit_line_position"}));
  EXPECT_TRUE(faults.empty()) << lwtest::JoinLines(faults);
  EXPECT_GT(widthCount, 1);
  EXPECT_GE(lineRows, widthCount);
}

}  // namespace
