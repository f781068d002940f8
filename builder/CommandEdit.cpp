// The editor's way to a command's dialog: each command type goes to the
// Edit of its dialog family, which runs the dialog on a working copy and
// copies it back on OK.
#include "builder/CommandEdit.h"

#include "builder/MediaDialogs.h"
#include "builder/ObjectDialogs.h"
#include "builder/SmallDialogs.h"
#include "script/Commands.h"

INT_PTR EditSceneCommand(CSceneCommand& command, HWND parent) {
  switch (command.GetType()) {
    case kTypeImageText:
      return EditImageTextCommand(command, parent);
    case kTypeShow:
    case kTypeMove:
    case kTypeHide:
      return EditTargetCommand(command, parent);
    case kTypeLine:
      return EditLineCommand(command, parent);
    case kTypeWait:
      return EditWaitCommand(command, parent);
    case kTypeCls:
      return EditClsCommand(command, parent);
    case kTypeRepeat:
      return EditRepeatCommand(command, parent);
    case kTypeUntil:
      return EditUntilCommand(command, parent);
    case kTypeComment:
      return EditCommentCommand(command, parent);
    case kTypeUrl:
      return EditUrlCommand(command, parent);
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
