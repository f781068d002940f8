// The editor's way to a command's dialog: one edit entry per command type.
#include "builder/CommandEdit.h"

#include "builder/MediaDialogs.h"
#include "script/Commands.h"

INT_PTR EditSceneCommand(CSceneCommand& command, HWND parent) {
  switch (command.GetType()) {
    case kTypeMedia:
      return EditMediaCommand(command, parent);
    case kTypePlay:
      return EditPlayCommand(command, parent);
    case kTypeStop:
      return EditStopCommand(command, parent);
    default:
      return IDCANCEL;
  }
}
