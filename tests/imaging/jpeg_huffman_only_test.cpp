// The JPEG reader as the movie engine links it, without the arithmetic
// decoder: Huffman-coded files read as ever, arithmetic-coded ones fail as
// a codec error instead of reaching a decoder that is not there.
#include <gtest/gtest.h>

#include "tests/imaging/image_bytes.h"

using namespace imgtest;

TEST(ImageJpegHuffmanOnly, ArithmeticCodedFailsAndHuffmanReads) {
  const std::string dir = std::string(LW_SOURCE_DIR) + "/tests/imaging/seeds/";
  const Decoded huffman = Decode(lwtest::ReadAll(dir + "huffman.jpg"), Reader::Jpeg, 24);
  ASSERT_TRUE(huffman.ok) << "error " << huffman.error;
  EXPECT_EQ(huffman.width, 61);
  for (const char* name : {"arithmetic.jpg", "arithmetic-progressive.jpg"}) {
    SCOPED_TRACE(name);
    const Decoded d = Decode(lwtest::ReadAll(dir + name), Reader::Jpeg, 24);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.error, kImgBadJpeg);
  }
}
