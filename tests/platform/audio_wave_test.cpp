#include <gtest/gtest.h>

#include <functional>

#include "platform/audio/WaveFile.h"
#include "tests/platform/audio_test_files.h"

using namespace platform;
using audio_test::MakeWave;

namespace {
void Set32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
}
void Set16(std::string& b, size_t at, uint16_t v) {
  b[at] = char(v);
  b[at + 1] = char(v >> 8);
}
// A good file, then one change to it.
std::string Good() { return EncodeWave(MakeWave(22050, 1, 16, 100)); }
}  // namespace

TEST(WaveFile, ReadsEveryPcmLayoutBackAsWritten) {
  struct Case {
    uint32_t rate;
    uint16_t channels, bits;
  } cases[] = {{22050, 1, 16}, {11025, 1, 16}, {8000, 1, 16}, {44100, 2, 16},
               {8000, 1, 8},   {11025, 2, 8},  {1, 1, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << "/" << c.channels << "/" << c.bits);
    const WaveData in = MakeWave(c.rate, c.channels, c.bits, 777);
    WaveData out;
    ASSERT_EQ(ParseWave(EncodeWave(in), out), WaveError::None);
    EXPECT_EQ(out.rate, c.rate);
    EXPECT_EQ(out.channels, c.channels);
    EXPECT_EQ(out.bits, c.bits);
    EXPECT_EQ(out.samples, in.samples);
    EXPECT_EQ(out.Frames(), 777u);
  }
}

TEST(WaveFile, SkipsOtherChunksWithTheirPaddingAndDropsAPartialFrame) {
  const WaveData w = MakeWave(8000, 2, 16, 10);
  std::string b = EncodeWave(w);
  // An odd-sized chunk (with its pad byte) between fmt and data, and 3 extra data bytes.
  const std::string list = std::string("LIST\x03\x00\x00\x00xyz\x00", 12);
  b.insert(36, list);
  b += "abc";
  Set32(b, 40 + 12, uint32_t(w.samples.size() + 3));
  Set32(b, 4, uint32_t(b.size() - 8));
  WaveData out;
  ASSERT_EQ(ParseWave(b, out), WaveError::None);
  EXPECT_EQ(out.samples, w.samples);
}

TEST(WaveFile, RejectsBrokenAndForeignFiles) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> change;
    WaveError want;
  } cases[] = {
      {"empty", [](std::string& b) { b.clear(); }, WaveError::Malformed},
      {"RIFF only", [](std::string& b) { b.resize(6); }, WaveError::Malformed},
      {"cut inside fmt", [](std::string& b) { b.resize(30); }, WaveError::Malformed},
      {"cut inside data", [](std::string& b) { b.resize(100); }, WaveError::Malformed},
      {"not RIFF", [](std::string& b) { b[0] = 'X'; }, WaveError::Malformed},
      {"not WAVE", [](std::string& b) { b[8] = 'A'; }, WaveError::Malformed},
      {"data longer than file", [](std::string& b) { Set32(b, 40, 1000); }, WaveError::Malformed},
      {"huge data size", [](std::string& b) { Set32(b, 40, 0xFFFFFFFF); }, WaveError::Malformed},
      {"huge RIFF size", [](std::string& b) { Set32(b, 4, 0xFFFFFFFF); }, WaveError::Malformed},
      {"short fmt", [](std::string& b) { Set32(b, 16, 8); }, WaveError::Malformed},
      {"no data chunk", [](std::string& b) { b[36] = 'x'; }, WaveError::Malformed},
      {"no fmt chunk", [](std::string& b) { b[12] = 'x'; }, WaveError::Malformed},
      {"float samples", [](std::string& b) { Set16(b, 20, 3); }, WaveError::Unsupported},
      {"compressed", [](std::string& b) { Set16(b, 20, 2); }, WaveError::Unsupported},
      {"24 bits",
       [](std::string& b) {
         Set16(b, 34, 24);
         Set16(b, 32, 3);
       },
       WaveError::Unsupported},
      {"three channels", [](std::string& b) { Set16(b, 22, 3); }, WaveError::Unsupported},
      {"rate 0", [](std::string& b) { Set32(b, 24, 0); }, WaveError::Unsupported},
      {"wrong block size", [](std::string& b) { Set16(b, 32, 4); }, WaveError::Unsupported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string b = Good();
    c.change(b);
    b.shrink_to_fit();  // lets the address checker see any read past the end
    WaveData out;
    EXPECT_EQ(ParseWave(b, out), c.want);
  }
}

TEST(WaveFile, TellsMissingFilesAndFoldersApart) {
  audio_test::TempDir dir("wave");
  WaveData out;
  EXPECT_EQ(ReadWaveFile(dir.File("missing.wav"), out), WaveError::NotFound);
  EXPECT_EQ(ReadWaveFile(dir.path.string(), out), WaveError::NotAFile);
  const WaveData w = MakeWave(11025, 1, 8, 50);
  ASSERT_TRUE(WriteWaveFile(dir.File("a.wav"), w));
  ASSERT_EQ(ReadWaveFile(dir.File("a.wav"), out), WaveError::None);
  EXPECT_EQ(out.samples, w.samples);
  EXPECT_FALSE(WriteWaveFile(dir.File("no/such/folder.wav"), w));
}
