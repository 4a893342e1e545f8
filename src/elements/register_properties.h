#pragma once
// What the register dialog edits, as plain values, with its rules that need no window: the
// ranges of the two limits, the preview text of the digits, the refusal of limits that
// leave no room, and the packing of the fields at OK. A register always refers to Link 1;
// bit 7 of its operand byte is the data format.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "elements/element_frame.h"
#include "elements/format_word.h"
#include "model/page_record.h"
#include "platform/bilingual.h"

namespace dravik::elements {

inline constexpr std::array<const char*, 2> kDataTypeNames{"16 位", "32 位"};
inline constexpr std::array<const char*, 2> kDataFormatNames{"Decimal", "Float"};
inline constexpr std::array<const char*, 3> kKeyConditionNames{"不用", "等于零时", "非零时"};
inline constexpr std::array<const char*, 2> kKeyActionNames{"显示***", "构件隐藏"};

inline constexpr int kDataType16 = 0;
inline constexpr int kDataType32 = 1;
inline constexpr int kKeyConditionNotUsed = 0;
inline constexpr SpinRange kDigitsRange{1, 10};
inline constexpr SpinRange kDecimalsRange{0, 9};
// A register that takes input shows at most this many digits.
inline constexpr int kInputDigitsMax = 9;

struct RegisterProperties {
  FrameValues frame;
  int kind = 0;  // word kind of Link 1
  int registerNumber = 0;
  int dataType = kDataType16;
  bool isFloat = false;
  bool inputAllowed = false;
  bool isSigned = false;
  bool indirectLimits = false;  // the limits are register numbers
  std::int32_t upperLimit = 0xFFFF;
  std::int32_t lowerLimit = 0;
  int digits = 4;
  int decimals = 0;
  FormatWord format;
  bool leadingZeros = false;
  bool passwordProtected = false;
  int keyRegister = 0;
  int keyCondition = kKeyConditionNotUsed;
  int keyAction = 0;
  std::uint32_t backColour = 0;
  std::uint32_t foreColour = 0;
  bool operator==(const RegisterProperties&) const = default;
};

RegisterProperties ReadRegisterProperties(const model::PageRecord& page, int slot);

// The values a limit field takes: the data type's values, or with indirect limits the
// upper limit is a register number up to `registerMaximum`. The lower limit always takes
// the data type's values.
SpinRange UpperLimitRange(const RegisterProperties& reg, int registerMaximum);
SpinRange LowerLimitRange(const RegisterProperties& reg);

// "直接上限K值必须 > 直接下限K值 ！"
extern const Bilingual kDirectLimitsMessage;
// The refusal of OK: direct limits whose lower one is not below the upper one.
std::optional<Bilingual> CheckRegisterLimits(const RegisterProperties& reg);

// The digits 1, 2, ... 9, 0 the preview shows, `decimals` of them after a point ("0." in
// front when all are), with "-" in front for a signed register.
std::string RegisterPreviewText(int digits, int decimals, bool isSigned);

// Writes every field; a register that takes input keeps at most nine digits, and the
// preview follows the digits.
void WriteRegisterProperties(model::PageRecord& page, int slot, RegisterProperties reg);

}  // namespace dravik::elements
