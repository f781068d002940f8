// The rule that fits a picture into a box keeping its aspect ratio. It sits
// in a file of its own because the script model uses it and a program links
// every function of each object file it pulls in.
#include "imaging/RgbImage.h"

SIZE FitSizeKeepAspect(int width, int height, SIZE bound) {
  SIZE result = {width, height};
  if (width <= 0 || height <= 0 || bound.cx <= 0 || bound.cy <= 0) return result;
  if (width <= bound.cx && height <= bound.cy) return result;
  const double w = width, h = height;
  if (h * bound.cx >= w * bound.cy) {
    result.cx = static_cast<LONG>(bound.cy * w / h);
    result.cy = bound.cy;
  } else {
    result.cx = bound.cx;
    result.cy = static_cast<LONG>(bound.cx * h / w);
  }
  // A very long or very tall picture keeps at least one pixel across.
  if (result.cx < 1) result.cx = 1;
  if (result.cy < 1) result.cy = 1;
  return result;
}
