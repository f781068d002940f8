// The command model: the root CSceneCommand, the owning and non-owning
// command collections, and the twelve action commands. Image/Text and
// Multimedia/Flash objects are in Objects.h.
//
// Targets: Show, Move and Hide target an Image/Text object, Play and Stop a
// Multimedia/Flash object. SetTarget is the one way to change a target: it
// unregisters the command from its old object and registers it with the new
// one; deleting a command unregisters it, and deleting an object clears the
// target of every command that referred to it.
#pragma once

#include "framework/Collections.h"
#include "script/Attributes.h"
#include "script/PlayContext.h"

class CDC;
class CPlayContext;
class CCommandList;

enum CommandType {
  kTypeImageText = 0,
  kTypeShow = 1,
  kTypeMove = 2,
  kTypeHide = 3,
  kTypeWait = 4,
  kTypeCls = 5,
  kTypeRepeat = 6,
  kTypeUntil = 7,
  kTypeLine = 8,
  kTypeMedia = 9,
  kTypePlay = 10,
  kTypeStop = 11,
  kTypeComment = 12,
  kTypeUrl = 13,
  kCommandTypeCount = 14
};

// "Image/Text", "Show", ... by type code; "?" outside 0 to 13.
const char* GetCommandTypeName(int type);

class CSceneCommand : public CObject {
 public:
  explicit CSceneCommand(int type);

  // Copies the values of a command of the same class (the root: comment and
  // indent level only).
  virtual void CopyFrom(const CSceneCommand& other);
#if LW_SCRIPT_EDITING
  virtual CArchive& Write(CArchive& ar) const;
#endif
  virtual CArchive& Read(CArchive& ar, const CSceneVersion& ver);
  // Called for every command of `script` before a run: 1 when the command
  // can play, 0 to refuse the run (after showing its own message).
  virtual int Prepare(const CCommandList& script);
#if LW_SCRIPT_EDITING
  // Appends the command's one-line label.
  virtual void Describe(CString& out) const;
#endif
  // Plays the command; `index` is the player's position, which the command
  // may change. Returns nonzero when it did visible work. The playing
  // commands override it with the playback code.
  virtual int Execute(CDC* dc, int* index, CPlayContext* ctx);
  // A new command of the same class with default values, or null.
  virtual CSceneCommand* Clone() const = 0;
  virtual void AddReferrer(CSceneCommand* cmd) {}
  virtual void SetTarget(CSceneObject* object) {}
  // Forgets the target without unregistering.
  virtual void ClearTarget() {}
  virtual CSceneObject* GetTarget() const { return nullptr; }
  virtual int GetTargetId() const { return -1; }
  virtual void SetDisabled(int flag) { m_disabled = flag ? 1 : 0; }
  virtual int IsDisabled() const { return m_disabled; }

  int GetId() const { return m_id; }
  void SetId(int id) { m_id = id; }
  int GetType() const { return m_type; }
  // The object types a targeting command accepts, -1 for other commands.
  int GetTargetType() const;

  CStringAttribute m_comment;
  int m_indent = 0;
  const int m_type;
  int m_id = -1;
  int m_disabled = 0;

 protected:
  // The root's part of Prepare: disabled, or the comment is ready.
  int PrepareRoot() { return m_disabled || m_comment.Prepare(); }
};

// A non-owning link from an object to a command that refers to it.
class CCommandLink : public CObject {
 public:
  explicit CCommandLink(CSceneCommand* command) : m_pCommand(command) {}
  CSceneCommand* m_pCommand;
};

// The live list and every list that owns its commands: deletes them first
// to last.
class CCommandList : public CObArray {
 public:
  CCommandList() = default;
  ~CCommandList() override;
  // Deletes every command and empties the list (the document's
  // DeleteContents). Whatever the order of objects and the commands that
  // target them, no command reaches a deleted one: each deletion unlinks.
  void DeleteAll();
  CSceneCommand* GetCommand(int index) const { return static_cast<CSceneCommand*>(GetAt(index)); }
  // Every command's id becomes its position.
  void NumberCommands() const;
};

// A command list as a player runs it (see CPlayList): the list is read at
// every call, so commands added or removed between rounds are seen.
class CCommandListPlay : public CPlayList {
 public:
  explicit CCommandListPlay(const CCommandList& list) : m_list(list) {}
  int GetCount() const override { return m_list.GetSize(); }
  int Play(int i, CDC* dc, int* index, CPlayContext* ctx) override;

 private:
  const CCommandList& m_list;
};

// An owning array for referrer links and command batches: deletes its
// elements last to first.
class CCommandArray : public CObArray {
 public:
  CCommandArray() = default;
  ~CCommandArray() override;
  void DeleteAll();
};

// 1 when `pointer` is an element of the array.
int CommandListContains(const CObArray& array, const CObject* pointer);

// Nesting levels for the script list: a Repeat gets the running sum and then
// adds the tab size; an Until first subtracts it; a negative sum becomes 0.
void UpdateIndentLevels(const CCommandList& list, int tabSize);

// A command whose settings are one attribute: copy, write, read, prepare and
// describe are the root's followed by the attribute's.
class CAttributeCommand : public CSceneCommand {
 public:
  void CopyFrom(const CSceneCommand& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  int Prepare(const CCommandList& script) override;
  LW_SCRIPT_DESCRIBE_OP

 protected:
  CAttributeCommand(int type, CCommandAttribute* attribute);
  CCommandAttribute* const m_pAttribute;
};

// Show, Move, Hide, Play and Stop: the attribute holds the target.
class CTargetingCommand : public CAttributeCommand {
 public:
  void SetTarget(CSceneObject* object) override;
  void ClearTarget() override;
  CSceneObject* GetTarget() const override { return m_pRef->m_pTarget; }
  int GetTargetId() const override;

 protected:
  CTargetingCommand(int type, CTargetRefAttribute* ref);
  // Unregisters from the target; each class calls it from its destructor,
  // while its attribute still exists.
  void Unlink();
  CTargetRefAttribute* const m_pRef;
};

class CShowCommand : public CTargetingCommand {
 public:
  CShowCommand();
  ~CShowCommand() override { Unlink(); }
  LW_SCRIPT_DESCRIBE_OP
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CObjectRefAttribute m_ref;
};

class CMoveCommand : public CTargetingCommand {
 public:
  CMoveCommand();
  ~CMoveCommand() override { Unlink(); }
  LW_SCRIPT_DESCRIBE_OP
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CObjectRefAttribute m_ref;
};

class CHideCommand : public CTargetingCommand {
 public:
  CHideCommand();
  ~CHideCommand() override { Unlink(); }
  LW_SCRIPT_DESCRIBE_OP
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CObjectRefAttribute m_ref;
};

class CWaitCommand : public CAttributeCommand {
 public:
  CWaitCommand();
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CDurationAttribute m_duration;
};

class CClsCommand : public CAttributeCommand {
 public:
  CClsCommand();
  LW_SCRIPT_DESCRIBE_OP
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CColourAttribute m_colour;
};

class CRepeatCommand : public CSceneCommand {
 public:
  CRepeatCommand() : CSceneCommand(kTypeRepeat) {}
  LW_SCRIPT_DESCRIBE_OP
  CSceneCommand* Clone() const override;
};

class CUntilCommand : public CAttributeCommand {
 public:
  CUntilCommand();
  // Finds the Repeat that opens the loop and resets the counter; refuses an
  // Until without one ("Missing repeat command.").
  int Prepare(const CCommandList& script) override;
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CRepeatCountAttribute m_repeat;
  int m_loopStart = -1;
};

class CLineCommand : public CSceneCommand {
 public:
  CLineCommand();
  void CopyFrom(const CSceneCommand& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  int Prepare(const CCommandList& script) override;
  LW_SCRIPT_DESCRIBE_OP
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CMotionAttribute m_motion;
  CColourAttribute m_colour;
  int m_penStyle = 0;  // PS_SOLID to PS_DASHDOTDOT
  int m_penWidth = 1;
};

class CPlayCommand : public CTargetingCommand {
 public:
  CPlayCommand();
  ~CPlayCommand() override { Unlink(); }
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CPlacementAttribute m_placement;
};

class CStopCommand : public CTargetingCommand {
 public:
  CStopCommand();
  ~CStopCommand() override { Unlink(); }
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  CMediaRefAttribute m_ref;
};

class CCommentCommand : public CSceneCommand {
 public:
  CCommentCommand() : CSceneCommand(kTypeComment) {}
  void CopyFrom(const CSceneCommand& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  LW_SCRIPT_DESCRIBE_OP
  CSceneCommand* Clone() const override;

  CString m_text;
};

// Url keys: -1 none chosen, 0 Enter, 1 F12, 2 Space, 3 any of them.
class CUrlCommand : public CSceneCommand {
 public:
  CUrlCommand();
  void CopyFrom(const CSceneCommand& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  LW_SCRIPT_DESCRIBE_OP
  int Execute(CDC* dc, int* index, CPlayContext* ctx) override;
  CSceneCommand* Clone() const override;

  int m_monitoringOff = 0;
  int m_keys = -1;
  CString m_location;
};

extern const char kMissingRepeatMessage[];  // "Missing repeat command."
