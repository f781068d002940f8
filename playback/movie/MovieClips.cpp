// Playing the timelines: a frame's tags applied to its clip's display list
// (objects placed, changed, replaced and removed, the background colour),
// then its actions (stop, play, the frame jumps and FSCommand; every other
// action is passed over). A step takes the main timeline to its next frame
// and then every sprite already showing; a jump back rebuilds the display
// list from the first frame. Objects and clips count against the budget,
// and the tags one step applies are limited: past them the step is cut.
#include "playback/movie/Movie.h"

namespace {

// How deep sprites may sit in sprites.
const int kMovieNesting = 32;
// Each jump a step's actions make runs the actions of the frame jumped to;
// a movie that jumps for ever stops running them here.
const uint32_t kStepJumps = 64;

int Nibble(uint16_t depth, int level) { return (depth >> (12 - 4 * level)) & 15; }

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Whether s starts with the prefix, in either case.
bool HasPrefix(const char* s, const char* prefix) {
  for (; *prefix; ++s, ++prefix) {
    char a = *s, b = *prefix;
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
    if (a != b) return false;
  }
  return true;
}

// Walks a frame's tags: f(code, body, length) for each whole one.
template <class F>
void ForEachTag(const uint8_t* p, const uint8_t* end, F f) {
  while (end - p >= 2) {
    const uint16_t head = static_cast<uint16_t>(p[0] | p[1] << 8);
    p += 2;
    uint32_t length = head & 0x3F;
    if (length == 0x3F) {
      if (end - p < 4) return;
      length = Le32(p);
      p += 4;
    }
    if (length > static_cast<uint32_t>(end - p)) return;
    if (!f(head >> 6, p, length)) return;
    p += length;
  }
}

}  // namespace

MovieObject* FindMovieObject(const MovieListNode* node, uint16_t depth) {
  for (int level = 0; node && level < 3; ++level)
    node = static_cast<const MovieListNode*>(node->child[Nibble(depth, level)]);
  return node ? static_cast<MovieObject*>(node->child[Nibble(depth, 3)]) : nullptr;
}

bool InsertMovieObject(MovieListNode** root, MovieObject* obj, MovieBudget* budget) {
  MovieListNode** at = root;
  MovieListNode* parent = nullptr;
  for (int level = 0; level < 4; ++level) {
    if (!*at) {
      // A level left empty by a failure here goes with its list.
      *at = static_cast<MovieListNode*>(MovieCalloc(budget, sizeof(MovieListNode)));
      if (!*at) return false;
      if (parent) ++parent->count;
    }
    parent = *at;
    if (level < 3) at = reinterpret_cast<MovieListNode**>(&parent->child[Nibble(obj->depth, level)]);
  }
  void*& slot = parent->child[Nibble(obj->depth, 3)];
  if (!slot) ++parent->count;
  slot = obj;
  return true;
}

MovieObject* DetachMovieObject(MovieListNode** root, uint16_t depth, MovieBudget* budget) {
  MovieListNode** path[4];
  MovieListNode** at = root;
  for (int level = 0; level < 4; ++level) {
    if (!*at) return nullptr;
    path[level] = at;
    if (level < 3) at = reinterpret_cast<MovieListNode**>(&(*at)->child[Nibble(depth, level)]);
  }
  MovieListNode* leaf = *path[3];
  MovieObject* obj = static_cast<MovieObject*>(leaf->child[Nibble(depth, 3)]);
  if (!obj) return nullptr;
  leaf->child[Nibble(depth, 3)] = nullptr;
  // Levels left empty go, up to the first that still holds something.
  for (int level = 3; level >= 0; --level) {
    MovieListNode* node = *path[level];
    if (--node->count > 0) break;
    MovieFree(budget, node, sizeof(MovieListNode));
    *path[level] = nullptr;
  }
  return obj;
}

MovieClip* CMovie::NewClip(const MovieDef* def) {
  // Sprites that place themselves would nest for ever: past a depth of
  // nesting they show nothing.
  if (m_nesting >= kMovieNesting) return nullptr;
  MovieClip* clip = static_cast<MovieClip*>(MovieCalloc(&m_budget, sizeof(MovieClip)));
  if (!clip) return nullptr;
  clip->born = m_step;
  clip->playing = 1;
  ++m_nesting;
  if (def->kind == kDefSprite) {
    clip->timeline = &static_cast<const MovieSprite*>(def)->timeline;
    if (clip->timeline->FrameCount()) ApplyFrame(clip, 0, true);
    --m_nesting;
    return clip;
  }
  // A button shows its up state's parts, each placed once.
  const MovieButton* button = static_cast<const MovieButton*>(def);
  for (uint32_t i = 0; i < button->parts.GetSize(); ++i) {
    const MovieButtonPart& part = button->parts[i];
    const MovieDef* partDef = GetDef(part.id);
    if (!partDef || partDef == def || FindMovieObject(clip->root, part.depth)) continue;
    MovieObject* obj = static_cast<MovieObject*>(MovieCalloc(&m_budget, sizeof(MovieObject)));
    if (!obj) break;
    obj->depth = part.depth;
    obj->id = part.id;
    obj->def = partDef;
    obj->matrix = part.matrix;
    obj->colour = part.colour;
    // Sprites among the parts play; buttons among them show nothing.
    if (partDef->kind == kDefSprite) obj->clip = NewClip(partDef);
    if (!InsertMovieObject(&clip->root, obj, &m_budget)) {
      if (obj->clip) FreeClip(obj->clip);
      MovieFree(&m_budget, obj, sizeof(MovieObject));
      break;
    }
  }
  --m_nesting;
  return clip;
}

void CMovie::FreeClip(MovieClip* clip) {
  ClearList(clip);
  MovieFree(&m_budget, clip, sizeof(MovieClip));
}

void CMovie::FreeNodes(MovieListNode* node, int level) {
  for (void* child : node->child) {
    if (!child) continue;
    if (level < 3) {
      FreeNodes(static_cast<MovieListNode*>(child), level + 1);
      continue;
    }
    MovieObject* obj = static_cast<MovieObject*>(child);
    if (obj->clip) FreeClip(obj->clip);
    MovieFree(&m_budget, obj, sizeof(MovieObject));
  }
  MovieFree(&m_budget, node, sizeof(MovieListNode));
}

void CMovie::ClearList(MovieClip* clip) {
  if (clip->root) FreeNodes(clip->root, 0);
  clip->root = nullptr;
}

void CMovie::Place(MovieClip* clip, CMovieBits& r, int version) {
  uint8_t flags = 0x06;  // PlaceObject: a character and a matrix
  uint8_t more = 0;
  uint16_t id = 0;
  if (version == 1) {
    id = r.U16();
  } else {
    flags = r.U8();
    if (version == 3) more = r.U8();
  }
  const uint16_t depth = r.U16();
  if (version == 3 && ((more & 0x08) || ((more & 0x10) && (flags & 0x02)))) r.String();  // a class
  if (version > 1 && (flags & 0x02)) id = r.U16();
  const MovieMatrix matrix = flags & 0x04 ? ReadMovieMatrix(r) : kMovieIdentity;
  bool hasColour = (flags & 0x08) != 0;
  MovieColourTransform colour = kMovieNoColourChange;
  if (version == 1) {
    hasColour = r.Left() > 0;
    if (hasColour) colour = ReadMovieColourTransform(r, false);
  } else if (hasColour) {
    colour = ReadMovieColourTransform(r, true);
  }
  const uint16_t ratio = flags & 0x10 ? r.U16() : 0;
  if (flags & 0x20) r.String();  // the name: nothing calls objects by name
  const uint16_t clipDepth = flags & 0x40 ? r.U16() : 0;
  if (r.Bad()) return;
  const bool move = version > 1 && (flags & 0x01);
  MovieObject* obj = FindMovieObject(clip->root, depth);
  if (move && !obj && !(flags & 0x02)) return;
  if (!move || !obj) {
    // A new object, in place of whatever held the depth.
    if (obj) {
      DetachMovieObject(&clip->root, depth, &m_budget);
      if (obj->clip) FreeClip(obj->clip);
      MovieFree(&m_budget, obj, sizeof(MovieObject));
    }
    obj = static_cast<MovieObject*>(MovieCalloc(&m_budget, sizeof(MovieObject)));
    if (!obj) return;
    obj->depth = depth;
    obj->matrix = kMovieIdentity;
    obj->colour = kMovieNoColourChange;
    if (!InsertMovieObject(&clip->root, obj, &m_budget)) {
      MovieFree(&m_budget, obj, sizeof(MovieObject));
      return;
    }
  }
  if (flags & 0x02) {
    const MovieDef* def = GetDef(id);
    if (def != obj->def || !obj->def) {
      if (obj->clip) FreeClip(obj->clip);
      obj->clip = nullptr;
      obj->id = id;
      obj->def = def;
      if (def && (def->kind == kDefSprite || def->kind == kDefButton)) obj->clip = NewClip(def);
    }
  }
  if (flags & 0x04) obj->matrix = matrix;
  if (hasColour) obj->colour = colour;
  if (flags & 0x10) obj->ratio = ratio;
  if (flags & 0x40) obj->clipDepth = clipDepth;
}

void CMovie::ApplyFrame(MovieClip* clip, uint32_t frame, bool actions) {
  const MovieTimeline* t = clip->timeline;
  if (!t || frame >= t->FrameCount()) return;
  clip->frame = frame;
  const uint8_t* p = t->tags + t->frames[frame];
  const uint8_t* end = t->tags + t->frames[frame + 1];
  ForEachTag(p, end, [&](int code, const uint8_t* body, uint32_t length) {
    if (code == 1 || code == 12 || code == 43) return true;
    if (++m_budget.stepTags > m_budget.stepTagLimit) {
      m_budget.stepCut = true;
      return false;
    }
    CMovieBits r(body, body + length);
    switch (code) {
      case 4:
        Place(clip, r, 1);
        break;
      case 26:
        Place(clip, r, 2);
        break;
      case 70:
        Place(clip, r, 3);
        break;
      case 5:  // RemoveObject: character, depth
      case 28: {  // RemoveObject2: depth
        if (code == 5) r.U16();
        const uint16_t depth = r.U16();
        if (r.Bad()) break;
        MovieObject* obj = DetachMovieObject(&clip->root, depth, &m_budget);
        if (!obj) break;
        if (obj->clip) FreeClip(obj->clip);
        MovieFree(&m_budget, obj, sizeof(MovieObject));
        break;
      }
      case 9:  // SetBackgroundColor
        if (clip == &m_root && length >= 3) m_background = body[0] | body[1] << 8 | body[2] << 16;
        break;
      case 15:  // StartSound: only in frames that play, not those passed over
        if (actions) StartSound(r);
        break;
      default:
        break;
    }
    return true;
  });
  if (actions && clip == &m_root) FollowStream(frame);
  if (actions) RunFrameActions(clip, frame);
}

// Shows the frame's display list: forward from the frame showing, or
// rebuilt from the first. Its actions are the caller's to run. True when
// it went to the frame.
bool CMovie::GoTo(MovieClip* clip, uint32_t frame) {
  const MovieTimeline* t = clip->timeline;
  if (!t || !t->FrameCount()) return false;
  if (frame >= t->FrameCount()) frame = t->FrameCount() - 1;
  uint32_t from = clip->frame + 1;
  if (frame <= clip->frame) {
    ClearList(clip);
    from = 0;
  }
  for (uint32_t f = from; f <= frame && !m_budget.stepCut; ++f) ApplyFrame(clip, f, false);
  clip->frame = frame;
  return true;
}

void CMovie::StepClip(MovieClip* clip, bool loop, bool main) {
  const MovieTimeline* t = clip->timeline;
  if (t && clip->playing && t->FrameCount() > 1) {
    if (clip->frame + 1 < t->FrameCount()) {
      ApplyFrame(clip, clip->frame + 1, true);
    } else if (main && !loop) {
      clip->playing = 0;
    } else {
      ClearList(clip);
      ApplyFrame(clip, 0, true);
    }
  }
  StepChildren(clip->root);
}

void CMovie::StepChildren(const MovieListNode* root) {
  auto step = [&](MovieObject* obj) {
    if (obj->clip && obj->clip->born != m_step) StepClip(obj->clip, true, false);
    return !m_budget.stepCut;
  };
  ForEachMovieObject(root, step);
}

void CMovie::Rewind() {
  StopSounds();
  ClearList(&m_root);
  ++m_step;
  m_gotos = 0;
  m_budget.stepTags = 0;
  m_budget.stepCut = false;
  m_root.frame = 0;
  m_root.playing = 1;
  ApplyFrame(&m_root, 0, true);
}

void CMovie::Step(bool loop) {
  ++m_step;
  m_gotos = 0;
  m_budget.stepTags = 0;
  m_budget.stepCut = false;
  const uint32_t before = m_root.frame;
  StepClip(&m_root, loop, true);
  // A stream sound stops with the timeline.
  if (m_root.frame == before && !m_root.playing) m_streamPlaying = false;
}

void CMovie::GotoFrame(int frame) {
  if (frame < 0 || frame >= GetFrameCount()) return;
  ++m_step;
  m_budget.stepTags = 0;
  m_budget.stepCut = false;
  ClearList(&m_root);
  for (int f = 0; f <= frame && !m_budget.stepCut; ++f) ApplyFrame(&m_root, f, false);
  m_root.frame = static_cast<uint32_t>(frame);
}

void CMovie::RunFrameActions(MovieClip* clip, uint32_t frame) {
  const MovieTimeline* t = clip->timeline;
  ForEachTag(t->tags + t->frames[frame], t->tags + t->frames[frame + 1],
             [&](int code, const uint8_t* body, uint32_t length) {
               if (code == 12 && clip->frame == frame) RunActions(clip, body, length);
               return clip->frame == frame;  // a jump ran that frame's actions instead
             });
}

// The actions of a frame, in order. Only those that move a timeline and
// FSCommand calls do anything; a value pushed before a jump that takes
// one (GotoFrame2) is the one place the action stack is looked at.
void CMovie::RunActions(MovieClip* clip, const uint8_t* p, uint32_t length) {
  CMovieBits r(p, p + length);
  const MovieTimeline* t = clip->timeline;
  // The last value pushed: a number, or a string.
  double pushedNumber = 0;
  const char* pushedText = nullptr;
  bool pushed = false;
  const uint8_t* pool = nullptr;
  uint32_t poolSize = 0, poolCount = 0;
  // A jump's frame plays its own actions once these are done.
  bool jumped = false;
  auto frameOfLabel = [&](const char* name, uint32_t* frame) {
    for (uint32_t i = 0; t && i < t->labels.GetSize(); ++i) {
      if (HasPrefix(t->labels[i].name, name) && strlen(t->labels[i].name) == strlen(name)) {
        *frame = t->labels[i].frame;
        return true;
      }
    }
    return false;
  };
  while (r.Left() > 0) {
    const uint8_t code = r.U8();
    if (code == 0) break;
    const uint32_t size = code >= 0x80 ? r.U16() : 0;
    if (r.Bad() || size > r.Left()) break;
    const uint8_t* data = r.Pos();
    r.Skip(size);
    CMovieBits a(data, data + size);
    const uint32_t now = clip->frame;
    switch (code) {
      case 0x06:  // Play
        clip->playing = 1;
        break;
      case 0x07:  // Stop
        clip->playing = 0;
        break;
      case 0x04:  // NextFrame
      case 0x05:  // PreviousFrame
        clip->playing = 0;
        if (code == 0x04 || now > 0) jumped = GoTo(clip, code == 0x04 ? now + 1 : now - 1);
        break;
      case 0x81: {  // GotoFrame
        const uint16_t frame = a.U16();
        clip->playing = 0;
        if (!a.Bad()) jumped = GoTo(clip, frame);
        break;
      }
      case 0x8C: {  // GotoLabel
        const char* name = a.String();
        uint32_t frame;
        clip->playing = 0;
        if (name && frameOfLabel(name, &frame)) jumped = GoTo(clip, frame);
        break;
      }
      case 0x9F: {  // GotoFrame2: the frame (from 1) or label last pushed
        const uint8_t flags = a.U8();
        const uint32_t bias = flags & 2 ? a.U16() : 0;
        if (!pushed) break;
        uint32_t frame = 0;
        bool found = false;
        if (pushedText) {
          found = frameOfLabel(pushedText, &frame);
          if (!found && pushedText[0] >= '1' && pushedText[0] <= '9') {
            frame = static_cast<uint32_t>(atoi(pushedText)) - 1;
            found = true;
          }
        } else if (pushedNumber >= 1 && pushedNumber < 1e9) {
          frame = static_cast<uint32_t>(pushedNumber) - 1;
          found = true;
        }
        clip->playing = flags & 1;
        if (found) jumped = GoTo(clip, frame + bias);
        clip->playing = flags & 1;
        break;
      }
      case 0x88: {  // ConstantPool: strings that pushes name by index
        poolCount = a.U16();
        pool = a.Pos();
        poolSize = a.Left();
        break;
      }
      case 0x96: {  // Push: the last value is what a jump may take
        pushed = false;
        while (a.Left() > 0) {
          const uint8_t type = a.U8();
          pushed = true;
          pushedText = nullptr;
          pushedNumber = 0;
          if (type == 0) {
            pushedText = a.String();
          } else if (type == 1) {
            uint32_t bits = a.U32();
            float f;
            memcpy(&f, &bits, 4);
            pushedNumber = f;
          } else if (type == 6) {
            // Two 32-bit halves, the high one first.
            const uint64_t high = a.U32(), low = a.U32();
            const uint64_t bits = high << 32 | low;
            memcpy(&pushedNumber, &bits, 8);
          } else if (type == 7) {
            pushedNumber = static_cast<int32_t>(a.U32());
          } else if (type == 8 || type == 9) {
            const uint32_t index = type == 8 ? a.U8() : a.U16();
            CMovieBits strings(pool, pool + poolSize);
            for (uint32_t i = 0; pool && i <= index && i < poolCount; ++i) pushedText = strings.String();
            if (index >= poolCount) pushedText = nullptr;
            if (!pushedText) pushed = false;
          } else if (type == 4 || type == 5) {
            a.U8();  // a register or a boolean: not a frame
            pushed = false;
          } else {
            pushed = false;  // null, undefined: nothing to jump to
          }
          if (a.Bad()) {
            pushed = false;
            break;
          }
        }
        break;
      }
      case 0x83: {  // GetURL: FSCommand calls go to the host
        const char* url = a.String();
        const char* target = a.String();
        if (url && target && HasPrefix(url, "FSCommand:") && m_host) m_host->OnCommand(url + 10, target);
        break;
      }
      default:
        // Another action may leave a value on the stack.
        if (code != 0x96) pushed = false;
        break;
    }
  }
  if (jumped && ++m_gotos <= kStepJumps) RunFrameActions(clip, clip->frame);
}
