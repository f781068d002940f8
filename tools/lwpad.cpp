// Host tool run after linking each carried program: pads the program with
// zero bytes to its fixed image size, so that whatever the output writer
// appends starts at that offset. Fails (and removes the program, so the
// build does not treat it as up to date) when the linked program is larger
// than its size.
//
//   lwpad NAME FILE     NAME is Halcyra, Emberlyn or Quenlark
//   lwpad --report NAME FILE   only prints the size of a program without one
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/Payload.h"

namespace {

struct Budget {
  const char* name;
  unsigned long size;
  int slots;  // 0 none, 1 icons, 2 icons and logo: what the output writer patches
};

const Budget kBudgets[] = {
    {"Halcyra", carried::kRuntimeImageSize, 2},
    {"Emberlyn", carried::kEngineImageSize, 0},
    {"Quenlark", carried::kInstallerImageSize, 1},
};

// 589824 -> "589,824"
const char* Grouped(unsigned long value, char* out) {
  char digits[32];
  int n = std::snprintf(digits, sizeof digits, "%lu", value);
  int o = 0;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out[o++] = ',';
    out[o++] = digits[i];
  }
  out[o] = 0;
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--report") == 0) {
    std::FILE* f = std::fopen(argv[3], "rb");
    if (!f) return 1;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    char a[32];
    std::printf("size: %-9s %9s bytes (no fixed size)\n", argv[2], Grouped(size, a));
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: lwpad NAME FILE\n");
    return 2;
  }
  const Budget* budget = nullptr;
  for (const Budget& b : kBudgets)
    if (std::strcmp(b.name, argv[1]) == 0) budget = &b;
  if (!budget) {
    std::fprintf(stderr, "lwpad: no fixed size for %s\n", argv[1]);
    return 2;
  }
  const char* path = argv[2];
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    std::fprintf(stderr, "lwpad: cannot open %s\n", path);
    return 1;
  }
  std::vector<unsigned char> bytes;
  unsigned char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(f);

  char a[32], b[32], c[32];
  if (bytes.size() > budget->size) {
    std::fprintf(stderr,
                 "lwpad: %s is %s bytes, larger than its fixed size of %s bytes "
                 "(over by %s)\n",
                 budget->name, Grouped(bytes.size(), a), Grouped(budget->size, b),
                 Grouped(bytes.size() - budget->size, c));
    std::remove(path);
    return 1;
  }
  carried::PatchSlots slots;
  if (budget->slots &&
      !carried::FindPatchSlots(bytes.data(), bytes.size(), budget->slots == 2, &slots)) {
    std::fprintf(stderr,
                 "lwpad: %s lacks the patch slots: icon images 1, 2, 3 of %u, %u, %u bytes%s\n",
                 budget->name, carried::kIcon16Size, carried::kIcon32Size, carried::kIcon48Size,
                 budget->slots == 2 ? " and logo bitmap 144 of 11,816 bytes" : "");
    std::remove(path);
    return 1;
  }
  // An already padded program is only checked: trailing zeros are not code,
  // so its linked size is the size without them.
  size_t linked = bytes.size();
  if (linked == budget->size)
    while (linked > 0 && bytes[linked - 1] == 0) --linked;
  std::printf("size: %-9s %9s bytes of %9s, margin %9s\n", budget->name,
              Grouped(linked, a), Grouped(budget->size, b),
              Grouped(budget->size - linked, c));
  bytes.resize(budget->size, 0);
  f = std::fopen(path, "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
      std::fclose(f) != 0) {
    std::fprintf(stderr, "lwpad: cannot write %s\n", path);
    std::remove(path);
    return 1;
  }
  return 0;
}
