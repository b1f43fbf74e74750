// Long and odd sentences through the whole synthesis with the compiled-in voices: each one
// becomes a complete WAV file, and nothing crashes.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/fuzz/FuzzEntries.h"

namespace {

std::string Repeated(const std::string& piece, std::size_t length) {
  std::string s;
  while (s.size() < length) s += piece;
  s.resize(length);
  return s;
}

std::string Digits(std::size_t count) {
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s.push_back(static_cast<char>('1' + (i * 7) % 9));
  return s;
}

std::string EveryByte() {
  std::string s = "Hola ";
  for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
  return s + " y adi\xF3s.";
}

std::size_t DataBytes(const std::string& wav) { return wav.size() < 44 ? 0 : wav.size() - 44; }

TEST(OddInput, LongAndStrangeSentencesGiveCompleteFiles) {
  struct Case {
    const char* what;
    std::string sentence;
  } cases[] = {
      {"100 000 characters without punctuation",
       Repeated("la casa de mi abuela tiene un jardin grande ", 100000)},
      {"a number of 5000 digits", "El n\xFAmero " + Digits(5000) + " es largo."},
      {"every byte value", EveryByte()},
      {"only punctuation",
       "\xA1\xBF...,,;;::!!??"
       "()--\"\"''"},
  };
  fuzz::SynthesisSettings settings;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto start = std::chrono::steady_clock::now();
    std::string wav;
    EXPECT_EQ(fuzz::SynthesizeSentence(settings, c.sentence, &wav), "");
    EXPECT_FALSE(wav.empty()) << "no file written";
    std::printf("[ timing   ] %s: %zu bytes of sound in %.2f s\n", c.what, DataBytes(wav),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    ++settings.bank;
  }
}

// A long sentence is as long as its pieces: nothing is dropped on the way.
TEST(OddInput, ALongSentenceKeepsAllOfItsWords) {
  const std::string word = "la casa de mi abuela tiene un jardin grande ";
  fuzz::SynthesisSettings settings;
  std::string shortWav, longWav;
  ASSERT_EQ(fuzz::SynthesizeSentence(settings, Repeated(word, 10 * word.size()), &shortWav), "");
  ASSERT_EQ(fuzz::SynthesizeSentence(settings, Repeated(word, 200 * word.size()), &longWav), "");
  ASSERT_GT(DataBytes(shortWav), 0u);
  const double ratio = double(DataBytes(longWav)) / double(DataBytes(shortWav));
  EXPECT_GT(ratio, 15.0);
  EXPECT_LT(ratio, 25.0);
}

}  // namespace
