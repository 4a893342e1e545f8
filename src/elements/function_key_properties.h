#pragma once
// What the function key dialog edits, as plain values: the two captions, the colours, the
// format word and what the key does, a page jump or one of the panel's functions. Read
// from a slot when the dialog opens, written back at OK.

#include <array>
#include <cstdint>
#include <string>

#include "elements/element_frame.h"
#include "elements/format_word.h"
#include "model/page_record.h"

namespace dravik::elements {

// The panel functions a key runs, in the order of their codes (ElemWordE).
inline constexpr std::array<const char*, 8> kPanelFunctionNames{
    "配方保存",  "配方调用",  "配方初始化", "语言转换",
    "屏幕亮度+", "屏幕亮度-", "密码登录",   "LCD 反色"};

// A caption takes at most this many characters: twenty Chinese characters still fit the
// 50 bytes of the field and the panel takes the caption whole.
inline constexpr int kFunctionKeyCaptionCharacters = 20;

// The flags of ElemWordD.
inline constexpr std::uint16_t kFunctionKeyTransparent = 0x1;
inline constexpr std::uint16_t kFunctionKeyPassword = 0x2;
inline constexpr std::uint16_t kFunctionKeyPageJump = 0x4;
inline constexpr std::uint16_t kFunctionKeyPanelFunction = 0x8;

enum class FunctionKeyAction { kPageJump, kPanelFunction };

// What a key with these flags does. With the panel function bit set it runs the function;
// with neither action bit set it is taken as a page jump, the action of a new key.
FunctionKeyAction FunctionKeyActionOf(std::uint16_t options);
// The flags a key keeps after its dialog: the two check boxes and its action, nothing else.
std::uint16_t FunctionKeyOptions(bool transparent, bool passwordProtected,
                                 FunctionKeyAction action);

struct FunctionKeyProperties {
  FrameValues frame;
  std::string captionOne;  // ElemTextA, GBK
  std::string captionTwo;  // ElemTextB, GBK
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  FormatWord format;
  bool transparent = false;
  bool passwordProtected = false;
  FunctionKeyAction action = FunctionKeyAction::kPageJump;
  // Both are kept whichever action the key has.
  int jumpPage = 0;       // ElemLongD: position in the jump-target list = page number
  int panelFunction = 0;  // ElemWordE: item of kPanelFunctionNames
  bool operator==(const FunctionKeyProperties&) const = default;
};

FunctionKeyProperties ReadFunctionKeyProperties(const model::PageRecord& page, int slot);
void WriteFunctionKeyProperties(model::PageRecord& page, int slot,
                                const FunctionKeyProperties& key);

}  // namespace dravik::elements
