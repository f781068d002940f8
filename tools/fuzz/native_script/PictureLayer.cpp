// The picture layer as reading and writing a document meet it: an
// Image/Text object holds a picture object that only drawing fills, so the
// native build needs no more of it than its destructor (the whole layer
// needs the system's drawing).
#include "imaging/RgbImage.h"

CRgbImage::~CRgbImage() {}
