// A movie file (".swf") read whole into memory and played: its header,
// the characters it defines, its timeline and the sprites' timelines, the
// frame actions that stop, play and go to frames, and the drawing of a
// frame into 32-bit pixels with the renderer of MovieRender.cpp.
//
// Reading plays what whole tags hold: a header that claims more bytes
// than the file has, or a compressed stream that ends early, gives the
// tags read before the bytes stop; a tag that runs past the bytes ends the
// movie there, keeping the frames before it; a definition that cannot be
// read leaves its character undefined. Everything counts against the
// movie's budget (MovieTypes.h): beyond it, reading stops where it stands,
// and a frame's drawing and a step's changes are cut where they stand.
#pragma once

#include <stdint.h>

#include "playback/movie/MovieClips.h"
#include "playback/movie/MovieDefs.h"
#include "playback/movie/MovieTypes.h"

// Where a movie's frame is drawn: 32-bit pixels, rows top-down, `stride`
// pixels apart; blue, green, red from the low byte up.
struct MovieTarget {
  uint32_t* pixels;
  int width, height, stride;
};

// A rectangle of pixels: [x0, x1) by [y0, y1).
struct MovieBox {
  int x0, y0, x1, y1;
};

// Text to draw in a system font: the font's name and style, its size in
// pixels, the lines to draw and the box they go in.
struct MovieSystemText {
  const char* font;
  int size;
  bool bold, italic;
  const char* text;  // lines separated by '\n'
  int align;         // 0 left, 1 right, 2 centre
  bool wrap;         // words wrap at the box's width
  int width, height;  // the box in pixels
  int leading;        // extra pixels between lines
};

// What the system does for a movie. The defaults do nothing.
class CMovieHost {
 public:
  virtual ~CMovieHost() = default;
  // Asked now and then while a frame is drawn: true cuts the frame where
  // it stands (input is waiting, or the frame took too long).
  virtual bool StopDrawing() { return false; }
  // A frame action's FSCommand call, when the frame plays.
  virtual void OnCommand(const char* command, const char* args) {}
  // Draws the text into coverage (width x height bytes, 0 to 255, zero on
  // entry, rows `width` apart): false when it cannot.
  virtual bool DrawSystemText(const MovieSystemText& text, uint8_t* coverage) { return false; }
  // Decodes MP3 frames into 16-bit samples (malloc'd): false when it
  // cannot.
  virtual bool DecodeMp3(const uint8_t* data, uint32_t size, MoviePcm* pcm) { return false; }
};

// The rate the movie's sounds are mixed at (stereo, 16-bit).
const int kMovieMixRate = 44100;

class CMovieRenderer;

class CMovie {
 public:
  CMovie();
  ~CMovie();
  CMovie(const CMovie&) = delete;
  CMovie& operator=(const CMovie&) = delete;

  // Reads a movie from memory (the bytes are copied) and shows its first
  // frame; false, with the movie empty, when no frame could be read.
  bool Load(const uint8_t* bytes, uint32_t size);
  // The same for a block of malloc, which the movie takes over.
  bool LoadOwned(uint8_t* bytes, uint32_t size);
  // The same for a file, read whole and closed again (defined with the
  // control, which reads its movies from files).
  bool LoadFile(const char* path);
  void Clear();
  void SetHost(CMovieHost* host) { m_host = host; }

  bool IsEmpty() const { return GetFrameCount() == 0; }
  int GetVersion() const { return m_version; }
  // The frame rectangle in twips.
  const MovieRect& GetFrameRect() const { return m_frame; }
  // Frames per second times 256, as the header gives it.
  int GetFrameRate256() const { return m_rate256; }
  int GetFrameCount() const { return static_cast<int>(m_main.FrameCount()); }
  int GetCurrentFrame() const { return static_cast<int>(m_root.frame); }
  // The main timeline plays on (no stop action holds it).
  bool IsPlaying() const { return m_root.playing != 0; }
  // The background colour, red in the low byte.
  uint32_t GetBackground() const { return m_background; }
  const MovieClip& GetRoot() const { return m_root; }
  const MovieDef* GetDef(uint16_t id) const;
  MovieBudget& GetBudget() { return m_budget; }

  // The first frame as the movie starts, playing.
  void Rewind();
  // Plays the main timeline on, or holds it, from the next step.
  void SetPlaying(bool playing) { m_root.playing = playing; }
  // One frame's time: the main timeline goes to its next frame while it
  // plays (after the last, to the first when loop is set; else it stops
  // there), every sprite on the display list goes on likewise, and the
  // actions of the frames reached run.
  void Step(bool loop);
  // Shows the display list of main frame `frame` (0 to count - 1), the
  // sprites on it at their first frames, without running actions.
  void GotoFrame(int frame);

  // Decodes the movie's sounds (MP3 through the host); until then, and
  // when it fails, a sound is silent.
  void PrepareSounds();
  bool HasSound() const { return m_sounds; }
  bool IsSounding() const { return m_voiceCount > 0 || m_streamPlaying; }
  // The sounds playing (event sounds started by the frames played, and
  // the main timeline's stream sound while it plays), mixed into
  // `frames` stereo frames at kMovieMixRate; false (and silence) when
  // none plays.
  bool MixSound(int16_t* out, uint32_t frames);
  void StopSounds();

  // Draws the current frame over the whole target: the background, then
  // the display list, the movie's rectangle scaled to fit with its aspect
  // kept and centred. False when the frame was cut (budget, or the host
  // said stop).
  bool Draw(const MovieTarget& target);
  // The same, drawing only where the frame differs from the one drawn
  // last by this call into the same target (whose pixels it keeps); the
  // rectangles drawn are left for GetDrawnBoxes.
  bool DrawChanges(const MovieTarget& target);
  const MovieBox* GetDrawnBoxes(int* count) const {
    *count = static_cast<int>(m_drawn.GetSize());
    return m_drawn.Data();
  }

  // What the steps and the renderer share; public for their helpers.
  const uint8_t* GetTables(uint32_t* size) const {
    *size = m_tablesSize;
    return m_tables;
  }
  uint32_t GetStep() const { return m_step; }

 private:
  friend class CMovieRenderer;
  bool ReadBody(const uint8_t* body, uint32_t size);
  bool ReadTags(const uint8_t* p, const uint8_t* end, MovieTimeline* timeline, bool main);
  bool Define(int code, const uint8_t* p, uint32_t length);
  void SetDef(uint16_t id, MovieDef* def);

  // MovieClips.cpp
  MovieClip* NewClip(const MovieDef* def);
  void FreeClip(MovieClip* clip);
  void FreeNodes(MovieListNode* node, int level);
  void ClearList(MovieClip* clip);
  void ApplyFrame(MovieClip* clip, uint32_t frame, bool actions);
  bool GoTo(MovieClip* clip, uint32_t frame);
  void RunFrameActions(MovieClip* clip, uint32_t frame);
  void StepClip(MovieClip* clip, bool loop, bool main);
  void StepChildren(const MovieListNode* root);
  void Place(MovieClip* clip, CMovieBits& r, int version);
  void RunActions(MovieClip* clip, const uint8_t* p, uint32_t length);
  // MovieSound.cpp
  void StartSound(CMovieBits& r);
  void FollowStream(uint32_t frame);

  MovieBudget m_budget;
  uint8_t* m_bytes = nullptr;  // the movie's body, which the definitions point into
  uint32_t m_size = 0;
  int m_version = 0;
  MovieRect m_frame = {0, 0, 0, 0};
  int m_rate256 = 0;
  uint32_t m_background = 0xFFFFFF;
  MovieDef** m_pages[256];
  MovieTimeline m_main;
  MovieClip m_root;
  const uint8_t* m_tables = nullptr;
  uint32_t m_tablesSize = 0;
  uint32_t m_step = 0;
  uint32_t m_gotos = 0;  // frame jumps of this step
  int m_nesting = 0;     // sprites being made in sprites
  CMovieHost* m_host = nullptr;
  CMovieRenderer* m_renderer = nullptr;
  CMovieArray<MovieBox> m_drawn;
  // Sound: whether the movie has any, its stream, and the sounds playing.
  struct Voice {
    const MoviePcm* pcm;
    const MovieSound* sound;
    double at, start, end;  // in the sound's own frames
    int loops;
  };
  bool m_sounds = false;
  bool m_hasStream = false;
  MovieStream m_stream;
  Voice m_voices[16];
  int m_voiceCount = 0;
  bool m_streamPlaying = false;
  double m_streamAt = 0;
};

// The frame size in pixels of a movie's header ("FWS" as is, "CWS" through
// inflate): from byte 8, a 5-bit field width n and the four n-bit values
// Xmin, Xmax, Ymin, Ymax, most significant bit first and not sign
// extended, as ((Xmax - Xmin) / 20, (Ymax - Ymin) / 20); 0, 0 when the
// bytes hold no such header.
struct MovieSize {
  int32_t cx, cy;
};
MovieSize ReadMovieFrameSize(const uint8_t* bytes, uint32_t size);

// The largest movie file read, and the largest body a compressed one is
// inflated to.
const uint32_t kMovieMaxBytes = 128u << 20;
