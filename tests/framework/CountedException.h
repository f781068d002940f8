// A framework exception that counts the objects alive, so that a test sees
// whether a caught one was deleted.
#pragma once

#include "framework/Exceptions.h"

class CCountedException : public CException {
 public:
  CCountedException() { ++Live(); }
  ~CCountedException() override { --Live(); }
  CString GetErrorMessage() const override { return "Counted failure."; }

  static int& Live() {
    static int live = 0;
    return live;
  }
};
