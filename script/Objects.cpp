// The display and media objects: referrer lists, copy, read and prepare,
// the stored font layout and the file loaders. A movie's frame size comes
// from the movie player's reader. The Image/Text object's measuring and
// drawing are in ObjectDraw.cpp.
#include "script/Objects.h"

#include <cstring>
#include <new>

#include "framework/Exceptions.h"
#include "playback/mp3/Mp3Player.h"
#include "playback/movie/Movie.h"
#include "script/DataBlock.h"
#include "script/Scramble.h"
#include "script/ScriptMessages.h"
#include "script/Utilities.h"

namespace {

// Frees a data block unless it was handed on.
struct BlockGuard {
  uint8_t* block;
  ~BlockGuard() { FreeDataBlock(block); }
  uint8_t* Release() {
    uint8_t* b = block;
    block = nullptr;
    return b;
  }
};

// Reads a stored, scrambled block of `size` bytes into a new data block.
// The size has been checked against what the archive holds.
uint8_t* ReadScrambledBlock(CArchive& ar, uint32_t size) {
  BlockGuard guard{AllocDataBlock(size)};
  if (guard.block == nullptr) AfxThrowMemoryException();
  ar.ReadExactly(guard.block, size);
  ScrambleBytes(guard.block, static_cast<int>(size), 1);
  return guard.Release();
}

// A stored byte count: refused when negative or beyond what is left.
uint32_t ReadByteCount(CArchive& ar) {
  int n = ReadInt(ar);
  if (n < 0 || static_cast<uint64_t>(n) > ar.GetBytesLeft())
    AfxThrowArchiveException(CArchiveException::badSchema);
  return static_cast<uint32_t>(n);
}

void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

int32_t Get32(const uint8_t* p) {
  return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

}  // namespace

// ---- referrers -------------------------------------------------------------

CSceneObject::~CSceneObject() {
  for (int i = 0; i < m_referrers.GetSize(); ++i) GetReferrer(i)->ClearTarget();
}

void CSceneObject::AddReferrer(CSceneCommand* cmd) {
  for (int i = 0; i < m_referrers.GetSize(); ++i) {
    if (GetReferrer(i) == cmd) return;
  }
  CCommandLink* link = new (std::nothrow) CCommandLink(cmd);
  if (link == nullptr) AfxThrowMemoryException();
  try {
    m_referrers.Add(link);
  } catch (...) {
    delete link;
    throw;
  }
}

void CSceneObject::RemoveReferrer(CSceneCommand* cmd) {
  for (int i = 0; i < m_referrers.GetSize(); ++i) {
    if (GetReferrer(i) == cmd) {
      CObject* link = m_referrers.GetAt(i);
      cmd->ClearTarget();
      m_referrers.RemoveAt(i);
      delete link;
      return;
    }
  }
}

void CSceneObject::ReadReferrers(CArchive& ar, const CCommandList& list) {
  int n = ReadInt(ar);
  if (n < 0 || n > list.GetSize()) AfxThrowArchiveException(CArchiveException::badSchema);
  for (int k = 0; k < n; ++k) {
    int id = ReadInt(ar);
    if (id < 0 || id >= list.GetSize()) AfxThrowArchiveException(CArchiveException::badSchema);
    CSceneCommand* cmd = list.GetCommand(id);
    // Only the right kind of command, and each one in one list only.
    if (cmd->GetTargetType() != m_type || cmd->GetTarget() != nullptr)
      AfxThrowArchiveException(CArchiveException::badSchema);
    cmd->SetTarget(this);
  }
}

bool CSceneObject::IsIdle() const {
  if (!m_disabled) return false;
  for (int i = 0; i < m_referrers.GetSize(); ++i) {
    if (!GetReferrer(i)->IsDisabled()) return false;
  }
  return true;
}

// ---- fonts -----------------------------------------------------------------

void StoreLogFont(const LOGFONTA& font, uint8_t out[kStoredLogFontSize]) {
  Put32(out + 0, static_cast<uint32_t>(font.lfHeight));
  Put32(out + 4, static_cast<uint32_t>(font.lfWidth));
  Put32(out + 8, static_cast<uint32_t>(font.lfEscapement));
  Put32(out + 12, static_cast<uint32_t>(font.lfOrientation));
  Put32(out + 16, static_cast<uint32_t>(font.lfWeight));
  out[20] = font.lfItalic;
  out[21] = font.lfUnderline;
  out[22] = font.lfStrikeOut;
  out[23] = font.lfCharSet;
  out[24] = font.lfOutPrecision;
  out[25] = font.lfClipPrecision;
  out[26] = font.lfQuality;
  out[27] = font.lfPitchAndFamily;
  memcpy(out + 28, font.lfFaceName, LF_FACESIZE);
}

void LoadLogFont(const uint8_t in[kStoredLogFontSize], LOGFONTA& font) {
  font.lfHeight = Get32(in + 0);
  font.lfWidth = Get32(in + 4);
  font.lfEscapement = Get32(in + 8);
  font.lfOrientation = Get32(in + 12);
  font.lfWeight = Get32(in + 16);
  font.lfItalic = in[20];
  font.lfUnderline = in[21];
  font.lfStrikeOut = in[22];
  font.lfCharSet = in[23];
  font.lfOutPrecision = in[24];
  font.lfClipPrecision = in[25];
  font.lfQuality = in[26];
  font.lfPitchAndFamily = in[27];
  memcpy(font.lfFaceName, in + 28, LF_FACESIZE);
  // A stored name may lack its NUL.
  font.lfFaceName[LF_FACESIZE - 1] = 0;
}

LOGFONTA DefaultLogFont() {
  LOGFONTA font;
  memset(&font, 0, sizeof(font));
  font.lfHeight = -11;
  strcpy(font.lfFaceName, "MS Sans Serif");
  return font;
}

// ---- Image/Text ------------------------------------------------------------

CImageTextObject::CImageTextObject()
    : CSceneObject(kTypeImageText),
      m_textColour(GetSysColor(COLOR_WINDOWTEXT)),
      m_font(DefaultLogFont()) {}

CImageTextObject::~CImageTextObject() {
  FreeDataBlock(m_pPicture);
  delete[] m_pThumbnail;
}

CSceneCommand* CImageTextObject::Clone() const { return new (std::nothrow) CImageTextObject; }

void CImageTextObject::SetPicture(uint8_t* block, uint32_t size) {
  FreeDataBlock(m_pPicture);
  m_pPicture = block;
  m_pictureSize = block != nullptr ? size : 0;
}

void CImageTextObject::CopyFrom(const CSceneCommand& other) {
  CSceneCommand::CopyFrom(other);
  const CImageTextObject& o = static_cast<const CImageTextObject&>(other);
  uint8_t* copy = CopyDataBlock(o.m_pPicture, o.m_pictureSize);
  if (o.m_pPicture != nullptr && copy == nullptr) AfxThrowMemoryException();
  SetPicture(copy, o.m_pictureSize);
  uint8_t* thumbnail = nullptr;
  if (o.m_pThumbnail != nullptr) {
    thumbnail = new (std::nothrow) uint8_t[o.m_thumbnailSize];
    if (thumbnail == nullptr) AfxThrowMemoryException();
    memcpy(thumbnail, o.m_pThumbnail, o.m_thumbnailSize);
  }
  delete[] m_pThumbnail;
  m_pThumbnail = thumbnail;
  m_thumbnailSize = thumbnail != nullptr ? o.m_thumbnailSize : 0;
  m_displayName = o.m_displayName;
  m_text = o.m_text;
  m_textColour = o.m_textColour;
  m_bkColour = o.m_bkColour;
  m_font = o.m_font;
  m_bkMode = o.m_bkMode;
  m_kind = o.m_kind;
  m_imageSource = o.m_imageSource;
  m_drawnSize = o.m_drawnSize;
  m_width = o.m_width;
  m_height = o.m_height;
  m_fullScreen = o.m_fullScreen;
  m_keepAspect = o.m_keepAspect;
  m_justification = o.m_justification;
}

CArchive& CImageTextObject::Read(CArchive& ar, const CSceneVersion& ver) {
  CSceneCommand::Read(ar, ver);
  m_kind = ReadInt(ar);
  m_bkMode = ReadInt(ar);
  m_justification = 0;
  if (ver.IsOldFormat()) {
    const float marker = ver.oldMarker;
    m_imageSource = 1;
    if (marker >= 1.01f && marker <= 2.1f) m_imageSource = ReadInt(ar) ? 2 : 1;
    if (marker > 2.11f) m_imageSource = ReadInt(ar);
    if (marker > 4.11f) {
      m_width = ReadInt(ar);
      m_height = ReadInt(ar);
      m_fullScreen = ReadInt(ar);
    }
    if (IsText()) {
      m_textColour = static_cast<COLORREF>(ReadInt(ar));
      m_bkColour = static_cast<COLORREF>(ReadInt(ar));
      if (marker > 4.11f) m_justification = ReadInt(ar);
    }
  } else {
    m_imageSource = ReadInt(ar);
    if (ver.version > 4.11f) {
      m_width = ReadInt(ar);
      m_height = ReadInt(ar);
      m_fullScreen = ReadInt(ar);
    }
    if (ver.version > 4.21f) m_keepAspect = ReadInt(ar);
    if (IsText()) {
      m_textColour = static_cast<COLORREF>(ReadInt(ar));
      m_bkColour = static_cast<COLORREF>(ReadInt(ar));
      if (ver.version > 4.21f) m_justification = ReadInt(ar);
    }
  }
  if (m_imageSource < 1 || m_imageSource > 3) m_imageSource = 1;
  if (IsText()) {
    m_text = ReadScrambledString(ar);
    uint8_t font[kStoredLogFontSize];
    ar.ReadExactly(font, kStoredLogFontSize);
    ScrambleBytes(font, kStoredLogFontSize, 1);
    LoadLogFont(font, m_font);
  } else {
    uint32_t size = ReadByteCount(ar);
    SetPicture(nullptr, 0);
    if (size > 0) {
      m_displayName = ReadScrambledString(ar);
      if (size > ar.GetBytesLeft()) AfxThrowArchiveException(CArchiveException::badSchema);
      SetPicture(ReadScrambledBlock(ar, size), size);
    }
  }
  return ar;
}

int CImageTextObject::Prepare(const CCommandList&) {
  ResetDrawing();
  if (IsIdle()) return 1;
  if (!IsText() && (m_pPicture == nullptr || m_pictureSize == 0)) {
    ShowScriptMessage(kChooseImageMessage, kScriptMessageError);
    return 0;
  }
  return Measure();
}

int CImageTextObject::LoadImageFile(const char* path) {
  uint8_t* block = nullptr;
  uint32_t size = 0;
  SetPicture(nullptr, 0);
  if (!ReadWholeFile(path, &block, &size)) return 0;
  SetPicture(block, size);
  m_displayName = GetShellDisplayName(path);
  return 1;
}

SIZE FitToBox(int w, int h, int boxW, int boxH) {
  SIZE result = {w, h};
  if (w <= 0 || h <= 0 || boxW <= 0 || boxH <= 0) return result;
  double rx = static_cast<double>(w) / boxW;
  double ry = static_cast<double>(h) / boxH;
  double r = rx > ry ? rx : ry;
  result.cx = static_cast<LONG>(w / r);
  result.cy = static_cast<LONG>(h / r);
  return result;
}

// ---- Multimedia/Flash ------------------------------------------------------

CMediaObject::~CMediaObject() { FreeDataBlock(m_pData); }

CSceneCommand* CMediaObject::Clone() const { return new (std::nothrow) CMediaObject; }

void CMediaObject::SetMedia(uint8_t* block, uint32_t size) {
  FreeDataBlock(m_pData);
  m_pData = block;
  m_dataSize = block != nullptr ? size : 0;
}

void CMediaObject::CopyFrom(const CSceneCommand& other) {
  CSceneCommand::CopyFrom(other);
  const CMediaObject& o = static_cast<const CMediaObject&>(other);
  uint8_t* copy = CopyDataBlock(o.m_pData, o.m_dataSize);
  if (o.m_pData != nullptr && copy == nullptr) AfxThrowMemoryException();
  SetMedia(copy, o.m_dataSize);
  m_displayName = o.m_displayName;
  m_kind = o.m_kind;
}

CArchive& CMediaObject::Read(CArchive& ar, const CSceneVersion& ver) {
  CSceneCommand::Read(ar, ver);
  uint32_t size = ReadByteCount(ar);
  SetMedia(nullptr, 0);
  if (size > 0) {
    m_displayName = ReadScrambledString(ar);
    // Files before 2.0 have no kind.
    if (!(ver.IsOldFormat() && ver.oldMarker < 2.0f)) m_kind = ReadInt(ar);
    if (m_kind < kMediaAudio || m_kind > kMediaMidi) m_kind = kMediaAudio;
    if (size > ar.GetBytesLeft()) AfxThrowArchiveException(CArchiveException::badSchema);
    SetMedia(ReadScrambledBlock(ar, size), size);
  }
  return ar;
}

int CMediaObject::Prepare(const CCommandList&) {
  if (IsIdle()) return 1;
  if (m_pData == nullptr || m_dataSize == 0) {
    ShowScriptMessage(kChooseMediaMessage, kScriptMessageError);
    return 0;
  }
  m_playing = 0;
  return 1;
}

int CMediaObject::LoadMediaFile(const char* path, bool showMessages) {
  uint8_t* block = nullptr;
  uint32_t size = 0;
  SetMedia(nullptr, 0);
  if (!ReadWholeFile(path, &block, &size, showMessages)) return 0;
  SetMedia(block, size);
  m_displayName = GetShellDisplayName(path);
  m_kind = MediaKindFromPath(path);
  if (m_kind != kMediaMp3) return 1;
  // An MP3 is kept only when it decodes on this machine's sound device.
  const char* problem = nullptr;
  if (!IsMp3CodecInstalled()) {
    problem = kMp3CodecMissingMessage;
  } else {
    CMP3WavePlayer test;
    const int decoded = test.TestDecode(m_pData, m_dataSize);
    if (decoded == 0) problem = kMp3DecodeErrorMessage;
    if (decoded < 0) problem = kSoundDeviceBusyMessage;
  }
  if (problem == nullptr) return 1;
  SetMedia(nullptr, 0);
  if (showMessages) ShowScriptMessage(problem, kScriptMessageError);
  return 0;
}

const char kMp3DecodeErrorMessage[] = "There was an error during decoding of MP3 file. ";
const char kSoundDeviceBusyMessage[] =
    "Your sound device is busy, cannot test media file.\nPlease stop all audio programs and try "
    "again.";
const char kMp3CodecMissingMessage[] =
    "Necessary MP3 codec is not present on this computer.\n You can not use MP3 files in your "
    "screen savers.";

CMediaBytes GetMediaBytes(const CMediaObject& media) {
  return CMediaBytes{media.m_pData, media.m_dataSize, media.m_kind};
}

SIZE CMediaObject::GetFlashFrameSize() const {
  const MovieSize size = ReadMovieFrameSize(m_pData, m_dataSize);
  return SIZE{size.cx, size.cy};
}

int MediaKindFromPath(const char* path) {
  CString name(path);
  int dot = name.ReverseFind('.');
  if (dot < 0 || name.Find('\\', dot) >= 0 || name.Find('/', dot) >= 0) return kMediaAudio;
  CString ext = name.Mid(dot + 1);
  if (ext.CompareNoCase("avi") == 0) return kMediaVideo;
  if (ext.CompareNoCase("mp3") == 0) return kMediaMp3;
  if (ext.CompareNoCase("swf") == 0) return kMediaFlash;
  if (ext.CompareNoCase("mid") == 0) return kMediaMidi;
  return kMediaAudio;
}
