// Writes the seed corpora of the scene document, options file and
// clipboard block targets into OUT_DIR/seeds_scene, seeds_options and
// seeds_clipboard: the document tests' fixtures of every version the
// builder accepts (older and current format), the builder's own writing of
// a document read from one, the options file as the builder stores it,
// with defaults and with values outside their ranges, and the three blocks
// as the builder writes them for selections of a document's commands (each
// behind the byte by which the target picks its block). Built natively
// with the fuzz targets.
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "script/Options.h"
#include "script/SceneClipboard.h"
#include "script/SceneDocument.h"
#include "tests/script/script_support.h"
#include "tools/fuzz/ArchiveBytes.h"

namespace {

void Save(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
  mkdir(folder.c_str(), 0755);
  const std::string path = folder + "/" + name;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
    fprintf(stderr, "cannot write %s\n", path.c_str());
    exit(1);
  }
}

// What a writer stores, as bytes.
template <typename Write>
std::vector<uint8_t> Stored(Write write) {
  uint8_t* bytes = nullptr;
  const size_t size = StoreArchiveBytes(write, &bytes);
  std::vector<uint8_t> out(bytes, bytes + size);
  free(bytes);
  return out;
}

// A block behind the byte by which the clipboard target picks its reader.
std::vector<uint8_t> Picked(uint8_t kind, std::vector<uint8_t> block) {
  block.insert(block.begin(), kind);
  return block;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string scene = std::string(argv[1]) + "/seeds_scene";
  const std::string options = std::string(argv[1]) + "/seeds_options";
  // Every version of one decimal the builder accepts, in either format.
  char name[64];
  for (int tenths = 10; tenths <= 50; ++tenths) {
    const float v = static_cast<float>(tenths / 10.0);
    if (IsAcceptedVersion(v, 1, nullptr)) {
      snprintf(name, sizeof name, "older_%.1f.lws", v);
      Save(scene, name, OlderDocument(v));
    }
    if (IsAcceptedVersion(v, 0, nullptr)) {
      snprintf(name, sizeof name, "current_%.1f.lws", v);
      Save(scene, name, CurrentDocument(v));
    }
  }
  // The builder's own writing of the newest fixture.
  CCommandList list;
  if (ReadDocument(CurrentDocument(4.7f), list) != -1) {
    fprintf(stderr, "the current fixture is not read\n");
    return 1;
  }
  Save(scene, "written.lws", Stored([&](CArchive& ar) { WriteSceneDocument(ar, list); }));

  // The clipboard blocks, for selections of the document just read.
  const std::string clipboard = std::string(argv[1]) + "/seeds_clipboard";
  const std::vector<std::vector<int>> selections = {{0, 1, 2}, {2}, {3}, {0, 1, 2, 3}};
  int n = 0;
  for (const std::vector<int>& lines : selections) {
    CObArray selected;
    for (int line : lines) selected.Add(list.GetCommand(line));
    list.NumberCommands();
    snprintf(name, sizeof name, "copy_%d.blk", n);
    Save(clipboard, name, Picked(0, Stored([&](CArchive& ar) { WriteCopyBlock(ar, selected); })));
    list.NumberCommands();
    snprintf(name, sizeof name, "move_%d.blk", n++);
    Save(clipboard, name, Picked(1, Stored([&](CArchive& ar) { WriteMoveBlock(ar, selected); })));
  }
  Save(clipboard, "link.blk", Picked(2, Stored([](CArchive& ar) { WriteLinkBlock(ar, 3); })));

  CBuilderOptions defaults;
  Save(options, "defaults.opt", Stored([&](CArchive& ar) { defaults.Store(ar); }));
  CBuilderOptions wild;
  wild.m_tabSize = 1000;
  wild.m_scrollTime = -1;
  wild.m_waitTick = 0;
  wild.m_beepOnWait = 1 << 30;
  wild.m_deleteClipboardOnExit = 2;
  Save(options, "out_of_range.opt", Stored([&](CArchive& ar) { wild.Store(ar); }));
  return 0;
}
