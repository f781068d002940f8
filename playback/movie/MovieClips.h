// What plays: the display list of a timeline and the instances of
// timelines (the movie's own and each placed sprite's, with their own
// frame, playing state and display list). A display list keeps its
// objects by depth in a tree of sixteen ways per level, four levels deep
// (a level per four bits of the depth): finding, placing and removing
// take the same few steps whatever the depths and their order.
#pragma once

#include <stdint.h>

#include "playback/movie/MovieDefs.h"

struct MovieClip;

// One object of a display list.
struct MovieObject {
  uint16_t depth;
  uint16_t id;         // the character placed
  uint16_t clipDepth;  // nonzero: a mask over the depths up to it
  uint16_t ratio;      // a morph's
  const MovieDef* def;
  MovieMatrix matrix;
  MovieColourTransform colour;
  MovieClip* clip;  // a sprite's or a button's own display list
};

// A level of a display list: its children by the next four bits of the
// depth (objects at the last level).
struct MovieListNode {
  void* child[16];
  uint32_t count;
};

// A timeline playing: a sprite's, the movie's own, or a button's up state
// (no timeline, its parts placed once).
struct MovieClip {
  const MovieTimeline* timeline;
  MovieListNode* root;
  uint32_t frame;
  uint32_t born;  // the step it was made in: it plays from the next
  uint8_t playing;
};

MovieObject* FindMovieObject(const MovieListNode* root, uint16_t depth);
// Puts obj in by its depth (which holds no object yet); false when there
// is no memory for the levels it needs.
bool InsertMovieObject(MovieListNode** root, MovieObject* obj, MovieBudget* budget);
// Takes the object at the depth out of the list; null when there is none.
MovieObject* DetachMovieObject(MovieListNode** root, uint16_t depth, MovieBudget* budget);

// Calls f(object) for every object, lowest depth first; stops when f
// returns false, and then returns false.
template <class F>
bool ForEachMovieObject(const MovieListNode* node, F& f, int level = 0) {
  if (!node) return true;
  for (void* child : node->child) {
    if (!child) continue;
    if (level == 3 ? !f(static_cast<MovieObject*>(child))
                   : !ForEachMovieObject(static_cast<const MovieListNode*>(child), f, level + 1))
      return false;
  }
  return true;
}
