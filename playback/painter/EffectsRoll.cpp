// Rolls: the picture unrolls from an edge like a sheet, the roll (10 % of
// the picture's width or height) showing the picture mirrored underneath
// it; Roll Horizontal and Vertical unroll two sheets toward the middle.
#include "playback/painter/EffectRun.h"

namespace {

// One roll over lines 0 .. length - 1 of a line space; Place maps a line
// of that space to the picture.
class CRoll {
 public:
  CRoll(CEffectRun& run, bool rows, bool reversed, int length, int roll, int every)
      : m_run(run), m_rows(rows), m_reversed(reversed), m_length(length), m_roll(roll),
        m_every(every) {}

  // Fronts 0 .. Fronts() - 1: the last one settles the last line. Lines
  // are placed behind the front, so with no roll (a span under 10 lines)
  // the front still has to pass the last line once.
  int Fronts() const { return m_length + (m_roll > 0 ? m_roll : 1); }

  // The front at f: lines up to f - roll settle in place, the lines under
  // the roll show the picture mirrored. False once a stop is requested.
  bool Step(int f) {
    int b = f - m_roll > 0 ? f - m_roll : 0;
    for (int c = m_settled; c < f && c < m_length; ++c) {
      if (c <= b) {
        Place(c, c);
        m_settled = c;
      } else if (b + f - c < m_length) {
        Place(c, b + f - c);
      } else {
        continue;
      }
      if (m_every > 0 && !m_run.DelayEvery(++m_count, m_every)) return false;
    }
    return !m_run.Stopped();
  }

 private:
  void Place(int line, int source) {
    int span = m_rows ? m_run.H() : m_run.W();
    if (m_reversed) {
      line = span - 1 - line;
      source = span - 1 - source;
    }
    if (m_rows) m_run.Put(0, line, m_run.W(), 1, 0, source);
    else m_run.Put(line, 0, 1, m_run.H(), source, 0);
  }

  CEffectRun& m_run;
  bool m_rows, m_reversed;
  int m_length, m_roll, m_every;
  int m_settled = 0;
  int m_count = 0;
};

}  // namespace

void RunRoll(CEffectRun& run, int id) {
  const bool rows = id == 84 || id == 85 || id == 87;
  const int span = rows ? run.H() : run.W();
  const int roll = span / 10;
  if (id == 86 || id == 87) {
    // Two sheets from opposite edges, the first taking the odd middle line.
    int first = (span + 1) / 2;
    CRoll a(run, rows, false, first, roll, id == 86 ? 50 : 0);
    CRoll b(run, rows, true, span - first, roll, id == 86 ? 50 : 0);
    for (int f = 0; f < a.Fronts(); ++f) {
      if (!a.Step(f) || !b.Step(f)) return;
      if (id == 87 && !run.DelayRoll()) return;
    }
    return;
  }
  const bool reversed = id == 83 || id == 85;
  CRoll sheet(run, rows, reversed, span, roll, rows ? 0 : 75);
  for (int f = 0; f < sheet.Fronts(); ++f) {
    if (!sheet.Step(f)) return;
    if (rows && !run.DelayRoll()) return;
  }
}
