#include <gtest/gtest.h>

#include <algorithm>
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

// A sentence never holds more than MaxSentenceBytes: longer ones are cut at their last blank
// within the bound, or at the bound when they have none. Nothing is lost: the cuts put
// together give the text back, and the caret walks through it to its end.
TEST(SentenceCutter, CutsASentenceLongerThanTheBoundAtItsLastBlank) {
  const std::string commas = [] {
    std::string s;
    while (s.size() < 5 * MaxSentenceBytes) s += "la casa de la abuela tiene un patio con flores, ";
    return s + "fin.\r\nOtra l\xEDnea.\r\n";
  }();
  struct Case {
    const char* what;
    std::string text;
    bool cutAtBlanks;
  } cases[] = {
      {"commas", commas, true},
      {"no blank", std::string(3 * MaxSentenceBytes + 17, 'a'), false},
      {"blank lines",
       "uno" +
           [] {
             std::string s;
             for (int i = 0; i < MaxSentenceBytes; ++i) s += "\r\n";
             return s;
           }() +
           "dos",
       false},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    std::string text = k.text;
    SentenceCursor c;
    std::string s, joined;
    std::int64_t caret = 0;
    while (CutSentenceToSay(text, c, s)) {
      EXPECT_LE(s.size(), static_cast<std::size_t>(MaxSentenceBytes));
      if (k.cutAtBlanks && s.size() > 100) {
        EXPECT_EQ(s.back(), ' ');
        // The last blank within the bound: the next word would not have fitted.
        const std::size_t next = k.text.find(' ', joined.size() + s.size());
        EXPECT_GT(next + 1 - joined.size(), static_cast<std::size_t>(MaxSentenceBytes));
      }
      caret += CaretStep(text, c, s);
      joined += s;
      ConsumeSeparator(text, c);
    }
    std::string expected;
    for (char b : k.text)
      if (b != '\n' && b != '\r') expected += b;
    std::string said;
    for (char b : joined)
      if (b != '\n' && b != '\r') said += b;
    if (k.text.find("\r\n\r\n") != std::string::npos) {
      // The folded blank lines come back as blanks.
      said.erase(std::remove(said.begin(), said.end(), ' '), said.end());
    }
    EXPECT_EQ(said, expected);
    EXPECT_EQ(caret, static_cast<std::int64_t>(k.text.size()));
  }
}

// Exactly at the bound a sentence is still one; a byte more and it is cut.
TEST(SentenceCutter, ASentenceOfTheBoundsLengthIsNotCut) {
  const std::string atBound = std::string(MaxSentenceBytes - 6, 'a') + " bb. C";
  std::string text = atBound + "c\r\n";
  SentenceCursor c;
  EXPECT_EQ(CutSentence(text, c), atBound.substr(0, atBound.size() - 1));
  const std::string line = std::string(MaxSentenceBytes - 1, 'a') + "\r\n";
  text = line;
  c = {};
  EXPECT_EQ(CutSentence(text, c), line.substr(0, line.size() - 1));
  text = "x" + line;
  c = {};
  EXPECT_EQ(CutSentence(text, c), text.substr(0, static_cast<std::size_t>(MaxSentenceBytes)));
}
