// Bytes through the framework's archives, for the fuzz targets and seed
// writers built with the script model: a reader run over a caller's bytes,
// and what a writer stores, as a block the caller frees with free().
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"

// Runs read(CArchive&) over the bytes, which it never changes; false when
// it returns false or throws a framework exception.
template <typename Read>
bool ReadArchiveBytes(const uint8_t* data, size_t size, Read read) {
  CMemFile file(const_cast<uint8_t*>(data), static_cast<unsigned>(size));
  bool accepted = false;
  try {
    CArchive ar(&file, CArchive::load, 4096);
    accepted = read(ar);
  } catch (CException* e) {
    e->Delete();
  }
  file.Detach();
  return accepted;
}

// What write(CArchive&) stores: the bytes in *out, their count returned.
template <typename Write>
size_t StoreArchiveBytes(Write write, uint8_t** out) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store, 4096);
    write(ar);
    ar.Close();
  }
  const size_t size = static_cast<size_t>(file.GetLength());
  *out = file.Detach();
  return size;
}
