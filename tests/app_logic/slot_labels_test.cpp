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

  // The whole text: a and its variants, then the consonants; slots 45 to 104 are the
  // consonant variants; l, m and n with their variants come last.
  const std::string Expected =
      "a\r\na2\r\na3\r\na4\r\na5\r\n"
      "b\r\nk\r\nch\r\nd\r\n"
      "e\r\ne2\r\ne3\r\ne4\r\ne5\r\n"
      "f\r\ng\r\n"
      "i\r\ni2\r\ni3\r\ni4\r\ni5\r\n"
      "j\r\nl antigua\r\nll\r\nm antigua\r\nn antigua\r\n"
      "\xF1"
      "\r\n"
      "o\r\no2\r\no3\r\no4\r\no5\r\n"
      "p\r\nr\r\nrr\r\ns\r\nt\r\n"
      "u\r\nu2\r\nu3\r\nu4\r\nu5\r\n"
      "x\r\nz\r\n"
      "b2\r\nb3\r\nb4\r\nb5\r\n"
      "k2\r\nk3\r\nk4\r\nk5\r\n"
      "ch2\r\nch3\r\nch4\r\nch5\r\n"
      "d2\r\nd3\r\nd4\r\nd5\r\n"
      "f2\r\nf3\r\nf4\r\nf5\r\n"
      "g2\r\ng3\r\ng4\r\ng5\r\n"
      "j2\r\nj3\r\nj4\r\nj5\r\n"
      "p2\r\np3\r\np4\r\np5\r\n"
      "r2\r\nr3\r\nr4\r\nr5\r\n"
      "rr2\r\nrr3\r\nrr4\r\nrr5\r\n"
      "s2\r\ns3\r\ns4\r\ns5\r\n"
      "t2\r\nt3\r\nt4\r\nt5\r\n"
      "x2\r\nx3\r\nx4\r\nx5\r\n"
      "ll2\r\nll3\r\nll4\r\nll5\r\n"
      "z2\r\nz3\r\nz4\r\nz5\r\n"
      "l\r\nl2\r\nl3\r\nl4\r\nl5\r\n"
      "m\r\nm2\r\nm3\r\nm4\r\nm5\r\n"
      "n\r\nn2\r\nn3\r\nn4\r\nn5";
  EXPECT_EQ(t, Expected);

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
