#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/StringList.h"

using platform::EStringListError;
using platform::TStringList;

TEST(StringList, TextSplitsIntoOneEntryPerLine) {
  struct Case {
    std::string text;
    std::vector<std::string> want;
  } cases[] = {
      {"", {}},
      {"a.wav", {"a.wav"}},
      {"a.wav\r\n", {"a.wav"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\n\r", {"", ""}},  // LF then a lone CR: two line ends
      {std::string("a\0b", 3), {"a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    TStringList l;
    l.Add("old");
    l.SetText(c.text);
    ASSERT_EQ(l.Count(), static_cast<int>(c.want.size()));
    for (int i = 0; i < l.Count(); ++i) EXPECT_EQ(l.Strings(i), c.want[i]);
  }
}

TEST(StringList, IndexOutsideTheListFails) {
  TStringList l;
  l.SetText("x\r\ny");
  EXPECT_EQ(l.Text(), "x\r\ny\r\n");
  EXPECT_THROW(l.Strings(2), EStringListError);
  EXPECT_THROW(l.Strings(-1), EStringListError);
  l.Clear();
  EXPECT_THROW(l.Strings(0), EStringListError);
}
