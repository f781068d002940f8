// Writes the seed corpora of the scene document and options file targets
// into OUT_DIR/seeds_scene and OUT_DIR/seeds_options: the document tests'
// fixtures of every version the builder accepts (older and current
// format), the builder's own writing of a document read from one, and the
// options file as the builder stores it, with defaults and with values
// outside their ranges. Built natively with the fuzz targets.
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Files.h"
#include "script/Options.h"
#include "script/SceneDocument.h"
#include "tests/script/script_support.h"

namespace {

void Save(const std::string& folder, const std::string& name, const uint8_t* data, size_t size) {
  mkdir(folder.c_str(), 0755);
  const std::string path = folder + "/" + name;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) {
    fprintf(stderr, "cannot write %s\n", path.c_str());
    exit(1);
  }
}

void Save(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
  Save(folder, name, bytes.data(), bytes.size());
}

// The options file the builder stores for these options.
std::vector<uint8_t> StoredOptions(const CBuilderOptions& options) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store, 4096);
    options.Store(ar);
    ar.Close();
  }
  const size_t size = static_cast<size_t>(file.GetLength());
  uint8_t* bytes = file.Detach();
  std::vector<uint8_t> out(bytes, bytes + size);
  free(bytes);
  return out;
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
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store, 4096);
    WriteSceneDocument(ar, list);
    ar.Close();
  }
  const size_t size = static_cast<size_t>(file.GetLength());
  uint8_t* written = file.Detach();
  Save(scene, "written.lws", written, size);
  free(written);

  CBuilderOptions defaults;
  Save(options, "defaults.opt", StoredOptions(defaults));
  CBuilderOptions wild;
  wild.m_tabSize = 1000;
  wild.m_scrollTime = -1;
  wild.m_waitTick = 0;
  wild.m_beepOnWait = 1 << 30;
  wild.m_deleteClipboardOnExit = 2;
  Save(options, "out_of_range.opt", StoredOptions(wild));
  return 0;
}
