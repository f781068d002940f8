// CRandomRange, the seeded generator behind random colours and positions,
// and the comparison operators of the motion's until conditions. Both work
// on the C runtime's rand()/srand(), whose sequence the stored scripts rely on.
#pragma once

#include "framework/Object.h"

class CRandomRange : public CObject {
 public:
  // Seed 0 takes the current time.
  explicit CRandomRange(int seed);
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

// op 0 ">", 1 "<", 2 "=", 3 "<>"; any other op is false.
int CompareByOp(int a, int op, int b);
const char* CompareOpName(int op);
