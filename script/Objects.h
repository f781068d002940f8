// The two object commands: the Image/Text display object and the
// Multimedia/Flash media object. They do nothing when the player reaches
// them; the commands that act on them register in their referrer lists.
// Their drawing and playing belong to the playback code.
#pragma once

#include "script/Commands.h"

// The common part of the two objects: the non-owning referrer list.
class CSceneObject : public CSceneCommand {
 public:
  // Clears the target of every command that still refers to this object.
  ~CSceneObject() override;

  // Appends a link to cmd unless it is already linked.
  void AddReferrer(CSceneCommand* cmd) override;
  // Drops the first link to cmd and clears cmd's target.
  void RemoveReferrer(CSceneCommand* cmd);
  int GetReferrerCount() const { return m_referrers.GetSize(); }
  CSceneCommand* GetReferrer(int index) const {
    return static_cast<CCommandLink*>(m_referrers.GetAt(index))->m_pCommand;
  }
#if LW_SCRIPT_EDITING
  // The second pass of the document: int n, then the n referrers' ids.
  void WriteReferrers(CArchive& ar) const;
#endif
  // Reads the referrer ids and targets those commands of `list` at this
  // object; refuses ids outside the list, commands of the wrong type and
  // commands already linked (bad schema).
  void ReadReferrers(CArchive& ar, const CCommandList& list);

  int Execute(CDC* dc, int* index, CPlayContext* ctx) override { return 0; }

  // The object's display name ("?" when it has none, for the labels).
  virtual void GetListLabel(CString& out, bool shortForm) const = 0;

  CCommandArray m_referrers;

 protected:
  explicit CSceneObject(int type) : CSceneCommand(type) {}
  // True when the object and every command that refers to it are disabled:
  // then Prepare has nothing to check.
  bool IsIdle() const;
};

// The on-disk LOGFONTA: 60 bytes, little-endian, the face name terminated.
constexpr int kStoredLogFontSize = 60;
void StoreLogFont(const LOGFONTA& font, uint8_t out[kStoredLogFontSize]);
void LoadLogFont(const uint8_t in[kStoredLogFontSize], LOGFONTA& font);
// "MS Sans Serif", height -11, all else 0.
LOGFONTA DefaultLogFont();

class CImageTextObject : public CSceneObject {
 public:
  CImageTextObject();
  ~CImageTextObject() override;

  void CopyFrom(const CSceneCommand& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  int Prepare(const CCommandList& script) override;
  LW_SCRIPT_DESCRIBE_OP
  CSceneCommand* Clone() const override;
  void GetListLabel(CString& out, bool shortForm) const override;

  bool IsText() const { return m_kind == 1; }
  SIZE GetImageSize() const { return m_drawnSize; }
  // Takes the picture bytes (a data block) and frees the old ones.
  void SetPicture(uint8_t* block, uint32_t size);
  // Reads a picture file whole; 0 when it cannot be read (after a message).
  int LoadImageFile(const char* path);

  COLORREF m_textColour;
  COLORREF m_bkColour = 0xE0E0E0;
  LOGFONTA m_font;
  int m_bkMode = 0;  // 0 transparent, else opaque
  int m_kind = 0;    // 1 text, 0 picture
  CString m_text;
  CString m_displayName;
  uint32_t m_pictureSize = 0;
  uint8_t* m_pPicture = nullptr;  // a data block, owned
  int m_imageSource = 1;          // 1 file, 2 desktop, 3 wallpaper
  SIZE m_drawnSize = {0, 0};      // set by Prepare
  int m_width = 0, m_height = 0;  // 0, 0: the picture's own size
  int m_fullScreen = 0;
  int m_keepAspect = 0;
  int m_justification = 0;  // 0 left, 1 centred, 2 right
  int m_drawn = 0;          // 1 while on the screen
  // Run-time motions and colour given by the acting Show or Move.
  CMotionAttribute m_lastMotion;
  CMotionAttribute m_moveMotion;
  CMotionAttribute m_currentMotion;
  CColourAttribute m_currentColour;
};

// r := max(w / boxW, h / boxH); returns (w / r, h / r) truncated; enlarges
// as well as shrinks. A zero-sized box or picture leaves (w, h).
SIZE FitToBox(int w, int h, int boxW, int boxH);

// Measures an object for Prepare (renders its text, decodes its picture) and
// sets its drawn size; 0 refuses the run. The imaging code installs the real
// one; until then the drawn size stays as it is.
using ImageTextMeasureFn = int (*)(CImageTextObject& object);
void SetImageTextMeasure(ImageTextMeasureFn measure);

enum MediaKind {
  kMediaAudio = 0,
  kMediaVideo = 1,
  kMediaMp3 = 2,
  kMediaFlash = 3,
  kMediaMidi = 4
};

class CMediaObject : public CSceneObject {
 public:
  CMediaObject() : CSceneObject(kTypeMedia) {}
  ~CMediaObject() override;

  void CopyFrom(const CSceneCommand& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  int Prepare(const CCommandList& script) override;
  LW_SCRIPT_DESCRIBE_OP
  CSceneCommand* Clone() const override;
  void GetListLabel(CString& out, bool shortForm) const override;

  void SetMedia(uint8_t* block, uint32_t size);
  // Reads a media file whole and sets the kind from its extension; 0 when it
  // cannot be read (after a message).
  int LoadMediaFile(const char* path, bool showMessages);
  // The movie's frame size in pixels for a Flash movie; (0, 0) when the
  // bytes are not a readable SWF header.
  SIZE GetFlashFrameSize() const;

  uint8_t* m_pData = nullptr;  // a data block, owned
  uint32_t m_dataSize = 0;
  CString m_displayName;
  int m_kind = kMediaAudio;
  int m_playing = 0;
};

// The media kind of a file name's extension ("avi" 1, "mp3" 2, "swf" 3,
// "mid" 4, else 0), compared without case.
int MediaKindFromPath(const char* path);
// The SWF frame size of a movie in memory ("FWS" or "CWS"), or (0, 0).
SIZE ReadSwfFrameSize(const uint8_t* bytes, uint32_t size);
