// The builder's resources as the built Lumenweave.exe carries them, loaded
// as a data file: the menus with their texts at their ids, the accelerator
// tables, the toolbars' button lists, the drawn bitmaps' sizes, depths and
// masks, the drag cursors, and the string table (the fixed texts, and a
// status prompt and tooltip for every command a menu or toolbar offers).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "builder/resource.h"
#include "tests/support/files.h"
#include "wizards/WizardToolsResource.h"

namespace {

using Lines = std::vector<std::string>;

class BuilderResources : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string path = std::string(LW_BUILD_DIR) + "/builder/Lumenweave.exe";
    s_module = LoadLibraryExA(path.c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  static void TearDownTestSuite() {
    if (s_module) FreeLibrary(s_module);
    s_module = nullptr;
  }
  void SetUp() override { ASSERT_NE(s_module, nullptr) << "Lumenweave.exe does not load"; }

  // The bytes of a resource, empty when it is missing.
  static std::vector<unsigned char> Data(int id, LPCSTR type) {
    HRSRC res = FindResourceA(s_module, MAKEINTRESOURCEA(id), type);
    if (!res) return {};
    const unsigned char* p =
        static_cast<const unsigned char*>(LockResource(LoadResource(s_module, res)));
    if (!p) return {};
    return std::vector<unsigned char>(p, p + SizeofResource(s_module, res));
  }

  static std::string String(UINT id) {
    char text[1024] = {};
    int n = LoadStringA(s_module, id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
  }

  static HMODULE s_module;
};
HMODULE BuilderResources::s_module = nullptr;

// ---------------------------------------------------------------- menus

// One line per item: a pop-up's text, then its items indented, "-" for a
// separator, "id text" for a command.
void DescribeMenu(HMENU menu, const std::string& indent, Lines* out) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    char text[256] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &info));
    if (info.fType & MFT_SEPARATOR) {
      out->push_back(indent + "-");
    } else if (info.hSubMenu) {
      out->push_back(indent + text);
      DescribeMenu(info.hSubMenu, indent + "  ", out);
    } else {
      out->push_back(indent + std::to_string(info.wID) + " " + text);
    }
  }
}

Lines MenuOf(HMODULE module, int id) {
  Lines lines;
  HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(id));
  if (!menu) return lines;
  DescribeMenu(menu, "", &lines);
  DestroyMenu(menu);
  return lines;
}

// The command ids of a described menu.
std::vector<UINT> CommandsOf(const Lines& lines) {
  std::vector<UINT> ids;
  for (const std::string& line : lines) {
    size_t at = line.find_first_not_of(' ');
    if (at != std::string::npos && isdigit(static_cast<unsigned char>(line[at])))
      ids.push_back(static_cast<UINT>(std::stoul(line.substr(at))));
  }
  return ids;
}

TEST_F(BuilderResources, MainMenuHoldsEveryCommandWithItsText) {
  const Lines expected = {
      "&File",
      "  57600 &New\tCtrl+N",
      "  57601 &Open...\tCtrl+O",
      "  57603 &Save\tCtrl+S",
      "  57604 Save &As...",
      "  -",
      "  32791 Ma&ke SCR...",
      "  32873 Make &Install...",
      "  32878 Set SCR as &default",
      "  -",
      "  57616 Recent File",
      "  -",
      "  57665 E&xit",
      "&Edit",
      "  57635 Cu&t\tCtrl+X",
      "  57634 &Copy\tCtrl+C",
      "  57637 &Paste\tCtrl+V",
      "  32799 &Delete\tDel",
      "  -",
      "  57642 Select A&ll\tCtrl+A",
      "  -",
      "  32795 D&eactivate",
      "  32794 Act&ivate",
      "  32796 Activate &All",
      "&View",
      "  59392 &Toolbar",
      "  59393 &Status Bar",
      "  -",
      "  32792 &Refresh\tF5",
      "&Commands",
      "  32800 &Current...",
      "  32797 &Add",
      "  32798 &Insert",
      "  -",
      "  32793 Pre&view\tCtrl+T",
      "&Tools",
      "  32872 Standard &Wizard\tCtrl+W",
      "  32881 One-Step Screen Saver\tCtrl+1",
      "  32886 Flash-to-SCR Tool\tCtrl+2",
      "  32891 Direct Flash SCR Tool\tCtrl+3",
      "  -",
      "  32890 Make Flash Presentation SCR",
      "  32879 &Make install for .scr",
      "  -",
      "  32876 &Start Window",
      "  -",
      "  32801 &Options...",
      "  32869 &Reuse Lumenweave",
      "&Help",
      "  32867 &Help Topics\tF1",
      "  -",
      "  32888 Contact Tehnical Support",
      "  32889 Visit Program Homepage",
      "  -",
      "  57664 &About Lumenweave...",
  };
  EXPECT_EQ(MenuOf(s_module, IDR_MAINFRAME), expected);
}

TEST_F(BuilderResources, ContextAndWizardMenus) {
  const Lines context = {
      "Left",
      "  32797 &Add",
      "  32798 &Insert",
      "  -",
      "  32793 Pre&view\tCtrl+T",
      "Right",
      "  57635 Cu&t\tCtrl+X",
      "  57634 &Copy\tCtrl+C",
      "  57637 &Paste\tCtrl+V",
      "  32799 &Delete\tDel",
      "  -",
      "  32795 D&eactivate",
      "  32794 Act&ivate",
      "  32796 Activate &All",
      "  -",
      "  57642 Select A&ll\tCtrl+A",
      "  -",
      "  32793 Pre&view\tCtrl+T",
  };
  EXPECT_EQ(MenuOf(s_module, IDR_CONTEXT_MENUS), context);
  const Lines wizards = {
      "Wizard",
      "  32872 Standard",
      "  32881 One-Step",
      "  32886 Flash-to-SCR",
  };
  EXPECT_EQ(MenuOf(s_module, IDR_WIZARD_MENU), wizards);
}

// ---------------------------------------------------------------- keys

std::string KeyText(BYTE flags, WORD key) {
  std::string text;
  if (flags & FCONTROL) text += "Ctrl+";
  if (flags & FSHIFT) text += "Shift+";
  if (flags & FALT) text += "Alt+";
  if (!(flags & FVIRTKEY)) return text + "char " + std::to_string(key);
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return text + char(key);
  if (key >= VK_F1 && key <= VK_F12) return text + "F" + std::to_string(key - VK_F1 + 1);
  switch (key) {
    case VK_DELETE:
      return text + "Del";
    case VK_INSERT:
      return text + "Ins";
    case VK_BACK:
      return text + "Backspace";
    default:
      return text + "vk " + std::to_string(key);
  }
}

std::multiset<std::string> AcceleratorsOf(HMODULE module, int id) {
  std::multiset<std::string> keys;
  HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(id));
  if (!table) return keys;
  std::vector<ACCEL> entries(CopyAcceleratorTableA(table, nullptr, 0));
  CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
  for (const ACCEL& a : entries)
    keys.insert(KeyText(a.fVirt, a.key) + " " + std::to_string(a.cmd));
  DestroyAcceleratorTable(table);
  return keys;
}

TEST_F(BuilderResources, AcceleratorTablesHoldTheirKeys) {
  const std::multiset<std::string> main = {
      "Ctrl+N 57600",   "Ctrl+O 57601",    "Ctrl+S 57603",
      "Ctrl+X 57635",   "Shift+Del 57635", "Ctrl+C 57634",
      "Ctrl+Ins 57634", "Ctrl+V 57637",    "Shift+Ins 57637",
      "Ctrl+A 57642",   "Ctrl+T 32793",    "F5 32792",
      "Ctrl+W 32872",   "Ctrl+1 32881",    "Ctrl+2 32886",
      "Ctrl+3 32891",   "F1 32867",        "F6 57680",
      "Shift+F6 57681", "Ctrl+Z 57643",    "Alt+Backspace 57643",
      "Ctrl+P 57607",
  };
  EXPECT_EQ(AcceleratorsOf(s_module, IDR_MAINFRAME), main);
  const std::multiset<std::string> preview = {
      "Ctrl+G 32802", "F5 32803", "Ctrl+P 32804", "Ctrl+S 32805", "Ctrl+F8 32845", "Ctrl+V 32807",
  };
  EXPECT_EQ(AcceleratorsOf(s_module, IDR_PREVIEW), preview);
}

// ---------------------------------------------------------------- toolbars

// A toolbar resource as words: version, width, height, count, then ids.
std::vector<WORD> Words(const std::vector<unsigned char>& data) {
  std::vector<WORD> words(data.size() / 2);
  for (size_t i = 0; i < words.size(); ++i) words[i] = WORD(data[2 * i] | data[2 * i + 1] << 8);
  return words;
}

TEST_F(BuilderResources, ToolbarsListTheirButtonsInOrder) {
  const std::vector<WORD> main = {1,     48,    48,    17,    57600, 57601, 57603,
                                  0,     57635, 57634, 57637, 0,     32800, 32797,
                                  32798, 32799, 0,     32793, 0,     32884, 32876};
  EXPECT_EQ(Words(Data(IDR_MAINFRAME, MAKEINTRESOURCEA(241))), main);
  const std::vector<WORD> preview = {1,     16, 15,    10, 32802, 32803, 32804,
                                     32805, 0,  32845, 0,  32806, 0,     32807};
  EXPECT_EQ(Words(Data(IDR_PREVIEW, MAKEINTRESOURCEA(241))), preview);
}

// ---------------------------------------------------------------- bitmaps

// A bitmap resource's header and pixels (8 or 24 bits a pixel).
class CBitmapData {
 public:
  explicit CBitmapData(std::vector<unsigned char> data) : m_data(std::move(data)) {}
  bool Valid() const { return m_data.size() >= sizeof(BITMAPINFOHEADER); }
  const BITMAPINFOHEADER& Header() const {
    return *reinterpret_cast<const BITMAPINFOHEADER*>(m_data.data());
  }
  size_t Colours() const {
    const BITMAPINFOHEADER& h = Header();
    if (h.biBitCount > 8) return 0;
    return h.biClrUsed ? h.biClrUsed : size_t(1) << h.biBitCount;
  }
  // The colour of a pixel, x and y from the top left, as RGB(r, g, b).
  COLORREF Pixel(int x, int y) const {
    const BITMAPINFOHEADER& h = Header();
    const size_t row = (size_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
    const size_t start = h.biSize + 4 * Colours() + row * size_t(h.biHeight - 1 - y);
    const unsigned char* p = m_data.data() + start;
    if (h.biBitCount == 24) return RGB(p[3 * x + 2], p[3 * x + 1], p[3 * x]);
    const unsigned char* c = m_data.data() + h.biSize + 4 * p[x];
    return RGB(c[2], c[1], c[0]);
  }
  bool Complete() const {
    const BITMAPINFOHEADER& h = Header();
    const size_t row = (size_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
    return m_data.size() >= h.biSize + 4 * Colours() + row * size_t(h.biHeight);
  }

 private:
  std::vector<unsigned char> m_data;
};

struct Strip {
  const char* name;
  int id;
  int images;
  int width;  // of one image
  int height;
  int bits;
  COLORREF mask;  // the background that image lists leave out
};

const Strip kStrips[] = {
    {"toolbar", IDB_TOOLBAR, 13, 48, 48, 24, RGB(255, 0, 255)},
    {"toolbar disabled", IDB_TOOLBAR_DISABLED, 13, 48, 48, 24, RGB(255, 0, 255)},
    {"command icons", IDB_COMMANDS, 16, 16, 16, 24, RGB(0, 128, 128)},
    {"preview toolbar", IDR_PREVIEW, 7, 16, 15, 8, RGB(192, 192, 192)},
    {"preview pinned", IDB_PREVIEW_KEEPVISIBLE, 1, 16, 15, 8, RGB(192, 192, 192)},
    {"folder tree network", IDB_TREE_NETWORK, 4, 16, 16, 24, RGB(255, 0, 255)},
};

// Every image of a strip has its own picture on the mask colour: the
// corners are background and a good part of the image is drawn.
TEST_F(BuilderResources, BitmapsHaveTheirSizesDepthsAndMasks) {
  for (const Strip& s : kStrips) {
    SCOPED_TRACE(s.name);
    CBitmapData bitmap(Data(s.id, MAKEINTRESOURCEA(2)));
    ASSERT_TRUE(bitmap.Valid());
    ASSERT_EQ(bitmap.Header().biWidth, s.images * s.width);
    EXPECT_EQ(bitmap.Header().biHeight, s.height);
    EXPECT_EQ(bitmap.Header().biBitCount, s.bits);
    EXPECT_EQ(bitmap.Header().biCompression, DWORD(BI_RGB));
    ASSERT_TRUE(bitmap.Complete());
    for (int i = 0; i < s.images; ++i) {
      SCOPED_TRACE(testing::Message() << "image " << i);
      const int x0 = i * s.width;
      EXPECT_EQ(bitmap.Pixel(x0, 0), s.mask);
      EXPECT_EQ(bitmap.Pixel(x0 + s.width - 1, s.height - 1), s.mask);
      int drawn = 0;
      for (int y = 0; y < s.height; ++y)
        for (int x = x0; x < x0 + s.width; ++x) drawn += bitmap.Pixel(x, y) != s.mask;
      EXPECT_GT(drawn, s.width * s.height / 8);
    }
  }
}

// ---------------------------------------------------------------- cursors

// Each drag cursor, the script's and the folder tree's, is one 32 x 32
// two-colour image whose hot spot is the arrow's tip at the top left: a
// black pixel there, the arrow's white body below it, and a mark of its own
// that tells it from the others.
TEST_F(BuilderResources, DragCursorsAreArrowsWithTheirOwnMarks) {
  std::set<std::vector<unsigned char>> images;
  for (int id : {IDR_CURSOR_MOVE_ONE, IDR_CURSOR_MOVE_MANY, IDR_CURSOR_COPY_ONE, IDR_CURSOR_COPY_MANY,
                 IDR_CURSOR_LINK, IDC_TREE_MOVE_REFUSED, IDC_TREE_COPY, IDC_TREE_COPY_REFUSED}) {
    SCOPED_TRACE(id);
    std::vector<unsigned char> group = Data(id, RT_GROUP_CURSOR);
    ASSERT_GE(group.size(), 6u + 14u);
    EXPECT_EQ(group[4] | group[5] << 8, 1) << "one image";
    const int imageId = LookupIconIdFromDirectoryEx(group.data(), FALSE, 32, 32, LR_MONOCHROME);
    std::vector<unsigned char> cursor = Data(imageId, RT_CURSOR);
    ASSERT_GE(cursor.size(), 4u + sizeof(BITMAPINFOHEADER) + 8u + 2u * 128u);
    EXPECT_EQ(cursor[0] | cursor[1] << 8, 0) << "hot spot x";
    EXPECT_EQ(cursor[2] | cursor[3] << 8, 0) << "hot spot y";
    BITMAPINFOHEADER header;
    memcpy(&header, cursor.data() + 4, sizeof header);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);
    EXPECT_EQ(header.biBitCount, 1);
    // Colour rows, then mask rows, bottom-up, 4 bytes each; palette black
    // then white.
    const unsigned char* colour = cursor.data() + 4 + sizeof header + 8;
    const unsigned char* mask = colour + 128;
    auto bit = [](const unsigned char* rows, int x, int y) {
      return (rows[(31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
    };
    EXPECT_EQ(bit(mask, 0, 0), 0) << "the tip shows";
    EXPECT_EQ(bit(colour, 0, 0), 0) << "the tip is black";
    EXPECT_EQ(bit(mask, 1, 5), 0);
    EXPECT_EQ(bit(colour, 1, 5), 1) << "the arrow is white inside";
    EXPECT_EQ(bit(mask, 31, 0), 1) << "the corner away from the arrow is clear";
    images.insert(std::vector<unsigned char>(colour, colour + 256));
  }
  EXPECT_EQ(images.size(), 8u);
}

// The disabled images are the normal ones in grey: the same outline, no
// colour.
TEST_F(BuilderResources, DisabledToolbarImagesAreTheNormalOnesGreyed) {
  CBitmapData normal(Data(IDB_TOOLBAR, MAKEINTRESOURCEA(2)));
  CBitmapData greyed(Data(IDB_TOOLBAR_DISABLED, MAKEINTRESOURCEA(2)));
  ASSERT_TRUE(normal.Valid() && normal.Complete() && greyed.Valid() && greyed.Complete());
  ASSERT_EQ(normal.Header().biWidth, greyed.Header().biWidth);
  ASSERT_EQ(normal.Header().biHeight, greyed.Header().biHeight);
  const COLORREF mask = RGB(255, 0, 255);
  int differences = 0, coloured = 0;
  for (int y = 0; y < normal.Header().biHeight; ++y)
    for (int x = 0; x < normal.Header().biWidth; ++x) {
      const COLORREF c = greyed.Pixel(x, y);
      differences += (normal.Pixel(x, y) == mask) != (c == mask);
      if (c == mask) continue;
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      coloured += std::max({r, g, b}) - std::min({r, g, b}) > 12;
    }
  EXPECT_EQ(differences, 0);
  EXPECT_EQ(coloured, 0);
}

// ---------------------------------------------------------------- strings

TEST_F(BuilderResources, StringTableHoldsTheFixedTexts) {
  struct Text {
    UINT id;
    const char* text;
  };
  const Text kTexts[] = {
      {128,
       "Lumenweave\n\nLumenweave\nScene (.fsd)\n.fsd\nLumenweave.Document\nLumenweave Document"},
      {519, "Failed to initialize Object Linking and Embedding."},
      {33000, "Commands"},
      {33001, "Image/Text"},
      {33002, "Show"},
      {33003, "Move"},
      {33004, "Hide"},
      {33005, "Wait"},
      {33006, "Cls"},
      {33007, "Repeat"},
      {33008, "Until"},
      {33009, "Line"},
      {33010, "Multimedia/Flash"},
      {33011, "Play"},
      {33012, "Stop"},
      {33013, "Comment"},
      {33014, "Url"},
      {33998,
       "There is a problem in Windows if name of screen saver starts with ss.\n\n"
       "Do you want to continue?"},
      {34006, "This is not a valid measurement."},
      {34007, "Missing until command."},
      {34008, "Missing repeat command."},
      {34009, "Are you sure you want delete command"},
      {34010, "No enough memory."},
      {34013, "\nCannot be read data."},
      {34014, "It cannot be made data file."},
      {34018, "Corvanta\\Lumenweave\\%.2f"},
      {34021, "ImageCursor.tmp"},
      {34022, "Are you sure you want to keep data on the clipboard?"},
      {34024, "\n\ncannot be opened."},
      {34025, "You have to save the scene."},
      {34026, "Screen saver cannot be created."},
      {34027, "Screen saver\n%s\nis succesfully created."},
      {34040, "Installer file already exists!"},
      {34059, "Lumenweave Version %s (build %s)"},
      {34060, "Settings"},
      {34067, ".fsd"},
      {34069, "4.8"},
      {34075, "Flash-to-ScreenSaver wizard generated script"},
      {34076,
       "NOTE: This automatically generated script will not work well for flash files "
       "that are entirely made in just one frame."},
      {34077,
       "In that case you should do the following. Double click on the Play command "
       "below, click Settings, enable Timer control, "},
      {34078, "type in 0 as the number of seconds (that means endless loop)"},
      {34079,
       "click Ok twice and use Make SCR option from the File menu to create new "
       "screensaver file"},
      {34080,
       "Warning!  There are no active commands in your screen saver. There will be no "
       "visible result."},
      {57344, "Lumenweave"},
      {61442, "All Files (*.*)"},
      {32802, "\nGo (Ctrl+G)"},
      {32803, "\nStep By Step (F5)"},
      {32804, "\nPause (Ctrl+P)"},
      {32805, "\nStop (Ctrl+S)"},
      {32845, "\nSound (Ctrl+F8)"},
      {32806, "\nExit (Esc)"},
      {32807, "\nKeep Visible (Ctrl+V)"},
  };
  for (const Text& t : kTexts) {
    SCOPED_TRACE(t.id);
    EXPECT_EQ(String(t.id), t.text);
  }
}

// The status bar shows the text before "\n" while a command is under the
// mouse, the tooltip the text after it.
TEST_F(BuilderResources, EveryMenuAndToolbarCommandHasAPromptAndATip) {
  std::set<UINT> ids;
  for (int menu : {IDR_MAINFRAME, IDR_CONTEXT_MENUS, IDR_WIZARD_MENU})
    for (UINT id : CommandsOf(MenuOf(s_module, menu))) ids.insert(id);
  const std::vector<WORD> toolbar = Words(Data(IDR_MAINFRAME, MAKEINTRESOURCEA(241)));
  ASSERT_GT(toolbar.size(), 4u);
  for (size_t i = 4; i < toolbar.size(); ++i)
    if (toolbar[i]) ids.insert(toolbar[i]);
  ids.insert(IDM_ALWAYSONTOP);
  ASSERT_GE(ids.size(), 30u);  // the menus and the toolbar were read
  for (UINT id : ids) {
    SCOPED_TRACE(id);
    const std::string text = String(id);
    const size_t newline = text.find('\n');
    ASSERT_NE(newline, std::string::npos) << text;
    EXPECT_GT(newline, 0u) << "no prompt: " << text;
    EXPECT_LT(newline + 1, text.size()) << "no tooltip: " << text;
    EXPECT_EQ(text.find('\n', newline + 1), std::string::npos) << text;
  }
  const std::vector<WORD> preview = Words(Data(IDR_PREVIEW, MAKEINTRESOURCEA(241)));
  ASSERT_GT(preview.size(), 4u);
  for (size_t i = 4; i < preview.size(); ++i) {
    if (!preview[i]) continue;
    SCOPED_TRACE(preview[i]);
    const std::string text = String(preview[i]);
    EXPECT_EQ(text.rfind("\n", 0), 0u) << text;
    EXPECT_GT(text.size(), 1u);
  }
}

// The file dialog's child template: the anchor of the picture
// preview and the system's place for its own controls, both hidden.
TEST_F(BuilderResources, FileDialogTemplateHasItsAnchorAndPlaceholder) {
  HRSRC res = FindResourceA(s_module, "FILEOPEN_TEMPLATE", MAKEINTRESOURCEA(5));
  ASSERT_NE(res, nullptr);
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  const DLGTEMPLATE* tpl =
      static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(s_module, res)));
  HWND child = CreateDialogIndirectParamA(
      GetModuleHandleA(nullptr), tpl, parent,
      [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
  for (int id : {IDC_FILEPREVIEW_ANCHOR, 1119}) {
    SCOPED_TRACE(id);
    HWND control = GetDlgItem(child, id);
    ASSERT_NE(control, nullptr);
    EXPECT_FALSE(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE);
  }
  DestroyWindow(child);
  DestroyWindow(parent);
}

// The help beside the built builder: every page links only to pages and
// files of the help itself, and every one of those is there.
TEST(BuilderHelp, EveryLinkLeadsToAPageOfTheHelp) {
  const std::string folder = std::string(LW_BUILD_DIR) + "/builder/Help/";
  const std::vector<std::string> files = lwtest::FilesIn(folder);
  std::vector<std::string> pages;
  for (const std::string& f : files)
    if (f.size() > 5 && f.substr(f.size() - 5) == ".html") pages.push_back(f);
  ASSERT_GE(pages.size(), 7u) << "the help is not beside the builder";
  for (const std::string& page : pages) {
    SCOPED_TRACE(page);
    const lwtest::Bytes bytes = lwtest::ReadAll(folder + page);
    const std::string html(bytes.begin(), bytes.end());
    EXPECT_NE(html.find("<title>"), std::string::npos);
    int links = 0;
    for (const char* attribute : {"href=\"", "src=\""}) {
      for (size_t at = html.find(attribute); at != std::string::npos; at = html.find(attribute, at + 1)) {
        const size_t begin = at + strlen(attribute), end = html.find('"', begin);
        ASSERT_NE(end, std::string::npos);
        std::string target = html.substr(begin, end - begin);
        EXPECT_EQ(target.find(':'), std::string::npos) << target << " leaves the help";
        target = target.substr(0, target.find('#'));
        if (target.empty()) continue;
        ++links;
        EXPECT_NE(std::find(files.begin(), files.end(), target), files.end()) << target;
      }
    }
    EXPECT_GT(links, 0) << "a page that leads nowhere";
  }
}

}  // namespace
