#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SlotLabels.h"

TEST(SlotLabels, Holds119LabelsJoinedByCrLf) {
  const std::string t(app::SlotLabels);
  EXPECT_EQ(t.size(), 486u);

  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t p; (p = t.find("\r\n", start)) != std::string::npos; start = p + 2)
    lines.push_back(t.substr(start, p - start));
  lines.push_back(t.substr(start));
  ASSERT_EQ(lines.size(), 119u);
  for (const auto& l : lines) {
    EXPECT_FALSE(l.empty());
    EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << l;
  }

  const std::string head = "a\r\na2\r\na3\r\na4\r\na5\r\nb\r\nk\r\nch\r\nd\r\ne\r\ne2\r\n";
  const std::string tail = "\r\nm5\r\nn\r\nn2\r\nn3\r\nn4\r\nn5";
  EXPECT_EQ(t.substr(0, head.size()), head);
  EXPECT_EQ(t.substr(t.size() - tail.size()), tail);
  // Line i names slot i + 1.
  EXPECT_EQ(lines[22], "l antigua");
  EXPECT_EQ(lines[24], "m antigua");
  EXPECT_EQ(lines[25], "n antigua");
  ASSERT_EQ(lines[26].size(), 1u);
  EXPECT_EQ(static_cast<unsigned char>(lines[26][0]), 241u);
  EXPECT_EQ(lines[118], "n5");
  int high = 0;
  for (unsigned char c : t) high += c >= 128;
  EXPECT_EQ(high, 1);  // "ñ" is the one byte outside ASCII
}
