// The picture layer's visible reports. They go through the framework's
// message-box seam unless the calling thread has silenced them: a scene
// thread playing full screen must never stop for a box.
#include <windows.h>

#include "framework/Seams.h"
#include "imaging/RgbImage.h"

namespace {

// One thread-local slot, 0 (reports shown) on every thread until set.
DWORD QuietSlot() {
  static const DWORD slot = ::TlsAlloc();
  return slot;
}

}  // namespace

bool SetImageLibMessagesQuiet(bool quiet) {
  const DWORD slot = QuietSlot();
  if (slot == TLS_OUT_OF_INDEXES) return false;
  const bool was = ::TlsGetValue(slot) != nullptr;
  ::TlsSetValue(slot, quiet ? reinterpret_cast<void*>(1) : nullptr);
  return was;
}

void ShowImageLibMessage(const char* text) {
  const DWORD slot = QuietSlot();
  if (slot != TLS_OUT_OF_INDEXES && ::TlsGetValue(slot) != nullptr) return;
  LwMessageBox(nullptr, text, GetAppCaption(), MB_OK);
}

CString ShowImageLibError(int code) { return CString(GetImageErrorText(code)); }
