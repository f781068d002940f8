// The labels' first line and the script list's line cutting (see
// ListText.h).
#include "script/ListText.h"

#include "framework/Collections.h"
#include "framework/TextFormat.h"
#include "imaging/TextExtent.h"

CString FirstNonEmptyLine(const CString& text) {
  CStringArray lines;
  SplitTextLines(text, lines);
  for (int i = 0; i < lines.GetSize(); ++i) {
    if (!lines[i].IsEmpty()) return lines[i];
  }
  return lines.IsEmpty() ? CString() : lines[lines.GetSize() - 1];
}

void TruncateTextToWidth(HDC dc, CString& text, int& x) {
  const int kLimit = 29980;
  const char kMark[] = "  >>";
  const int markWidth = GetTextExtentOf(dc, kMark, 4).cx;
  const int maxX = kLimit - 20 * GetTextExtentOf(dc, "W", 1).cx - markWidth;
  if (x > maxX) x = maxX;
  if (x + GetTextExtentOf(dc, text, text.GetLength()).cx <= kLimit) return;
  int room = kLimit - x - markWidth;
  int fit = 0;
  SIZE size;
  if (room > 0) GetTextExtentExPointA(dc, text, text.GetLength(), room, &fit, nullptr, &size);
  text = text.Left(fit) + kMark;
}
