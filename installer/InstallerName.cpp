// The installer's names from its own path.
#include "installer/InstallerName.h"

#include "common/Paths.h"

namespace installer {

namespace {

constexpr int kCaptionNameLength = 25;

bool EndsWithExe(const CString& name) {
  return name.GetLength() >= 4 && name.Right(4).CompareNoCase(".exe") == 0;
}

}  // namespace

CString SaverName(const char* path) {
  CString name = GetFileName(path);
  if (EndsWithExe(name)) name.Truncate(name.GetLength() - 4);
  return name;
}

CString InstalledFileName(const char* path) {
  CString name = SaverName(path);
  name += ".scr";
  return name;
}

CString WindowCaption(const char* path) {
  CString name = SaverName(path);
  if (name.GetLength() > kCaptionNameLength) name.Truncate(kCaptionNameLength);
  CString caption;
  caption.Format("%s - Quenlark", name.GetString());
  return caption;
}

}  // namespace installer
