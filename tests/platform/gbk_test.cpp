#include "platform/gbk.h"

#include <gtest/gtest.h>

namespace dravik::platform {
namespace {

struct Case {
  const char* name;
  std::string gbk;
  std::string utf8;
};

TEST(Gbk, DecodesWholeAndBrokenText) {
  const Case cases[] = {
      {"ascii", "Window1", "Window1"},
      {"chinese", "\xD6\xD0\xCE\xC4", "中文"},
      {"mixed", "A\xB2\xE8" "B", "A茶B"},
      // A lead byte cut off at the end (a name truncated to 20 bytes) is one U+FFFD.
      {"cut lead byte", "\xD6\xD0\xCE", "中\xEF\xBF\xBD"},
      // A pair that is no GBK character: the lead byte is replaced, the next byte is kept.
      {"bad pair", "\x81\x20Z", "\xEF\xBF\xBD Z"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.name;
  }
}

TEST(Gbk, EncodesAndReplacesWhatGbkLacks) {
  EXPECT_EQ(Utf8ToGbk("茶叶整形机"), "\xB2\xE8\xD2\xB6\xD5\xFB\xD0\xCE\xBB\xFA");
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk("动态文字串")), "动态文字串");
  // An emoji has no GBK form: one '?', not one per UTF-8 byte.
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");
  EXPECT_EQ(Utf8ToGbk("\xFF" "x"), "?x");
}

}  // namespace
}  // namespace dravik::platform
