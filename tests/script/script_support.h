// Helpers of the script tests: hand-built document bytes and the shared
// document fixtures, reading them through the document reader, and a
// message-box sink that records instead of showing the script's messages.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Seams.h"
#include "script/Scramble.h"
#include "script/SceneDocument.h"

// Little-endian document bytes, written the way the format stores them.
struct DocBytes {
  std::vector<uint8_t> bytes;

  DocBytes& Int(int32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return *this;
  }
  DocBytes& Ints(std::initializer_list<int32_t> values) {
    for (int32_t v : values) Int(v);
    return *this;
  }
  DocBytes& Float(float f) {
    int32_t v;
    memcpy(&v, &f, 4);
    return Int(v);
  }
  DocBytes& Raw(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
    return *this;
  }
  DocBytes& Length(size_t n) {
    if (n < 0xFF) {
      bytes.push_back(static_cast<uint8_t>(n));
    } else {
      bytes.push_back(0xFF);
      bytes.push_back(static_cast<uint8_t>(n));
      bytes.push_back(static_cast<uint8_t>(n >> 8));
    }
    return *this;
  }
  // A CStr, scrambled unless `plain`.
  DocBytes& Str(const std::string& s, bool plain = false) {
    Length(s.size());
    std::vector<uint8_t> b(s.begin(), s.end());
    if (!plain && !b.empty()) ScrambleBytes(b.data(), static_cast<int>(b.size()), 0);
    return Raw(b.data(), b.size());
  }
  // A scrambled block of raw bytes (pictures, media, fonts).
  DocBytes& Block(std::vector<uint8_t> b) {
    if (!b.empty()) ScrambleBytes(b.data(), static_cast<int>(b.size()), 0);
    return Raw(b.data(), b.size());
  }
  DocBytes& Header(const char* id, float version) { return Str(id, true).Float(version); }
  DocBytes& Root(const std::string& comment = "", int indent = 0, int disabled = 0) {
    return Str(comment).Int(indent).Int(disabled);
  }
  // The current 96-byte motion block with a recognisable start point.
  DocBytes& Motion(int startX, int startY, int effect = 0) {
    return Ints({5, 5, 5, 5, startX, startY, 300, 200, 2, 3, 1, 0, 0, 0, 0, 0, 0, 100000, 2000,
                 0, 1, 1, effect, 100});
  }
  DocBytes& Colour(uint32_t c, int mixing = 0, int random = 0, int background = 1) {
    return Int(static_cast<int32_t>(c)).Int(mixing).Int(random).Int(background);
  }
};

// A 60-byte stored font with a face name.
inline std::vector<uint8_t> StoredFont(const char* face, int height) {
  std::vector<uint8_t> f(60, 0);
  for (int i = 0; i < 4; ++i) f[i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (8 * i));
  strncpy(reinterpret_cast<char*>(f.data() + 28), face, 32);
  return f;
}

// Reads a whole document into `list`; returns the archive exception's cause,
// -2 for another framework exception, -1 when the read succeeded.
inline int ReadDocument(const std::vector<uint8_t>& bytes, CCommandList& list,
                        CSceneVersion* version = nullptr) {
  std::vector<uint8_t> copy(bytes);
  CMemFile file(copy.data(), static_cast<unsigned>(copy.size()));
  try {
    CArchive ar(&file, CArchive::load);
    CSceneVersion v = ReadSceneDocument(ar, list, nullptr);
    if (version != nullptr) *version = v;
  } catch (CArchiveException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  } catch (CException* e) {
    e->Delete();
    return -2;
  }
  return -1;
}

// A 2 x 2 24-bit BMP file: the smallest picture that Prepare can decode.
inline std::vector<uint8_t> TinyBmp() {
  std::vector<uint8_t> b = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                            2,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0};
  b.resize(70, 0);
  return b;
}

// The fixtures the document tests share.
// An older-format document of a marker: a picture, a Show of it, a media
// object and a Play of it.
std::vector<uint8_t> OlderDocument(float marker);
// A current-format document of a version: a text, a picture, a Show of the
// picture and a Play without a target.
std::vector<uint8_t> CurrentDocument(float version);
// A valid current document (a picture, a Show of it and a media object)
// with knobs for breaking it.
struct Malformed {
  int count = 3;
  int secondType = kTypeShow;
  int mediaBytes = 1;
  std::vector<int> pictureRefs = {1};
  std::vector<int> mediaRefs = {};

  std::vector<uint8_t> Bytes() const;
};

#if LW_SCRIPT_EDITING
// A command's label.
inline CString Label(const CSceneCommand& cmd) {
  CString out;
  cmd.Describe(out);
  return out;
}
#endif

class RecordingSink : public CMessageBoxSink {
 public:
  int Show(HWND, const char* text, const char*, UINT) override {
    texts.push_back(text);
    return IDOK;
  }
  std::vector<std::string> texts;
};

// Installs the recording sink for the whole test program and keeps the
// options file out of the Windows folder.
RecordingSink& Messages();
