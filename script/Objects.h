// The two object commands: the Image/Text display object and the
// Multimedia/Flash media object. They do nothing when the player reaches
// them; the commands that act on them register in their referrer lists.
// The Image/Text object's drawing (Show, Move and Hide) is in
// ObjectDraw.cpp; the media players belong to the playback code.
#pragma once

#include "framework/Gdi.h"
#include "imaging/RgbImage.h"
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

#if LW_SCRIPT_EDITING
  // The object's display name ("?" when it has none, for the labels).
  virtual void GetListLabel(CString& out, bool shortForm) const = 0;
#endif

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

// A piece of the screen kept in a memory DC together with the place it was
// taken from: the background under a shown object (put back by Hide) or
// the whole screen while an object moves.
class CSavedScreen {
 public:
  // Copies the area of dc, cut to the screen; false when nothing could be
  // kept (an empty area or no memory for the bitmap).
  bool Save(CDC* dc, const RECT& area, SIZE screen);
  // Copies the kept area back to the place it came from.
  void Restore(CDC* dc) const;
  void Release();
  bool IsSaved() const { return m_dc.GetSafeHdc() != nullptr; }
  CDC* DC() { return &m_dc; }
  const RECT& Area() const { return m_area; }

 private:
  CBitmap m_bitmap;  // declared first: the DC lets go of it before it goes
  CDC m_dc;
  RECT m_area = {0, 0, 0, 0};
};

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
  LW_SCRIPT_LABEL_OP

  bool IsText() const { return m_kind == 1; }
  SIZE GetImageSize() const { return m_drawnSize; }
  // Takes the picture bytes (a data block) and frees the old ones.
  void SetPicture(uint8_t* block, uint32_t size);
  // Reads a picture file whole; 0 when it cannot be read (after a message).
  int LoadImageFile(const char* path);
  // The DrawText flags of the justification.
  UINT GetTextFormat() const;
#if LW_SCRIPT_EDITING
  // Decodes the picture and scales it into a new thumbnail, which replaces
  // the old one; the drawn size becomes the picture's own. 0, and no
  // thumbnail, when the picture cannot be decoded (after the picture
  // library's message).
  int MakeThumbnail();
  // A new picture from a file: read and made into a thumbnail apart from
  // the object, which takes it (bytes, display name, thumbnail, drawn size
  // and the image source) only when both succeed. 0 leaves the object as
  // it was, after the reading's or the library's message.
  int TakePictureFile(const char* path, int imageSource);
  // Composes the desktop's background at screen size (the desktop colour,
  // then the wallpaper centred, tiled with the current colour's raster
  // operation, or stretched) and writes it as a JPEG of quality 100 to
  // path. False when it could not be made or written (no file is left).
  bool CaptureWallpaper(const char* path) const;
#endif
  bool IsTransparentText() const { return IsText() && m_bkMode == 0; }

  // ---- playing (ObjectDraw.cpp), on the scene thread but for
  // ResetDrawing ----
  // The size the object is drawn at on a screen of this size: a text its
  // rendered size; a full-screen picture the screen (fitted with keep
  // aspect); a picture with a width or height that size (a side left 0
  // keeps the picture's own); otherwise the picture's own size.
  SIZE GetTargetSize(SIZE screen) const;
  // Before a drawing: the saver runtime replaces a desktop or wallpaper
  // picture by its own capture of this machine (once); the builder draws
  // what the document holds.
  void TakeSourcePicture();
  // Draws the object at the current motion's position with its effect
  // (Random Effect drawn anew as 4 to 87). 0 when there is no picture or
  // it could not be made ("Image conversion failed, skipping this image"
  // shown).
  int Draw(CDC* dc, CPlayContext* ctx);
  // Letter by letter: draws the text up to and including the next visible
  // character from *index (which skips line breaks); true while characters
  // remain after it.
  bool DrawLetters(CDC* dc, CPlayContext* ctx, int* index);
  // One step of a Move: the object goes from its current position to the
  // motion's, over the background kept at the start of the move (or the
  // output's background colour), without flicker.
  void MoveStep(CDC* dc, const CMotionAttribute& motion, CPlayContext* ctx);
  // Fills what the object covers with the output's background colour.
  void Erase(CDC* dc, CPlayContext* ctx);

  // A Move: keeps the screen as the move finds it (without the object,
  // where its background was kept) and the object's picture until EndMove.
  void BeginMove(CDC* dc, SIZE screen);
  // False when the picture could not be made for the move.
  bool IsReadyToMove() const;
  void EndMove();
  // Keeps the screen under area for Hide (during a move: from the move's
  // snapshot), replacing what was kept before.
  void SaveBackground(CDC* dc, const RECT& area, SIZE screen);
  // Hide with restore-after-hide: puts back the kept background; false
  // when none was kept.
  bool RestoreBackground(CDC* dc, CPlayContext* ctx);
  // Forgets every trace of an earlier run (called by Prepare).
  void ResetDrawing();

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
  // The picture scaled to kThumbnailWidth x kThumbnailHeight, 3 bytes a
  // pixel, rows top-down (new[], owned); null until the builder makes one.
  // Not stored: it is made again from the picture.
  uint8_t* m_pThumbnail = nullptr;
  uint32_t m_thumbnailSize = 0;
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

  // Run-time drawing state (not copied, not stored).
  RECT m_drawnRect = {0, 0, 0, 0};  // the screen area the last drawing covered
  CSavedScreen m_savedBackground;   // under the object, for Hide and letters
  CSavedScreen m_moveScreen;        // the screen at the start of a Move
  CBitmap m_moveBitmap;             // the picture during a Move
  SIZE m_moveBitmapSize = {0, 0};
  CRgbImage m_rgbImage;             // the keyed text during a Move

 private:
  // Renders the text (or its first `length` characters) into image.
  bool RenderText(CRgbImage& image, int length = -1);
  // Measures the object for Prepare: renders the text or decodes the
  // picture and sets the drawn size.
  int Measure();
  // The object's picture at size as a bitmap compatible with dc; a keyed
  // text is composed over what dc shows at (x, y). Null on failure.
  HBITMAP MakeBitmap(CDC* dc, SIZE size, int x, int y);
  // Draws the object whole and plainly with its top-left at (x, y) of dc.
  bool DrawPlain(CDC* dc, int x, int y, SIZE size);
};

// An Image/Text object's thumbnail.
constexpr int kThumbnailWidth = 160, kThumbnailHeight = 120;
constexpr uint32_t kThumbnailBytes = kThumbnailWidth * kThumbnailHeight * 3;

// r := max(w / boxW, h / boxH); returns (w / r, h / r) truncated; enlarges
// as well as shrinks. A zero-sized box or picture leaves (w, h).
SIZE FitToBox(int w, int h, int boxW, int boxH);

// The screen the objects are drawn on: the size of the screen's DC (the
// pick source's, so that tests can choose it).
SIZE GetPlayScreenSize();
// Pictures are drawn only up to this many pixels and this many on a side:
// anything larger is skipped as a failed conversion.
constexpr int kMaxDrawSide = 16384;
constexpr int kMaxDrawPixels = 32 * 1024 * 1024;
// The area of an object of size (at most kMaxDrawSide + 1 a side) placed at
// (x, y); positions far off any screen are brought nearer, so that nothing
// overflows.
RECT GetObjectArea(int x, int y, SIZE size);

extern const char kConversionFailedMessage[];  // "Image conversion failed, skipping this image"
extern const char kTextBitmapMessage[];        // "\ntext bitmap cannot be made."

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
  LW_SCRIPT_LABEL_OP

  void SetMedia(uint8_t* block, uint32_t size);
  // Reads a media file whole and sets the kind from its extension; 0 when it
  // cannot be read (after a message). An MP3 is test-decoded on the sound
  // device: when the codec is missing, the decoding fails or the device is
  // busy the bytes are dropped, 0 is returned and, when asked, that is
  // shown.
  int LoadMediaFile(const char* path, bool showMessages);
#if LW_SCRIPT_EDITING
  // The same load into a scratch object, taken (bytes, name and kind) only
  // when it succeeds: a file that fails leaves this object as it was.
  int TakeMediaFile(const char* path, bool showMessages);
#endif
  // The movie's frame size in pixels for a Flash movie; (0, 0) when the
  // bytes are not a readable SWF header.
  SIZE GetFlashFrameSize() const;

  uint8_t* m_pData = nullptr;  // a data block, owned
  uint32_t m_dataSize = 0;
  CString m_displayName;
  int m_kind = kMediaAudio;
  int m_playing = 0;
};

extern const char kMp3DecodeErrorMessage[];   // "There was an error during decoding..."
extern const char kSoundDeviceBusyMessage[];  // "Your sound device is busy, ..."
extern const char kMp3CodecMissingMessage[];  // "Necessary MP3 codec is not present..."

// The media kind of a file name's extension ("avi" 1, "mp3" 2, "swf" 3,
// "mid" 4, else 0), compared without case.
int MediaKindFromPath(const char* path);
