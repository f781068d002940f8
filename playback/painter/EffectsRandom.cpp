// Effects that reveal units in a random order: Dissolve (4 x 4 blocks),
// Squares (8 x 8 blocks), Random Bars (rows or columns). The units are kept
// in one array; a drawn unit is replaced by the last one, so a full-screen
// Dissolve of over 100,000 units costs linear time.
#include <stdlib.h>

#include "playback/painter/EffectRandom.h"
#include "playback/painter/EffectRun.h"

namespace {

class CUnitList {
 public:
  explicit CUnitList(int count)
      : m_units(static_cast<unsigned*>(malloc(sizeof(unsigned) * (count > 0 ? count : 1)))) {}
  ~CUnitList() { free(m_units); }
  CUnitList(const CUnitList&) = delete;
  CUnitList& operator=(const CUnitList&) = delete;

  bool IsValid() const { return m_units != nullptr; }
  void Add(unsigned unit) { m_units[m_count++] = unit; }
  int Count() const { return m_count; }
  // Takes unit i out of the list, moving the last unit into its place.
  unsigned Take(int i) {
    unsigned unit = m_units[i];
    m_units[i] = m_units[--m_count];
    return unit;
  }

 private:
  unsigned* m_units;
  int m_count = 0;
};

}  // namespace

void RunRandomUnits(CEffectRun& run, int id) {
  const int W = run.W(), H = run.H();
  int block = id == 5 ? 4 : 8;
  int cols = (W + block - 1) / block, rows = (H + block - 1) / block;
  int count = id == 13 ? H : id == 14 ? W : cols * rows;
  CUnitList units(count);
  if (!units.IsValid()) return;
  if (id == 5) {
    // x in the low 16 bits, y in the high 16 bits.
    for (int y = 0; y < H; y += 4)
      for (int x = 0; x < W; x += 4) units.Add(static_cast<unsigned>(x) | (static_cast<unsigned>(y) << 16));
  } else {
    for (int i = 0; i < count; ++i) units.Add(static_cast<unsigned>(i));
  }

  CEffectRandom random;
  while (units.Count() > 0) {
    unsigned unit = units.Take(DrawUnitIndex(random, units.Count()));
    switch (id) {
      case 5:
        run.PutInPlace(static_cast<int>(unit & 0xFFFF), static_cast<int>(unit >> 16), 4, 4);
        if (run.Stopped()) return;
        break;
      case 6: {
        int i = static_cast<int>(unit);
        run.PutInPlace((i / rows) * 8, (i % rows) * 8, 8, 8);
        if (!run.Delay()) return;
        break;
      }
      case 13:
        run.PutInPlace(0, static_cast<int>(unit), W, 1);
        if (!run.Delay()) return;
        break;
      default:
        run.PutInPlace(static_cast<int>(unit), 0, 1, H);
        if (!run.Delay()) return;
        break;
    }
  }
}
