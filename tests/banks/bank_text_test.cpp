#include <gtest/gtest.h>

#include <string>

#include "banks/BankText.h"
#include "banks/VoiceBanks.h"

using namespace banks;

namespace {

// n bytes counting up, wrapping at 256, so every position holds a known value.
std::string Counting(std::size_t n, int from = 0) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s.push_back(static_cast<char>((from + i) % 256));
  return s;
}

// The text the element of `bytes` must be, built line by line.
std::string Expected(const std::string& bytes) {
  std::string t;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i && i % 255 == 0) t += "\r\n+";
    t += "#" + std::to_string(static_cast<unsigned char>(bytes[i]));
  }
  return t + ",\r\n";
}

std::size_t Count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (auto p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}

}  // namespace

TEST(BankText, WritesTheExactForm) {
  EXPECT_EQ(WriteElement(std::string("\x01\x00\xFF", 3)), "#1#0#255,\r\n");
  EXPECT_EQ(WriteElement(EmptySlot), "#0#0,\r\n");
  EXPECT_EQ(WriteElement(""), ",\r\n");

  std::string b256 = Counting(256, 7);
  std::string t = WriteElement(b256);
  EXPECT_EQ(t, Expected(b256));
  // The second line is "+", one value and ",".
  EXPECT_EQ(t.substr(t.rfind("\r\n+")), "\r\n+#6,\r\n");
}

TEST(BankText, RoundTripsAtLineBoundaries) {
  struct Case {
    std::size_t bytes;
    std::size_t lines;
  } cases[] = {{3, 1}, {2, 1}, {255, 1}, {256, 2}, {510, 2}, {511, 3}, {600, 3}, {5202, 21}};
  for (const auto& c : cases) {
    std::string bytes = Counting(c.bytes, 200);
    std::string text = WriteElement(bytes);
    EXPECT_EQ(text, Expected(bytes)) << c.bytes;
    EXPECT_EQ(Count(text, "\r\n"), c.lines) << c.bytes;
    EXPECT_EQ(Count(text, "+"), c.lines - 1) << c.bytes;
    EXPECT_EQ(ParseElement(text), bytes) << c.bytes;
  }
}

TEST(BankText, ParsesConsecutiveElementsAndTheirLines) {
  std::string a = Counting(600), b(2, '\0'), c = Counting(255, 1);
  std::vector<std::size_t> lines;
  auto parsed = ParseElements(WriteElement(a) + WriteElement(b) + WriteElement(c), &lines);
  ASSERT_EQ(parsed.size(), 3u);
  EXPECT_EQ(parsed[0], a);
  EXPECT_EQ(parsed[1], b);
  EXPECT_EQ(parsed[2], c);
  EXPECT_EQ(lines, (std::vector<std::size_t>{1, 4, 5}));
  EXPECT_TRUE(ParseElements("").empty());
}

TEST(BankText, ReportsMalformedTextWithElementAndLine) {
  const std::string ok = WriteElement(Counting(4));     // one line
  const std::string two = WriteElement(Counting(300));  // two lines
  std::string flat;                                     // 256 values on one line
  for (int i = 0; i < 256; ++i) flat += "#7";
  flat += ",\r\n";
  struct Case {
    const char* name;
    std::string text;
    std::size_t element, line;
  } cases[] = {
      {"value above 255", ok + "#1#256,\r\n", 1, 2},
      {"leading zero", ok + ok + "#01,\r\n", 2, 3},
      {"missing value", "#1#,\r\n", 0, 1},
      {"stray character", ok + "#1 #2,\r\n", 1, 2},
      {"bare LF", "#1#2,\n", 0, 1},
      {"CR without LF", "#1#2,\r#3,\r\n", 0, 1},
      {"missing end", ok + "#1#2", 1, 2},
      {"missing plus", two.substr(0, two.find("\r\n+") + 2) + "#1,\r\n", 0, 2},
      {"short line continued", "#1#2\r\n+#3,\r\n", 0, 1},
      {"256 values on a line", ok + flat, 1, 2},
      {"text after the last element", ok + "x", 1, 2},
  };
  for (const auto& c : cases) {
    try {
      ParseElements(c.text);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const BankTextError& e) {
      EXPECT_EQ(e.Element(), c.element) << c.name << ": " << e.what();
      EXPECT_EQ(e.Line(), c.line) << c.name << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find("line " + std::to_string(c.line)), std::string::npos)
          << c.name << ": " << e.what();
    }
  }
  EXPECT_THROW(ParseElement(ok + ok), BankTextError);
}
