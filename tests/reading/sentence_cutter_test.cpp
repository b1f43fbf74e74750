#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "speech/SentenceCutter.h"

namespace {
// Cuts a whole text the way the reading does, tick after tick; what it passes over for
// having nothing to say goes to passedOver.
std::vector<std::string> CutAll(std::string& text, std::vector<std::string>* passedOver = nullptr) {
  std::vector<std::string> out;
  SentenceCursor c;
  std::string s;
  while (CutSentenceToSay(text, c, s, [&](const std::string& p) {
    if (passedOver) passedOver->push_back(p);
  })) {
    out.push_back(s);
    ConsumeSeparator(text, c);
    if (out.size() > 1000) break;
  }
  return out;
}
}  // namespace

TEST(SentenceCutter, CutsAtFullStopsBeforeCapitalsAndAtLineEnds) {
  struct Case {
    std::string text;
    std::vector<std::string> sentences;
  } cases[] = {
      {"Hola. Adios\r\n", {"Hola. ", "Adios\r"}},
      {"Hola. Adios", {"Hola. ", "Adios"}},
      {"Hola. \xC1rbol", {"Hola. ", "\xC1rbol"}},      // accented capital cuts
      {"Vino la ONU. Luego", {"Vino la ONU. Luego"}},  // abbreviation in capitals
      {"Hola. \xBFQu\xE9?", {"Hola. \xBFQu\xE9?"}},    // inverted question mark
      {"Hola. \xD1u", {"Hola. \xD1u"}},
      {"Hola. 3 veces", {"Hola. 3 veces"}},
      {"Hola.  Adios", {"Hola.  Adios"}},  // two blanks
      {"uno\r\ndos\r\ntres\r\n", {"uno\r", "dos\r", "tres\r"}},
      {"uno\r\n\r\n\r\ndos", {"uno    \r", "dos"}},  // folded blank lines
      {"a", {"a"}},
      {"7", {"7"}},
      {"", {}},
  };
  for (auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(CutAll(text), c.sentences) << c.text;
  }
}

TEST(SentenceCutter, ConsumesSeparatorsAndSkippedControlBytesInPlace) {
  std::string text = "uno\r\n\r\n\r\ndos";
  SentenceCursor c;
  std::string s = CutSentence(text, c);
  EXPECT_EQ(s, "uno    \r");
  EXPECT_EQ(c.SentenceEnd, 8);
  ConsumeSeparator(text, c);
  EXPECT_EQ(text, std::string("uno    \0\ndos", 12));
  s = CutSentence(text, c);
  EXPECT_EQ(s, "dos");
  EXPECT_EQ(text, std::string("uno    \0\0dos", 12));
  EXPECT_EQ(c.SentenceEnd, 13);  // runs to the end of the text
}

TEST(SentenceCutter, TrailingLineEndLeavesOnlyTheLineFeed) {
  std::string text = "Fin\r\n";
  SentenceCursor c;
  EXPECT_FALSE(ReadingAtEnd(text, c));
  EXPECT_EQ(CutSentence(text, c), "Fin\r");
  ConsumeSeparator(text, c);
  // Only the LF is left after the consumed CR: nothing more to read.
  EXPECT_EQ(c.SentenceEnd, 4);
  EXPECT_FALSE(ReadingAtEnd(text, c));
  EXPECT_EQ(CutSentence(text, c), "");
  EXPECT_TRUE(ReadingAtEnd(text, c));
}

TEST(SentenceCutter, NothingToSayBelowDigitZero) {
  EXPECT_FALSE(HasSomethingToSay(""));
  EXPECT_FALSE(HasSomethingToSay("  ...---!\r"));
  EXPECT_TRUE(HasSomethingToSay("...0"));
  EXPECT_TRUE(HasSomethingToSay(" \xBF"));
}

TEST(SentenceCutter, TheReadingPassesOverSentencesWithNothingToSay) {
  std::string text = "Uno.\r\n--- !\r\nDos.\r\n \r\n";
  std::vector<std::string> passed;
  EXPECT_EQ(CutAll(text, &passed), (std::vector<std::string>{"Uno.\r", "Dos.\r"}));
  EXPECT_EQ(passed, (std::vector<std::string>{"--- !\r", " \r"}));
}
