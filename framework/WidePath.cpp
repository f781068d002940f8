// Wide names made into ANSI ones: the exact ANSI form of a name when the
// code page holds it, else the system's short name of the file. A best-fit
// conversion would give a name that looks right and opens another file, so
// a conversion only counts when it comes back to the same wide text.
#include <windows.h>

#include "framework/Files.h"

namespace {

// The ANSI form of count wide characters when it converts back exactly;
// else with the code page's default character for what it cannot hold
// (never a best fit).
bool ExactAnsi(const wchar_t* text, int count, CString& ansi) {
  ansi.Empty();
  if (count == 0) return true;
  const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, count, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  char* buffer = ansi.GetBuffer(bytes);
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, count, buffer, bytes, nullptr, nullptr);
  ansi.ReleaseBuffer(bytes);
  const int back = ::MultiByteToWideChar(CP_ACP, 0, ansi, bytes, nullptr, 0);
  if (back != count) return false;
  wchar_t* wide = static_cast<wchar_t*>(::HeapAlloc(::GetProcessHeap(), 0, back * sizeof(wchar_t)));
  if (!wide) return false;
  ::MultiByteToWideChar(CP_ACP, 0, ansi, bytes, wide, back);
  bool same = true;
  for (int i = 0; i < count && same; ++i) same = wide[i] == text[i];
  ::HeapFree(::GetProcessHeap(), 0, wide);
  return same;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

bool AnsiPathFromWide(const wchar_t* path, CString& ansi) {
  if (!path) path = L"";
  if (ExactAnsi(path, lstrlenW(path), ansi)) return true;
  wchar_t shortPath[MAX_PATH];
  const DWORD length = ::GetShortPathNameW(path, shortPath, MAX_PATH);
  if (length != 0 && length < MAX_PATH && ExactAnsi(shortPath, static_cast<int>(length), ansi))
    return true;
  ansi.Empty();
  return false;
}

CString AnsiCommandLineFromWide(const wchar_t* args) {
  if (!args) args = L"";
  CString line;
  if (ExactAnsi(args, lstrlenW(args), line)) return line;
  // Argument by argument: one the code page cannot hold is the name of a
  // file (quotes cannot be part of one), given by its short name.
  line.Empty();
  const wchar_t* p = args;
  while (*p) {
    const wchar_t* start = p;
    while (IsBlank(*p)) ++p;
    bool quoted = false;
    const wchar_t* end = p;
    while (*end && (quoted || !IsBlank(*end))) {
      if (*end == L'"') quoted = !quoted;
      ++end;
    }
    CString blanks, piece;
    ExactAnsi(start, static_cast<int>(p - start), blanks);
    line += blanks;
    if (ExactAnsi(p, static_cast<int>(end - p), piece)) {
      line += piece;
    } else {
      const int count = static_cast<int>(end - p);
      wchar_t* name = static_cast<wchar_t*>(::HeapAlloc(::GetProcessHeap(), 0, (count + 1) * sizeof(wchar_t)));
      int length = 0;
      for (const wchar_t* q = p; name && q < end; ++q)
        if (*q != L'"') name[length++] = *q;
      if (name) name[length] = 0;
      CString path;
      if (name && AnsiPathFromWide(name, path)) {
        line += '"';
        line += path;
        line += '"';
      } else {
        // Kept with the code page's stand-ins, which name no file.
        line += piece;
      }
      if (name) ::HeapFree(::GetProcessHeap(), 0, name);
    }
    p = end;
  }
  return line;
}

bool IsOutsideCodePage(const char* name) { return name && strchr(name, '?') != nullptr; }

const char* OpenableFoundName(const char* name, const char* shortName) {
  return IsOutsideCodePage(name) && shortName && *shortName ? shortName : name;
}
