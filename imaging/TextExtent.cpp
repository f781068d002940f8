// Line splitting and the extent of a text of several lines in a DC's font.
#include "imaging/TextExtent.h"

void SplitTextLines(const CString& text, CStringArray& lines) {
  lines.RemoveAll();
  int start = 0;
  for (;;) {
    int feed = text.Find('\n', start);
    if (feed < 0) {
      lines.Add(text.Mid(start));
      return;
    }
    int end = feed;
    if (end > start && text[end - 1] == '\r') --end;
    lines.Add(text.Mid(start, end - start));
    start = feed + 1;
  }
}

SIZE GetTextExtentOf(HDC dc, const char* text, int length) {
  SIZE size = {0, 0};
  if (length > 0) GetTextExtentPoint32A(dc, text, length, &size);
  return size;
}

int GetMultiLineTextExtent(HDC dc, const CString& text, RECT* out) {
  CStringArray lines;
  SplitTextLines(text, lines);
  int width = 0;
  for (int i = 0; i < lines.GetSize(); ++i) {
    int w = GetTextExtentOf(dc, lines[i], lines[i].GetLength()).cx;
    if (w > width) width = w;
  }
  int height = lines.GetSize() * GetTextExtentOf(dc, "W", 1).cy;
  SetRect(out, 0, 0, width, height);
  return width != 0 && height != 0;
}
