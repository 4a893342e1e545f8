#include "macro/mac_text.h"

#include <gtest/gtest.h>

#include <string>

#include "macro/mac_command.h"
#include "macro_rows.h"

namespace dravik::macro {
namespace {

using fixture::K;
using fixture::R;
using fixture::Row;

struct TextCase {
  MacroRow row;
  std::string expected;
};

// One row per code with A1 = D1, A2 = D2, A3 = 3 unless the command needs otherwise.
TEST(MacCodeToStrTest, EveryCodeHasItsTextForm) {
  const TextCase cases[] = {
      {Row(1, R(1), R(2), K(3)), "D1 = D2 + 3"},
      {Row(2, R(1), R(2), K(3)), "D1 = D2 - 3"},
      {Row(3, R(1), R(2), K(3)), "D1 = D2 x 3"},
      {Row(4, R(1), R(2), K(3)), "D1 = D2 / 3"},
      {Row(5, R(1), R(2), K(3)), "D1 = D2 % 3"},
      {Row(6, R(1), R(2), K(3)), "D1 = D2 \x7C 3"},
      {Row(7, R(1), R(2), K(3)), "D1 = D2 & 3"},
      {Row(8, R(1), R(2), K(3)), "D1 = D2 ^ 3"},
      {Row(9, R(1), R(2), K(3)), "D1 = D2 << 3"},
      {Row(10, R(1), R(2), K(3)), "D1 = D2 >> 3"},
      {Row(11, R(1), R(2), K(3)), "D1 = D2"},
      {Row(12, R(1), R(2), K(3)), "BMOV( D1, D2, 3 )"},
      {Row(13, R(1), R(2), K(3)), "FILL( D1, D2, 3 )"},
      {Row(14, R(1), R(2), K(3), 0, "Hi"), "CHR( D1, \"Hi\" )"},
      {Row(15, R(1), R(2), K(3)), "IF  D1 == D2 THEN  GOTO  LABEL 3"},
      {Row(16, R(1), R(2), K(3)), "IF  D1 != D2 THEN  GOTO  LABEL 3"},
      {Row(17, R(1), R(2), K(3)), "IF  D1 >  D2 THEN  GOTO  LABEL 3"},
      {Row(18, R(1), R(2), K(3)), "IF  D1 >= D2 THEN  GOTO  LABEL 3"},
      {Row(19, R(1), R(2), K(3)), "IF  D1 <  D2 THEN  GOTO  LABEL 3"},
      {Row(20, R(1), R(2), K(3)), "IF  D1 <= D2 THEN  GOTO  LABEL 3"},
      {Row(21, R(1), R(2), K(3)), "IF ( D1 & D2 ) ==  0 THEN  GOTO  LABEL 3"},
      {Row(22, R(1), R(2), K(3)), "IF ( D1 & D2 ) !=  0 THEN  GOTO  LABEL 3"},
      {Row(23, R(1), K(7)), "IF D1 == ON  THEN  GOTO  LABEL 7"},
      {Row(24, R(1), K(7)), "IF D1 == OFF THEN  GOTO  LABEL 7"},
      {Row(25, K(1)), "GOTO  LABEL  1"},
      {Row(26, K(1)), "LABEL  1"},
      {Row(27, K(16)), "CALL  Sub-macro #16"},
      {Row(28), "RET"},
      {Row(29), "END"},
      {Row(30, R(1)), "SETB  D1"},
      {Row(31, R(1)), "CLRB  D1"},
      {Row(32, R(1)), "INVB  D1"},
      {Row(33, R(1), {}, {}, kMacDoubleWord), "D1 == TIMETICK()"},
      {Row(34, {}, {}, {}, 0, "note {1} {T}"), "#note {1} {T}"},
      {Row(35, R(1), R(2)), "TXD( D1, D2)"},
      {Row(36, R(1), R(2)), "RXD( D1, D2)"},
      {Row(37, R(1), R(2), K(3)), "STR( D1, D2, 3 )"},
      {Row(0, R(1), R(2), K(3)), ""},
      {Row(38, R(1)), ""},
      {Row(255, R(1)), ""},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.row.OPt));
    const MacRowText text = MacCodeToStr(c.row);
    EXPECT_EQ(text.text, c.expected);
    EXPECT_EQ(text.isComment, c.row.OPt == 34);
  }
}

TEST(MacCodeToStrTest, OptionsFollowTheTextFormsThatShowThem) {
  constexpr std::uint8_t kBoth = kMacDoubleWord | kMacSigned;
  const TextCase cases[] = {
      {Row(1, R(10), R(11), K(5), kBoth), "D10 = D11 + 5 ( Signed DW )"},
      {Row(2, R(1), R(2), K(3), kMacDoubleWord), "D1 = D2 - 3 ( DW )"},
      {Row(3, R(1), R(2), K(3), kMacSigned), "D1 = D2 x 3 ( Signed )"},
      {Row(11, R(1), R(2), {}, kMacDoubleWord), "D1 = D2 ( DW )"},
      {Row(10, R(1), R(2), K(3), kBoth), "D1 = D2 >> 3 ( Signed DW )"},
      {Row(15, R(1), R(2), K(3), kBoth), "IF  D1 == D2 THEN  GOTO  LABEL 3 ( Signed DW )"},
      {Row(22, R(1), R(2), K(3), kMacDoubleWord),
       "IF ( D1 & D2 ) !=  0 THEN  GOTO  LABEL 3 ( DW )"},
      // Other bits only: the brackets stay empty.
      {Row(1, R(1), R(2), K(3), 0x04), "D1 = D2 + 3 ( )"},
      // Commands outside 1..11 and 15..22 never show options.
      {Row(12, R(1), R(2), K(3), kBoth), "BMOV( D1, D2, 3 )"},
      {Row(23, R(1), K(7), {}, kBoth), "IF D1 == ON  THEN  GOTO  LABEL 7"},
      {Row(33, R(1), {}, {}, kBoth), "D1 == TIMETICK()"},
      {Row(34, {}, {}, {}, kBoth, "c"), "#c"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(MacCodeToStr(c.row).text, c.expected);
  }
}

TEST(MacCodeToStrTest, SignedConstantsAndRegisterName) {
  EXPECT_EQ(MacCodeToStr(Row(1, R(1), R(2), K(0xFFFF), kMacSigned)).text,
            "D1 = D2 + -1 ( Signed )");
  EXPECT_EQ(MacCodeToStr(Row(1, R(1), R(2), K(0xFFFF))).text, "D1 = D2 + 65535");
  EXPECT_EQ(MacCodeToStr(Row(11, R(4), R(5)), "VW").text, "VW4 = VW5");
}

TEST(MacCodeToStrTest, FiftyCharacterCommentShowsWhole) {
  const std::string text(50, 'c');
  EXPECT_EQ(MacCodeToStr(fixture::Comment(text)).text, "#" + text);
  std::string gbk;
  for (int i = 0; i < 25; ++i) gbk += "\xB0\xA1";
  EXPECT_EQ(MacCodeToStr(fixture::Comment(gbk)).text, "#" + gbk);
}

TEST(MacReStrTest, OperandTexts) {
  const struct Case {
    std::uint8_t kind;
    std::uint16_t value;
    std::uint8_t bit;
    const char* registerName;
    const char* expected;
  } cases[] = {
      {0x00, 5, 0, "D", "5"},
      {0x01, 100, 0, "D", "D100"},
      {0xA9, 100, 0, "D", "D100.A"},  // register, bit mark, bit 10
      {0x19, 100, 0, "D", "D100.1"},
      {0xFB, 100, 0, "D", "D100"},  // bits 0..2 = 011: no bit suffix
      {0xF8, 7, 0, "D", "7.F"},     // constant with a bit mark
      {0x00, 0xFFFF, kMacSigned, "D", "-1"},
      {0x00, 0xFFFF, 0, "D", "65535"},
      {0x00, 0x8000, kMacSigned | kMacDoubleWord, "D", "-32768"},
      {0x08, 0x8000, kMacSigned, "D", "-32768.0"},
      {0x01, 0xFFFF, kMacSigned, "D", "D65535"},  // registers are never signed
      {0x02, 0xFFFF, kMacSigned, "D", "65535"},   // not a plain constant: unsigned
      {0x01, 3, 0, "VW", "VW3"},
      {0x01, 0, 0, "", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(MacReStr(c.kind, c.value, c.bit, c.registerName), c.expected);
  }
}

TEST(MacTemplateTest, EveryCodeHasItsTemplate) {
  const char* const expected[] = {
      "A1 = A2 + A3",
      "A1 = A2 - A3",
      "A1 = A2 x A3",
      "A1 = A2 / A3",
      "A1 = A2 % A3",
      "A1 = A2 | A3",
      "A1 = A2 & A3",
      "A1 = A2 ^ A3",
      "A1 = A2 << A3",
      "A1 = A2 >> A3",
      "A1 = A2",
      "BMOV(A1,A2,A3)",
      "FILL(A1,A2,A3)",
      "CHR(A1,\"A2\")",
      "IF A1  == A2 THEN GOTO LABEL A3",
      "IF A1  != A2 THEN GOTO LABEL A3",
      "IF A1  >  A2 THEN GOTO LABEL A3",
      "IF A1  >= A2 THEN GOTO LABEL A3",
      "IF A1  <  A2 THEN GOTO LABEL A3",
      "IF A1  <= A2 THEN GOTO LABEL A3",
      "IF(A1 & A2) == 0 THEN GOTO LABEL A3",
      "IF(A1 & A2) != 0 THEN GOTO LABEL A3",
      "IF A1 == ON  THEN GOTO LABEL A2",
      "IF A1 == OFF THEN GOTO LABEL A2",
      "GOTO LABEL A1",
      "LABEL A1",
      "CALL  Sub-macro #A1",
      "RET",
      "END",
      "SETB A1",
      "CLRB A1",
      "INVB A1",
      "A1 = TIMETICK()",
      "#A1",
      "TXD(A1,A2)",
      "RXD(A1,A2)",
      "STR(A1,A2,A3)",
  };
  static_assert(std::size(expected) == kMacLastCode);
  for (int code = 1; code <= kMacLastCode; ++code) {
    EXPECT_EQ(MacTemplate(code), expected[code - 1]) << "code " << code;
  }
  EXPECT_EQ(MacTemplate(0), "");
  EXPECT_EQ(MacTemplate(38), "");
}

TEST(MacCommandTest, PanelOffersTwentyOneCommands) {
  const std::string_view names[] = {"ADD",   "SUB",  "MUL",   "DIV",  "MOD",   "OR",    "AND",
                                    "XOR",   "SHL",  "SHR",   "MOV",  "IF ==", "IF !=", "IF >",
                                    "IF >=", "IF <", "IF <=", "GOTO", "LABEL", "END",   "Comment"};
  std::vector<std::string_view> offered;
  for (const MacCommand& command : MacCommands()) {
    if (!command.panelName.empty()) offered.push_back(command.panelName);
  }
  EXPECT_EQ(offered, std::vector<std::string_view>(std::begin(names), std::end(names)));
}

TEST(MacCommandTest, OptionsOffered) {
  for (int code = 1; code <= kMacLastCode; ++code) {
    SCOPED_TRACE(code);
    const MacCommand& command = *FindMacCommand(code);
    const bool signedToo = (code >= 1 && code <= 5) || (code >= 15 && code <= 20);
    const bool doubleWord =
        signedToo || (code >= 6 && code <= 11) || code == 21 || code == 22 || code == 33;
    EXPECT_EQ(command.offersSigned, signedToo);
    EXPECT_EQ(command.offersDoubleWord, doubleWord);
    EXPECT_EQ(command.doubleWordAlways, code == 33);
  }
}

}  // namespace
}  // namespace dravik::macro
