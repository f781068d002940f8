// How a make went, told to the user.
#include "builder/controls/SaverMakeResult.h"

#include "builder/controls/ControlsResource.h"
#include "framework/DocView.h"
#include "framework/Seams.h"
#include "wizards/SaverMaker.h"

void ShowSaverMakeResult(bool made, const CSaverMaker& maker, const char* output) {
  CString text;
  if (made) {
    text.Format(LoadResourceString(IDS_SAVER_CREATED, "Screen saver\n%s\nis succesfully created."),
                output);
    AfxMessageBox(text, MB_ICONINFORMATION);
    return;
  }
  if (maker.m_lastErrorShown) return;
  text = LoadResourceString(IDS_SAVER_NOT_CREATED, "Screen saver cannot be created.");
  text += "\n\n";
  text += maker.m_lastErrorMessage;
  if (maker.m_lastErrorCode != 0) text.AppendFormat("\n(error code %d)", maker.m_lastErrorCode);
  AfxMessageBox(text, MB_ICONSTOP);
}
