// The speed count: a thread that polls an event with a zero time-out as
// often as it can until it is stopped, counting the polls. One second of it
// is the speed value "Times" that scales every timed step of playback. This
// is the counting mode of the scene thread, kept on its own until the scene
// thread takes it over.
#pragma once

#include <windows.h>

#include "framework/Sync.h"
#include "framework/Thread.h"

class CCountingThread : public CWinThread {
 public:
  // Counts into *times (set to 0 when counting starts).
  explicit CCountingThread(UINT* times);

  // Sets the stop event, lets a suspended thread run, and waits for the
  // thread to end; the object is then the caller's to delete.
  void StopAll();

 protected:
  bool InitInstance() override;
  void Delete() override;  // sets the ended event; never deletes

 private:
  UINT* m_times;
  CEvent m_stop;
  CEvent m_ended;
};
