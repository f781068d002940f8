// The one-step wizard's dialog and its script builder.
#include "wizards/OneStep.h"

#include <mbstring.h>

#include "builder/controls/BuilderMessages.h"
#include "builder/controls/OutputNames.h"
#include "builder/controls/Settings.h"
#include "builder/controls/ShellOpen.h"
#include "common/Paths.h"
#include "common/SystemInfo.h"
#include "framework/App.h"
#include "framework/DocView.h"
#include "framework/Files.h"
#include "framework/Seams.h"
#include "script/Commands.h"
#include "script/Objects.h"
#include "wizards/StandardWizard.h"
#include "wizards/ToolDialogs.h"
#include "wizards/WizardHelperDialogs.h"
#include "wizards/WizardToolsResource.h"

namespace {

const char* const kTemplateNames[kOneStepTemplateCount] = {
    "Centered slide show with dissolve effect",
    "Centered slide show with random effects",
    "Drop to center",
    "Fade over each other",
    "Move across the screen",
    "Move to center from corners",
    "Move to center from random positions",
    "Pile at random positions",
    "Pile with effects at random positions",
    "Standard centered slide show",
    "*FLASH* only sequences, centered",
    "*FLASH* and images slide show, flash playing first",
    "*FLASH* and images slide show, flash playing last",
};

const char kOneStepPathEntry[] = "OneStepPath";
const char kOneStepTemplateEntry[] = "OneStepTemplate";
const char kImageLimitEntry[] = "ImageLimit";
constexpr int kDefaultImageLimit = 40;

const char* const kImageExtensions[] = {"bmp", "jpg", "png", "tga", "pcx"};
const char* const kMovieExtensions[] = {"swf"};

// The template bodies' effects and timings.
constexpr int kDissolveEffect = 5;
constexpr int kRandomEffect = 3;
constexpr int kFadeEffect = 66;
constexpr int kMoveSpeed = 99500;

// Sorts without regard to case, as the shell lists names.
void SortPaths(CStringArray& paths) {
  for (int i = 1; i < paths.GetSize(); ++i) {
    const CString item = paths[i];
    int j = i;
    for (; j > 0; --j) {
      const auto* a = reinterpret_cast<const unsigned char*>(static_cast<const char*>(paths[j - 1]));
      const auto* b = reinterpret_cast<const unsigned char*>(static_cast<const char*>(item));
      if (_mbsicmp(a, b) <= 0) break;
      paths[j] = paths[j - 1];
    }
    paths[j] = item;
  }
}

}  // namespace

const char* OneStepTemplateName(int index) {
  return index >= 0 && index < kOneStepTemplateCount ? kTemplateNames[index] : "";
}

CString GetWizardProjectsFolder() {
  CString folder = GetSettingsString(kWizardPathEntry, GetProgramFolder() + "Wizard\\");
  if (folder.IsEmpty() || folder[folder.GetLength() - 1] != '\\') folder += "\\";
  return folder;
}

// ---------------------------------------------------------------------------
// The dialog

const CCommandEntry COneStepDlg::commandEntries[] = {
    CommandEntry(IDC_ONESTEP_HELP, &COneStepDlg::OnHelp),
};
LW_IMPLEMENT_COMMAND_TABLE(COneStepDlg, CCmdDialog)

COneStepDlg::COneStepDlg(HWND parent) : CCmdDialog(IDD_ONESTEP, parent) {}

void COneStepDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_ONESTEP_TREE, m_tree);
  DDX_LBIndex(dx, IDC_ONESTEP_TEMPLATES, m_template);
  DDX_Text(dx, IDC_ONESTEP_NAME, m_name);
}

bool COneStepDlg::OnInitDialog() {
  const HWND list = GetDlgItem(IDC_ONESTEP_TEMPLATES);
  for (const char* name : kTemplateNames)
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  m_template = GetSettingsInt(kOneStepTemplateEntry, kDefaultOneStepTemplate);
  if (m_template < 0 || m_template >= kOneStepTemplateCount) m_template = kDefaultOneStepTemplate;
  CCmdDialog::OnInitDialog();
  m_tree.m_allowOpen = false;
  m_tree.m_allowProperties = false;
  m_tree.m_allowDragDrop = false;
  m_tree.m_showFiles = false;
  m_tree.AttachSystemImageList();
  m_tree.SetSelectedPath(GetSettingsFolder(kOneStepPathEntry), true);
  return true;
}

void COneStepDlg::OnOK() {
  if (!UpdateData(true)) return;
  if (m_name.IsEmpty()) return;
  // The name becomes a folder of the projects folder: one component, which
  // can lead nowhere else.
  if (!IsFileNameComponent(m_name)) {
    AfxMessageBox(FileNameRefusal("folder"), MB_ICONEXCLAMATION);
    GotoDlgCtrl(GetDlgItem(IDC_ONESTEP_NAME));
    return;
  }
  // Nothing chosen, My Computer, the network or a server: no folder to
  // read the pictures or movies from.
  const CString source = m_tree.GetSelectedPath();
  if (source.IsEmpty() || !m_tree.IsFolder(source)) {
    AfxMessageBox("Choose the folder the screen saver's pictures or movies are in (1. Select source "
                  "folder).",
                  MB_ICONEXCLAMATION);
    GotoDlgCtrl(m_tree.GetSafeHwnd());
    return;
  }
  m_sourceFolder = source;
  if (HasSubfolder(GetWizardProjectsFolder(), m_name) &&
      AfxMessageBox("Project with this name already exists, do you want to overwrite existing "
                    "folder with new data?",
                    MB_YESNO) != IDYES)
    return;
  WriteSettingsString(kOneStepPathEntry, m_sourceFolder);
  WriteSettingsInt(kOneStepTemplateEntry, m_template);
  EndDialog(IDOK);
}

bool COneStepDlg::OnHelp(UINT) {
  OpenInShell(GetProgramFolder() + "Help\\OneStep.html", SW_MAXIMIZE);
  return true;
}

// ---------------------------------------------------------------------------
// The builder

COneStepBuilder::COneStepBuilder(HWND target)
    : m_pImagePaths(new CStringArray),
      m_pMoviePaths(new CStringArray),
      m_screenWidth(GetScreenSize().cx),
      m_target(target) {}

COneStepBuilder::~COneStepBuilder() {
  delete m_pImagePaths;
  delete m_pMoviePaths;
}

void COneStepBuilder::Send(CSceneCommand* command) { SendCommandToFrame(m_target, command); }

INT_PTR COneStepBuilder::AskFolderLimit(int limit, int total) {
  CFolderLimitDlg dialog(limit, total, AfxGetMainHwnd());
  return dialog.DoModal();
}

bool COneStepBuilder::LoadFolder(const char* folder, int templateIndex) {
  switch (templateIndex) {
    case 10:
      return LoadMovies(folder);
    case 11:
      return LoadMovies(folder) && LoadImages(folder);
    case 12:
      return LoadImages(folder) && LoadMovies(folder);
    default:
      return LoadImages(folder);
  }
}

bool COneStepBuilder::LoadImages(const char* folder) {
  return CollectPaths(folder, kImageExtensions, 5, "No images in selected folder!", *m_pImagePaths) &&
         LoadObjects(*m_pImagePaths, false);
}

bool COneStepBuilder::LoadMovies(const char* folder) {
  return CollectPaths(folder, kMovieExtensions, 1, "No flash movies in selected folder!",
                      *m_pMoviePaths) &&
         LoadObjects(*m_pMoviePaths, true);
}

bool COneStepBuilder::CollectPaths(const char* folder, const char* const* extensions, int count,
                                   const char* emptyMessage, CStringArray& paths) {
  for (int e = 0; e < count; ++e) {
    CString pattern;
    pattern.Format("%s\\*.%s", folder, extensions[e]);
    WIN32_FIND_DATAA found;
    const HANDLE find = ::FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      CString path;
      path.Format("%s\\%s", folder, OpenableFoundName(found.cFileName, found.cAlternateFileName));
      paths.Add(path);
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
  }
  if (paths.IsEmpty()) {
    AfxMessageBox(emptyMessage);
    return false;
  }
  const int limit = GetSettingsInt(kImageLimitEntry, kDefaultImageLimit);
  if (limit < paths.GetSize()) {
    const INT_PTR answer = AskFolderLimit(limit, paths.GetSize());
    if (answer == IDCANCEL) return false;
    if (answer == IDOK && limit >= 0) paths.RemoveAt(limit, paths.GetSize() - limit);
  }
  SortPaths(paths);
  return true;
}

bool COneStepBuilder::LoadObjects(CStringArray& paths, bool movies) {
  m_skipped = 0;
  for (int i = 0; i < paths.GetSize();) {
    CSceneObject* object = nullptr;
    {
      // A file that cannot be read is counted and told once below, not
      // one message for each.
      CQuietMessages quiet;
      if (movies) {
        auto* movie = new CMediaObject;
        const SIZE frame = movie->LoadMediaFile(paths[i], false) ? movie->GetFlashFrameSize()
                                                                 : SIZE{0, 0};
        if (frame.cx > 0 && frame.cy > 0)
          object = movie;
        else
          delete movie;
      } else {
        auto* picture = new CImageTextObject;
        if (picture->LoadImageFile(paths[i]) && picture->MakeThumbnail())
          object = picture;
        else
          delete picture;
      }
    }
    if (!object) {
      paths.RemoveAt(i);
      ++m_skipped;
      continue;
    }
    m_objects.Add(object);
    Send(object);
    ++i;
  }
  if (m_skipped > 0) {
    CString text;
    if (paths.IsEmpty())
      text = "None of the files in the selected folder could be read.";
    else
      text.Format("%d file(s) in the selected folder could not be read and were left out.",
                  m_skipped);
    AfxMessageBox(text, MB_ICONEXCLAMATION);
  }
  return !paths.IsEmpty();
}

// ---------------------------------------------------------------------------
// Templates

CSceneObject* COneStepBuilder::Object(int index) const {
  return index >= 0 && index < m_objects.GetSize() ? static_cast<CSceneObject*>(m_objects.GetAt(index))
                                                   : nullptr;
}

void COneStepBuilder::SendWait(int milliseconds) {
  auto* wait = new CWaitCommand;
  wait->m_duration.m_milliseconds = milliseconds;
  Send(wait);
}

namespace {

CShowCommand* NewShow(CSceneObject* object, int mode, int effect, int parameter) {
  auto* show = new CShowCommand;
  CMotionAttribute& motion = show->m_ref.m_motion;
  motion.m_startModeX = motion.m_startModeY = mode;
  motion.m_effect = effect;
  motion.m_effectParam = parameter;
  show->SetTarget(object);
  return show;
}

CMoveCommand* NewMove(CSceneObject* object) {
  auto* move = new CMoveCommand;
  CMotionAttribute& motion = move->m_ref.m_motion;
  motion.m_endModeX = motion.m_endModeY = kModeCenter;
  motion.m_moveSpeed = kMoveSpeed;
  move->SetTarget(object);
  return move;
}

CHideCommand* NewHide(CSceneObject* object) {
  auto* hide = new CHideCommand;
  hide->SetTarget(object);
  return hide;
}

SIZE DrawnSize(CSceneObject* object) {
  auto* picture = dynamic_cast<CImageTextObject*>(object);
  return picture ? picture->GetImageSize() : SIZE{0, 0};
}

}  // namespace

void COneStepBuilder::SendShowItem(CSceneObject* object, int effect, int wait, bool cls, bool hide) {
  if (cls) Send(new CClsCommand);
  Send(NewShow(object, kModeCenter, effect, 1000));
  SendWait(wait);
  if (hide) Send(NewHide(object));
}

void COneStepBuilder::SendPlays(int first, int count) {
  for (int k = first; k < first + count; ++k) {
    auto* movie = dynamic_cast<CMediaObject*>(Object(k));
    auto* play = new CPlayCommand;
    CFlashPlayAttribute& flash = play->m_placement.m_flash;
    flash.m_count = 1;
    flash.m_wait = 1;
    flash.m_posX = flash.m_posY = 0;
    flash.m_posModeX = flash.m_posModeY = kModeCenter;
    const SIZE frame = movie ? movie->GetFlashFrameSize() : SIZE{0, 0};
    flash.m_width = frame.cx;
    flash.m_height = frame.cy;
    flash.m_fullScreen = flash.m_timed = flash.m_endless = 0;
    play->SetTarget(movie);
    Send(play);
  }
}

bool COneStepBuilder::Build(int templateIndex) {
  const int images = m_pImagePaths->GetSize();
  const int movies = m_pMoviePaths->GetSize();
  Send(new CRepeatCommand);
  switch (templateIndex) {
    case 0:
    case 1:
      for (int i = 0; i < images; ++i)
        SendShowItem(Object(i), templateIndex == 0 ? kDissolveEffect : kRandomEffect, 3000, true, true);
      break;
    case 2:
      for (int i = 0; i < images; ++i) {
        Send(new CClsCommand);
        CMoveCommand* move = NewMove(Object(i));
        CMotionAttribute& motion = move->m_ref.m_motion;
        motion.m_startModeX = kModeCenter;
        motion.m_startModeY = kModeStored;
        motion.m_startY = -DrawnSize(Object(i)).cy;
        Send(move);
        SendWait(2000);
        Send(NewHide(Object(i)));
      }
      break;
    case 3:
      Send(new CClsCommand);
      for (int i = 0; i < images; ++i) {
        Send(NewShow(Object(i), kModeCenter, kFadeEffect, 500));
        SendWait(2000);
      }
      break;
    case 4:
      for (int i = 0; i < images; ++i) {
        Send(new CClsCommand);
        CMoveCommand* move = NewMove(Object(i));
        CMotionAttribute& motion = move->m_ref.m_motion;
        motion.m_startModeX = motion.m_endModeX = kModeStored;
        motion.m_startModeY = motion.m_endModeY = kModeCenter;
        const int width = DrawnSize(Object(i)).cx;
        const bool fromLeft = i % 2 == 0;
        motion.m_startX = fromLeft ? -width : m_screenWidth + 5;
        motion.m_endX = fromLeft ? m_screenWidth + 5 : -width;
        Send(move);
        Send(NewHide(Object(i)));
      }
      break;
    case 5: {
      // Top left, top right, bottom right, bottom left in turn.
      static const int kCorners[4][2] = {{kModeLeftTop, kModeLeftTop},
                                         {kModeRightBottom, kModeLeftTop},
                                         {kModeRightBottom, kModeRightBottom},
                                         {kModeLeftTop, kModeRightBottom}};
      Send(new CClsCommand);
      for (int i = 0; i < images; ++i) {
        CMoveCommand* move = NewMove(Object(i));
        move->m_ref.m_motion.m_startModeX = kCorners[i % 4][0];
        move->m_ref.m_motion.m_startModeY = kCorners[i % 4][1];
        Send(move);
        SendWait(2000);
      }
      break;
    }
    case 6:
      for (int i = 0; i < images; ++i) {
        Send(new CClsCommand);
        CMoveCommand* move = NewMove(Object(i));
        move->m_ref.m_motion.m_startModeX = move->m_ref.m_motion.m_startModeY = kModeRandom;
        Send(move);
        SendWait(2000);
        Send(NewHide(Object(i)));
      }
      break;
    case 7:
    case 8:
      for (int i = 0; i < images; ++i) {
        Send(NewShow(Object(i), kModeRandomPreserve, templateIndex == 7 ? 0 : kRandomEffect, 1000));
        SendWait(templateIndex == 7 ? 2000 : 1000);
      }
      break;
    case 9:
      for (int i = 0; i < images; ++i) SendShowItem(Object(i), 0, 5000, true, true);
      break;
    case 10:
      SendPlays(0, movies);
      break;
    case 11:
      SendPlays(0, movies);
      for (int i = movies; i < movies + images; ++i)
        SendShowItem(Object(i), kDissolveEffect, 3000, true, true);
      break;
    case 12:
      for (int i = 0; i < images; ++i) SendShowItem(Object(i), kDissolveEffect, 3000, true, true);
      SendPlays(images, movies);
      break;
    default:
      break;
  }
  auto* until = new CUntilCommand;
  until->m_repeat.m_infinite = 1;
  Send(until);
  return true;
}
