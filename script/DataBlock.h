// The fixed global memory blocks that hold a picture's or a media file's
// bytes, as the clipboard and the file utilities hand them over.
#pragma once

#include <cstdint>

// Null when the block cannot be had; a size of 0 gives null.
uint8_t* AllocDataBlock(uint32_t size);
void FreeDataBlock(uint8_t* block);
// A new block holding a copy of size bytes, or null.
uint8_t* CopyDataBlock(const uint8_t* block, uint32_t size);
