// SHA-256 (FIPS 180-4), HMAC (RFC 2104) and one block of PBKDF2 (RFC 8018)
// for the saver's stored password. Small and self-contained: the saver runs
// on machines where no cryptography library can be assumed.
#include "runtime/PasswordHash.h"

#include <windows.h>

#include <cstring>

#include "framework/TextFormat.h"

namespace {

const std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
    0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
    0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
    0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
    0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
    0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
    0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
    0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
    0xc67178f2};

std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

class Sha256State {
 public:
  Sha256State() { Reset(); }
  void Reset() {
    static const std::uint32_t kInit[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                           0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::memcpy(m_h, kInit, sizeof m_h);
    m_length = 0;
    m_used = 0;
  }
  void Update(const void* data, std::size_t size) {
    const std::uint8_t* p = static_cast<const std::uint8_t*>(data);
    m_length += size;
    while (size) {
      std::size_t take = 64 - m_used < size ? 64 - m_used : size;
      std::memcpy(m_block + m_used, p, take);
      m_used += take;
      p += take;
      size -= take;
      if (m_used == 64) {
        Compress();
        m_used = 0;
      }
    }
  }
  void Final(std::uint8_t digest[32]) {
    const std::uint64_t bits = m_length * 8;
    const std::uint8_t one = 0x80, zero = 0;
    Update(&one, 1);
    while (m_used != 56) Update(&zero, 1);
    std::uint8_t size[8];
    for (int i = 0; i < 8; ++i) size[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Update(size, 8);
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<std::uint8_t>(m_h[i] >> (24 - 8 * j));
  }

 private:
  void Compress() {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
      w[i] = (std::uint32_t(m_block[4 * i]) << 24) | (std::uint32_t(m_block[4 * i + 1]) << 16) |
             (std::uint32_t(m_block[4 * i + 2]) << 8) | m_block[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
      std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = m_h[0], b = m_h[1], c = m_h[2], d = m_h[3], e = m_h[4], f = m_h[5],
                  g = m_h[6], h = m_h[7];
    for (int i = 0; i < 64; ++i) {
      std::uint32_t t1 = h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) +
                         kRound[i] + w[i];
      std::uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      h = g;
      g = f;
      f = e;
      e = d + t1;
      d = c;
      c = b;
      b = a;
      a = t1 + t2;
    }
    m_h[0] += a;
    m_h[1] += b;
    m_h[2] += c;
    m_h[3] += d;
    m_h[4] += e;
    m_h[5] += f;
    m_h[6] += g;
    m_h[7] += h;
  }

  std::uint32_t m_h[8];
  std::uint8_t m_block[64];
  std::uint64_t m_length;
  std::size_t m_used;
};

// HMAC-SHA-256 with the key's inner and outer states prepared once, so that
// the many iterations of PBKDF2 hash only the message.
class HmacSha256 {
 public:
  HmacSha256(const void* key, std::size_t keySize) {
    std::uint8_t block[64] = {};
    if (keySize > 64)
      Sha256(key, keySize, block);
    else
      std::memcpy(block, key, keySize);
    std::uint8_t pad[64];
    for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x36;
    m_inner.Update(pad, 64);
    for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x5c;
    m_outer.Update(pad, 64);
    SecureZeroMemory(block, sizeof block);
    SecureZeroMemory(pad, sizeof pad);
  }
  void Mac(const void* data, std::size_t size, std::uint8_t out[32]) const {
    Sha256State inner = m_inner, outer = m_outer;
    std::uint8_t digest[32];
    inner.Update(data, size);
    inner.Final(digest);
    outer.Update(digest, 32);
    outer.Final(out);
  }

 private:
  Sha256State m_inner, m_outer;
};

// The first (and only) 32-byte block of PBKDF2-HMAC-SHA-256.
void Pbkdf2(const char* password, const std::uint8_t salt[16], unsigned iterations,
            std::uint8_t out[32]) {
  HmacSha256 mac(password, std::strlen(password));
  std::uint8_t first[20];
  std::memcpy(first, salt, 16);
  first[16] = 0;
  first[17] = 0;
  first[18] = 0;
  first[19] = 1;
  std::uint8_t u[32];
  mac.Mac(first, sizeof first, u);
  std::memcpy(out, u, 32);
  for (unsigned i = 1; i < iterations; ++i) {
    mac.Mac(u, 32, u);
    for (int j = 0; j < 32; ++j) out[j] ^= u[j];
  }
}

const char kPrefix[] = "pbkdf2-sha256$";

void ToHex(const std::uint8_t* bytes, int n, char* out) {
  static const char kDigits[] = "0123456789abcdef";
  for (int i = 0; i < n; ++i) {
    out[2 * i] = kDigits[bytes[i] >> 4];
    out[2 * i + 1] = kDigits[bytes[i] & 15];
  }
  out[2 * n] = 0;
}

bool FromHex(const char* text, std::uint8_t* bytes, int n) {
  for (int i = 0; i < 2 * n; ++i) {
    char c = text[i];
    int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (v < 0) return false;
    bytes[i / 2] = static_cast<std::uint8_t>(i % 2 ? (bytes[i / 2] << 4) | v : v);
  }
  return true;
}

// Random salt from the system's generator; should that fail, from what
// differs between stores (time, counters, ids) hashed together.
void MakeSalt(std::uint8_t salt[16]) {
  using GenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);
  HMODULE advapi = ::LoadLibraryA("advapi32.dll");
  GenRandom gen =
      advapi ? reinterpret_cast<GenRandom>(
                   reinterpret_cast<void*>(::GetProcAddress(advapi, "SystemFunction036")))
             : nullptr;
  bool ok = gen && gen(salt, 16);
  if (advapi) ::FreeLibrary(advapi);
  if (ok) return;
  struct {
    LARGE_INTEGER counter;
    FILETIME time;
    DWORD pid, tid, tick;
    const void* stack;
  } noise;
  ::QueryPerformanceCounter(&noise.counter);
  ::GetSystemTimeAsFileTime(&noise.time);
  noise.pid = ::GetCurrentProcessId();
  noise.tid = ::GetCurrentThreadId();
  noise.tick = ::GetTickCount();
  noise.stack = &noise;
  std::uint8_t digest[32];
  Sha256(&noise, sizeof noise, digest);
  std::memcpy(salt, digest, 16);
}

}  // namespace

void Sha256(const void* data, std::size_t size, std::uint8_t digest[32]) {
  Sha256State s;
  s.Update(data, size);
  s.Final(digest);
}

int ScramblePasswordWithSalt(const char* password, const std::uint8_t salt[16],
                             unsigned iterations, char* out) {
  if (!password || !*password || iterations == 0) return 0;
  std::uint8_t hash[32];
  Pbkdf2(password, salt, iterations, hash);
  char saltHex[33], hashHex[65];
  ToHex(salt, 16, saltHex);
  ToHex(hash, 32, hashHex);
  SecureZeroMemory(hash, sizeof hash);
  return FormatText(out, kStoredPasswordSize, "%s%u$%s$%s", kPrefix, iterations, saltHex,
                    hashHex);
}

int ScramblePassword(const char* password, char* out) {
  if (!password || !*password) return 0;
  std::uint8_t salt[16];
  MakeSalt(salt);
  return ScramblePasswordWithSalt(password, salt, kPasswordIterations, out);
}

namespace {

// Reads a stored text in the format of the header: its iteration count (1
// to 10,000,000, so that a damaged value cannot hang the check for long)
// and its salt. False for anything else.
bool ParseStored(const char* stored, unsigned* iterations, std::uint8_t salt[16]) {
  if (!stored) return false;
  const std::size_t prefix = sizeof kPrefix - 1;
  if (std::strncmp(stored, kPrefix, prefix) != 0) return false;
  const char* p = stored + prefix;
  unsigned count = 0;
  int digits = 0;
  for (; *p >= '0' && *p <= '9' && digits < 9; ++p, ++digits)
    count = count * 10 + static_cast<unsigned>(*p - '0');
  if (digits == 0 || *p != '$' || count == 0 || count > 10000000) return false;
  ++p;
  std::uint8_t hash[32];
  if (std::strlen(p) != 32 + 1 + 64 || !FromHex(p, salt, 16) || p[32] != '$' ||
      !FromHex(p + 33, hash, 32))
    return false;
  *iterations = count;
  return true;
}

}  // namespace

bool IsStoredPasswordReadable(const char* stored) {
  unsigned iterations;
  std::uint8_t salt[16];
  return ParseStored(stored, &iterations, salt);
}

bool VerifyPassword(const char* typed, const char* stored) {
  if (!typed || !*typed) return false;
  unsigned iterations;
  std::uint8_t salt[16];
  if (!ParseStored(stored, &iterations, salt)) return false;
  char expected[kStoredPasswordSize];
  if (ScramblePasswordWithSalt(typed, salt, iterations, expected) <= 0) return false;
  // Compare without an early exit, so the time taken tells nothing.
  const std::size_t n = std::strlen(expected);
  if (n != std::strlen(stored)) return false;
  unsigned diff = 0;
  for (std::size_t i = 0; i < n; ++i) diff |= static_cast<unsigned char>(expected[i] ^ stored[i]);
  return diff == 0;
}
