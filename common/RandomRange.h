// CRandomRange, the seeded generator behind the script's random colours,
// positions and times and the transitions' random orders. It works on the
// C runtime's rand()/srand(), whose sequence the stored scripts rely on.
#pragma once

#include "framework/Object.h"

class CRandomRange : public CObject {
 public:
  // Seed 0 takes the current time.
  explicit CRandomRange(int seed = 0);
  ~CRandomRange() override;

  // (0, 0) means 0 to 32767. Otherwise the bounds are compared as unsigned
  // numbers and refused (false, nothing changes) unless lo < hi.
  bool SetRange(int lo, int hi);
  int Next();

  int m_nLow = 0;
  int m_nHigh = 32767;
  int m_nSeed;
  double m_dScale = 1.0;
  void* m_pBuffer = nullptr;

 private:
  void UpdateScale();
};
