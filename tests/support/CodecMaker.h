#pragma once
// Codec test material made by our own writers: an animated GIF, an animated cursor and an
// icon-list stream, for the fuzz seeds and the damaged-input tests.
#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gstest {

// A w x h 8-bit picture of `colours` palette entries in a simple pattern.
gs::TRaster indexedPicture(int w, int h, int colours);
// Two frames, the first with a loop block, a comment and a transparent colour, the second
// interlaced.
gs::TBytes animatedGif();
// A RIFF chunk: id, size, the data and its pad byte.
gs::TBytes riffChunk(const char* id, const gs::TBytes& data);
// Three steps over two images (the second a cursor), with rates, a sequence and texts.
gs::TBytes animatedCursor();
// `frames` steps, each over an image of its own (one small icon written again each time).
gs::TBytes longAnimatedCursor(int frames);
// Three entries: an icon, an empty one, an icon of two images.
gs::TBytes iconListStream();

}  // namespace gstest
