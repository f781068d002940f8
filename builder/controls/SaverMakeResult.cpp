// How a make went, told to the user.
#include "builder/controls/SaverMakeResult.h"

#include "builder/controls/ControlsResource.h"
#include "framework/App.h"
#include "framework/DocView.h"
#include "framework/Seams.h"

void ShowSaverMakeResult(bool made, const char* output, bool errorShown, const char* errorMessage,
                         int errorCode) {
  CString text;
  if (made) {
    text.Format(LoadResourceString(IDS_SAVER_CREATED, "Screen saver\n%s\nis succesfully created."),
                output);
    AfxMessageBox(text, MB_ICONINFORMATION);
    return;
  }
  if (errorShown) return;
  text = LoadResourceString(IDS_SAVER_NOT_CREATED, "Screen saver cannot be created.");
  text += "\n\n";
  text += errorMessage;
  if (errorCode != 0) text.AppendFormat("\n(error code %d)", errorCode);
  AfxMessageBox(text, MB_ICONSTOP);
}
