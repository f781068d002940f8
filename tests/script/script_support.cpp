// The script tests' shared environment (the recording message sink, a
// private options file) and the document fixtures.
#include "script_support.h"

#include <windows.h>

#include "script/Objects.h"
#include "script/PickSource.h"
#include "tests/support/files.h"
#if LW_SCRIPT_EDITING
#include "script/Options.h"
#endif

namespace {
RecordingSink g_sink;

class ScriptEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    SetMessageBoxSink(&g_sink);
#if LW_SCRIPT_EDITING
    const std::string path = lwtest::TempPath("lw_test_options.opt");
    DeleteFileA(path.c_str());
    CBuilderOptions::SetFilePath(path.c_str());
#endif
  }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ScriptEnvironment);
}  // namespace

RecordingSink& Messages() { return g_sink; }

namespace {

// The older format's motion block of a marker, with random flags, centre
// flags and start point 11, 12.
void OlderMotion(DocBytes& d, float marker) {
  d.Ints({1, 0, 0, 1});  // random flags
  if (marker >= 1.1f) d.Ints({0, 1, 0, 0});  // centre flags
  d.Ints({11, 12, 13, 14, 1, 2, 1, 0, 0, 0, 0, 0, 0, 5000, 1000, 0});
  if (marker >= 1.1f) d.Ints({1, 1});  // keep while moving, restore after hide
  if (marker >= 2.1f) d.Int(7);        // effect
  if (marker >= 3.0f) d.Int(300);      // effect parameter
}

}  // namespace

// An older-format document: a picture, a Show of it, a media object and a
// Play of it.
std::vector<uint8_t> OlderDocument(float marker) {
  DocBytes d;
  d.Header(kSceneIdOlder, marker).Int(4);
  d.Int(kTypeImageText).Root("pic").Ints({0, 0});
  if (marker >= 1.01f && marker <= 2.1f) d.Int(1);  // "desktop" flag
  if (marker > 2.11f) d.Int(3);                      // image source
  d.Int(2).Str("old.bmp").Block({9, 8});
  d.Int(kTypeShow).Root();
  if (marker > 3.2f)
    d.Motion(11, 12, 7);
  else
    OlderMotion(d, marker);
  d.Colour(0x0000FF);
  d.Int(kTypeMedia).Root().Int(2).Str("a.avi");
  if (marker >= 2.0f) d.Int(kMediaVideo);
  d.Block({4, 5});
  d.Int(kTypePlay).Root().Ints({2, 0, 1, 0});
  if (marker >= 2.1f) d.Ints({40, 50});
  d.Ints({1, 1}).Ints({1, 3});  // referrer lists of the two objects
  return d.bytes;
}

// A current-format document holding a text, a picture, a Show and a Play.
std::vector<uint8_t> CurrentDocument(float version) {
  DocBytes d;
  d.Header(kSceneIdCurrent, version).Int(4);
  d.Int(kTypeImageText).Root().Ints({1, 1, 1});
  if (version > 4.11f) d.Ints({10, 20, 1});
  if (version > 4.21f) d.Int(1);
  d.Ints({0x112233, 0x445566});
  if (version > 4.21f) d.Int(2);
  d.Str("Hi\r\nthere").Block(StoredFont("Arial", -13));
  d.Int(kTypeImageText).Root().Ints({0, 0, 2});
  if (version > 4.11f) d.Ints({0, 0, 0});
  if (version > 4.21f) d.Int(0);
  d.Int(3).Str("pic.bmp").Block({1, 2, 3});
  d.Int(kTypeShow).Root().Motion(30, 40).Colour(0x00FF00);
  d.Int(kTypePlay).Root().Ints({2, 0, 1, 0, 5, 6, 7, 8, 5, 1, 0});
  if (version > 4.1f) d.Ints({1, 500});
  d.Ints({0}).Ints({1, 2});  // the text has no referrers, the picture the Show
  return d.bytes;
}

std::vector<uint8_t> Malformed::Bytes() const {
  DocBytes d;
  d.Header(kSceneIdCurrent, 4.7f).Int(count);
  const std::vector<uint8_t> picture = TinyBmp();
  d.Int(kTypeImageText).Root().Ints({0, 0, 1, 0, 0, 0, 0});
  d.Int(static_cast<int>(picture.size())).Str("p").Block(picture);
  d.Int(secondType).Root().Motion(0, 0).Colour(0);
  d.Int(kTypeMedia).Root().Int(mediaBytes).Str("m").Int(3).Block({8});
  d.Int(static_cast<int>(pictureRefs.size()));
  for (int id : pictureRefs) d.Int(id);
  d.Int(static_cast<int>(mediaRefs.size()));
  for (int id : mediaRefs) d.Int(id);
  return d.bytes;
}

