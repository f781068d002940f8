#include "script/DataBlock.h"

#include <windows.h>

#include <cstring>

uint8_t* AllocDataBlock(uint32_t size) {
  if (size == 0) return nullptr;
  return static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, size));
}

void FreeDataBlock(uint8_t* block) {
  if (block != nullptr) GlobalFree(block);
}

uint8_t* CopyDataBlock(const uint8_t* block, uint32_t size) {
  if (block == nullptr || size == 0) return nullptr;
  uint8_t* copy = AllocDataBlock(size);
  if (copy != nullptr) memcpy(copy, block, size);
  return copy;
}
