#include "macro/mac_label_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macro_rows.h"

namespace dravik::macro {
namespace {

using fixture::Comment;
using fixture::K;
using fixture::R;
using fixture::Row;

struct Case {
  const char* name;
  std::vector<MacroRow> rows;  // rows 1, 2, ...
  std::string message;         // empty: passes
};

TEST(MacLabelCheckTest, JumpsNeedALabelAndLabelsAreUnique) {
  const Case cases[] = {
      {"empty macro", {}, ""},
      {"no jumps", {Row(11, R(1), K(2)), Comment("x"), Row(29)}, ""},
      {"goto without label", {Row(29), Row(29), Row(29), Row(25, K(9))}, "L# 4, LABEL 9 未定义！"},
      {"goto with label", {Row(25, K(9)), Row(26, K(9))}, ""},
      {"label before the jump", {Row(26, K(9)), Row(15, R(1), R(2), K(9))}, ""},
      {"if uses A3", {Row(15, K(9), K(9), K(4)), Row(26, K(9))}, "L# 1, LABEL 4 未定义！"},
      {"if != uses A3", {Row(22, R(1), R(2), K(5))}, "L# 1, LABEL 5 未定义！"},
      {"on uses A2", {Row(23, R(1), K(6), K(1)), Row(26, K(1))}, "L# 1, LABEL 6 未定义！"},
      {"off uses A2", {Row(26, K(6)), Row(24, R(1), K(6))}, ""},
      {"a register operand compares by value", {Row(25, R(7)), Row(26, R(7))}, ""},
      {"signed label -1 is 65535",
       {Row(20, R(1), R(2), K(0xFFFF), kMacSigned), Row(26, K(65535))},
       ""},
      {"duplicate label",
       {Row(29), Row(26, K(3)), Row(29), Row(29), Row(29), Row(29), Row(26, K(3))},
       "L# 7, LABEL 3 重复！"},
      {"undefined wins over duplicate",
       {Row(26, K(1)), Row(26, K(1)), Row(25, K(2))},
       "L# 3, LABEL 2 未定义！"},
      {"first undefined is reported", {Row(25, K(8)), Row(25, K(9))}, "L# 1, LABEL 8 未定义！"},
      {"labels of other commands do not count",
       {Row(25, K(3)), Row(11, K(3))},
       "L# 1, LABEL 3 未定义！"},
      {"empty rows count for row numbers",
       {Row(0), Row(0), Row(25, K(1))},
       "L# 3, LABEL 1 未定义！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MacroRows rows{};
    std::copy(c.rows.begin(), c.rows.end(), rows.begin());
    const auto error = CheckMacLabels(rows);
    if (c.message.empty()) {
      EXPECT_FALSE(error.has_value()) << error->chinese;
    } else {
      ASSERT_TRUE(error.has_value());
      EXPECT_EQ(error->chinese, c.message);
      EXPECT_EQ(error->english, c.message);
    }
  }
}

TEST(MacLabelCheckTest, RowsAfterTheLastUsedRowAreIgnored) {
  MacroRows rows{};
  rows[0] = Row(25, K(5));
  rows[1] = Row(26, K(5));
  // Stale operands of emptied rows never count as labels or jumps.
  rows[2] = Row(0, K(5));
  EXPECT_FALSE(CheckMacLabels(rows).has_value());
  rows[1] = Row(0, K(5));
  rows[5] = Row(29);
  EXPECT_EQ(CheckMacLabels(rows)->chinese, "L# 1, LABEL 5 未定义！");
}

}  // namespace
}  // namespace dravik::macro
