#pragma once
// The register an element refers to, as its property dialog offers it: the register kinds
// of the element's link from the work parameters' lists, the highest number and bit
// number of the chosen kind, how its numbers are written, and the captions that name it.
//
// Lists that say nothing about the link (a protocol the device resources do not have, or
// no kind of the category at all) cannot judge a stored operand: the dialog then shows
// the stored kind as "unknown (N)" and gives kind, number and bit back as they were,
// instead of lowering them to whatever an empty list would allow.

#include <string>
#include <string_view>
#include <vector>

#include "elements/element_operands.h"
#include "params/device_resources.h"

namespace dravik::elements {

// The highest number a register field (ElemWordA, ElemWordE) can hold.
inline constexpr int kRegisterFieldMax = 65535;
// The highest bit number the operand byte can hold.
inline constexpr int kHighestBitNumber = 15;
// The register number edit takes at most this many characters.
inline constexpr int kRegisterTextLength = 5;

// A caption that names the chosen register kind: prefix + kind name (+ ":").
struct KindCaption {
  const char* chinese;
  const char* english;
};
inline constexpr KindCaption kRegisterCaption{"寄存器号", "Register "};
inline constexpr KindCaption kBitSwitchRegisterCaption{"寄存器号 ", "Register "};
// The dynamic text, ASCII-Chinese and drawing dialogs write no blank in English.
inline constexpr KindCaption kLinkWordRegisterCaption{"寄存器号", "Register"};
inline constexpr KindCaption kKeyRegisterCaption{"关键寄存器", "KeyRegister"};
inline constexpr KindCaption kIndirectLimitCaption{"间接上限", "IndirectUpLimit"};

std::string CaptionWithKind(const KindCaption& caption, std::string_view kindName, bool chinese,
                            bool colon = true);

// What the kind list and the register fields show for one kind of a link.
struct OperandView {
  std::vector<std::string> kindItems;  // the kind list's items
  int kindItem = -1;                   // the item shown as chosen
  int kind = 0;                        // the kind index an OK stores
  bool known = true;                   // false: the stored kind is shown as "unknown (N)"
  std::string kindName;                // for the captions
  int maximum = 0;                     // highest register number
  int bitCount = 0;                    // bit kinds: >0 highest bit number, 0 none, -1 hexadecimal

  bool Hexadecimal() const { return bitCount == -1; }
  bool ShowsBitNumber() const { return bitCount > 0; }
};

// Whether the lists describe `link`'s kinds of `category`.
bool OperandKindsKnown(const params::DeviceLists& lists, int link, AddressCategory category);

// The view of kind `kind` of `link` (0 Link 1, 1 Link 2). A kind the list does not have
// becomes its last kind. A kind's maximum beyond what the register field holds is cut to
// the field; a maximum that is not a number counts as 0.
OperandView ViewOperand(const params::DeviceLists& lists, int link, AddressCategory category,
                        int kind, bool chinese);

// A number above `maximum` becomes `maximum`.
int LowerTo(int value, int maximum);

// A register number as the edit shows it: upper-case hexadecimal with at least three
// digits on hexadecimal kinds, decimal otherwise.
std::string RegisterNumberText(int value, bool hexadecimal);
// "0 ~ " + the maximum, written the same way.
std::string RegisterRangeHint(int maximum, bool hexadecimal);
// Whether a text may stand in the edit while typing: at most five digits of the mode
// (hexadecimal digits in either case), or nothing.
bool RegisterTextAllowed(std::string_view text, bool hexadecimal);
// The number the edit holds once left: an empty text is 0, a text that is not a number
// (a paste) leaves `previous`, and a number above `maximum` becomes `maximum`.
int TakeRegisterText(std::string_view text, bool hexadecimal, int maximum, int previous);

}  // namespace dravik::elements
