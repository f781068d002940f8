// The Standard wizard's script generator: the project's action sequences
// become an object section (each distinct item defined once) followed by
// the action commands, optionally inside an endless Repeat/Until loop.
// Commands go to a sink one at a time, each created with its class
// defaults; the sink takes ownership (the main frame appends them to the
// script), and the generator finds already sent objects in the sink's live
// list, so that what it reads is what the script holds.
#pragma once

#include "script/Commands.h"
#include "script/Objects.h"
#include "wizards/WizardSequence.h"

// Where generated commands go.
class CCommandSink {
 public:
  virtual ~CCommandSink() = default;
  // Takes ownership of command and appends it to the script.
  virtual void Send(CSceneCommand* command) = 0;
  // The script as it stands, null when there is none.
  virtual const CCommandList* GetLiveList() const = 0;
};

// A sink that keeps the commands in a list of its own (the preview and
// the tests).
class CListCommandSink : public CCommandSink {
 public:
  void Send(CSceneCommand* command) override { m_commands.Add(command); }
  const CCommandList* GetLiveList() const override { return &m_commands; }
  CCommandList m_commands;
};

class CWizardScriptGenerator {
 public:
  explicit CWizardScriptGenerator(CCommandSink& sink) : m_sink(sink) {}

  // The whole script for sequences; repeat wraps the actions in an endless
  // loop. The preview's script marks its actions with one comment instead
  // of the finished script's two.
  void Generate(const CWizardSequenceArray& sequences, bool repeat, bool preview = false);

  // The object of the live list that stands for the sequence's item: same
  // type, display name (pictures and media) or text (texts), and the same
  // bytes; texts also the same font, colours, background mode and
  // justification. Null when none was sent yet.
  CSceneObject* FindDefinedObject(const CWizardSequence& s) const;

  void EmitMediaSequence(const CWizardSequence& s);
  void EmitDisplaySequence(const CWizardSequence& s);

 private:
  void SendComment(const char* text);
  void DefineObject(const CWizardSequence& s);

  CCommandSink& m_sink;
};

// The comments of the generated script.
extern const char kDefinitionsComment[];   // "Wizard generated definitions of used objects"
extern const char kActionsComment[];       // "Screen saver action commands"
extern const char kPreviewActionsComment[];  // "Screen saver actualy begins here"
