#include "textform/json_value.h"

#include <gtest/gtest.h>

#include "textform/digest.h"

namespace dravik::textform {
namespace {

TEST(JsonValueTest, ParsesWhatItWritesWithEscapesAndNonAscii) {
  JsonValue document = JsonValue::Object();
  document.Add("text", JsonValue::String("quote \" back \\ tab \t nl \n ctl \x01 中文"));
  document.Add("numbers", JsonValue::Array(true)).items = {JsonValue::Number(-9223372036854775807LL - 1),
                                                           JsonValue::Number(0)};
  document.Add("flag", JsonValue::Bool(true));
  const std::string text = WriteJson(document);
  EXPECT_EQ(text.substr(text.find("\"numbers\"")), "\"numbers\": [-9223372036854775808, 0],\n  \"flag\": true\n}\n");
  const Result<JsonValue> parsed = ParseJson(text);
  ASSERT_TRUE(parsed.ok()) << parsed.message();
  EXPECT_EQ(*parsed, document);
}

TEST(JsonValueTest, ReadsUnicodeEscapesAndSurrogatePairs) {
  const Result<JsonValue> parsed = ParseJson(R"(["\u4e2d\u6587", "\ud83d\ude00", "\/"])");
  ASSERT_TRUE(parsed.ok()) << parsed.message();
  EXPECT_EQ(parsed->items[0].text, "中文");
  EXPECT_EQ(parsed->items[1].text, "\xF0\x9F\x98\x80");
  EXPECT_EQ(parsed->items[2].text, "/");
}

TEST(JsonValueTest, RefusesMalformedDocumentsNamingTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"{\"a\": 1,\n\"b\": 2.5}", "line 2:"},
      {"[1e3]", "whole numbers"},
      {"[99999999999999999999]", "out of range"},
      {"{\"a\" 1}", "expected ':'"},
      {"[\"\\ud800\"]", "lone surrogate"},
      {"[1] x", "text after the document"},
      {"\"open", "unterminated string"},
      {"[tru]", "unexpected character"},
  };
  for (const Case& c : cases) {
    const Result<JsonValue> parsed = ParseJson(c.text);
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_NE(parsed.message().find(c.message), std::string::npos) << c.text << ": " << parsed.message();
  }
}

TEST(JsonValueTest, StreamedItemsGoToTheHandlerAndItsRefusalEndsTheParse) {
  std::vector<std::int64_t> seen;
  const auto handler = [&seen](std::size_t, const JsonValue& item) -> Status {
    if (item.number == 3) return Error{"three"};
    seen.push_back(item.number);
    return Status::Ok();
  };
  const Result<JsonValue> kept = ParseJson(R"({"a": [9], "pages": [1, 2], "b": 0})", "pages", handler);
  ASSERT_TRUE(kept.ok());
  EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 2}));
  EXPECT_TRUE(kept->Find("pages")->items.empty());
  EXPECT_EQ(kept->Find("a")->items.size(), 1u);
  const Result<JsonValue> refused = ParseJson(R"({"pages": [1, 3, 4]})", "pages", handler);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.message(), "three");
}

TEST(DigestTest, KnownVectors) {
  const auto bytes = [](std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
  };
  EXPECT_EQ(Sha256Hex(bytes("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex(bytes("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex(bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  const std::vector<std::uint8_t> million(1000000, 'a');
  EXPECT_EQ(Sha256Hex(million), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  const std::pair<const char*, const char*> base64[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : base64) {
    EXPECT_EQ(Base64Encode(bytes(plain)), encoded);
    EXPECT_EQ(Base64Decode(encoded), bytes(plain));
  }
  for (const char* bad : {"Zg=", "Z===", "Zg=a", "Zm9v!A==", "=Zm9"}) EXPECT_FALSE(Base64Decode(bad)) << bad;
}

}  // namespace
}  // namespace dravik::textform
