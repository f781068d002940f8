// The few Win32 types and calls the decoding core uses. On Windows this is
// <windows.h>; elsewhere (the native fuzzing build) small stand-ins over the
// C library and pthreads, so that the same core compiles unchanged.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <pthread.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef int BOOL;
typedef void* HGLOBAL;
typedef uint32_t COLORREF;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

#define GMEM_FIXED 0x0000
#define GMEM_ZEROINIT 0x0040
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// Global memory blocks: a size word in front of the caller's bytes.
inline HGLOBAL GlobalAlloc(UINT, size_t bytes) {
  size_t* block = static_cast<size_t*>(calloc(1, bytes + 2 * sizeof(size_t)));
  if (!block) return nullptr;
  block[0] = bytes;
  return block + 2;
}
inline size_t GlobalSize(HGLOBAL mem) {
  return mem ? static_cast<size_t*>(mem)[-2] : 0;
}
inline HGLOBAL GlobalFree(HGLOBAL mem) {
  if (mem) free(static_cast<size_t*>(mem) - 2);
  return nullptr;
}

#define TLS_OUT_OF_INDEXES 0xFFFFFFFFu
inline DWORD TlsAlloc() {
  pthread_key_t key;
  return pthread_key_create(&key, nullptr) == 0 ? static_cast<DWORD>(key)
                                                : TLS_OUT_OF_INDEXES;
}
inline void* TlsGetValue(DWORD index) {
  return pthread_getspecific(static_cast<pthread_key_t>(index));
}
inline BOOL TlsSetValue(DWORD index, void* value) {
  return pthread_setspecific(static_cast<pthread_key_t>(index), value) == 0;
}
inline BOOL TlsFree(DWORD index) {
  return pthread_key_delete(static_cast<pthread_key_t>(index)) == 0;
}
inline DWORD GetLastError() { return static_cast<DWORD>(errno); }

typedef pthread_mutex_t CRITICAL_SECTION;
inline void InitializeCriticalSection(CRITICAL_SECTION* cs) {
  pthread_mutex_init(cs, nullptr);
}
inline void DeleteCriticalSection(CRITICAL_SECTION* cs) { pthread_mutex_destroy(cs); }
inline void EnterCriticalSection(CRITICAL_SECTION* cs) { pthread_mutex_lock(cs); }
inline void LeaveCriticalSection(CRITICAL_SECTION* cs) { pthread_mutex_unlock(cs); }

// A slim lock that needs no set-up: usable from any constructor or
// destructor at any point of the program's start or end.
typedef pthread_mutex_t SRWLOCK;
#define SRWLOCK_INIT PTHREAD_MUTEX_INITIALIZER
inline void AcquireSRWLockExclusive(SRWLOCK* lock) { pthread_mutex_lock(lock); }
inline void ReleaseSRWLockExclusive(SRWLOCK* lock) { pthread_mutex_unlock(lock); }
#endif
