#include "elements/element_operands.h"

#include "elements/element_fields.h"
#include "elements/element_kind.h"

namespace dravik::elements {

namespace {

using model::PageRecord;

// Where a kind keeps its device selector.
enum class SelectorPlace {
  kNone,
  kOperandByte,          // bits 4..7 of ElemByteB
  kRegisterOperandByte,  // bits 4..6 of ElemByteB; bit 7 is the register's Float flag
  kLinkWord,             // bits 8..11 of ElemWordD
  kWholeLongD,           // ElemLongD as a whole number
};

SelectorPlace SelectorPlaceOf(int kind) {
  switch (kind) {
    case kKindRegister:
      return SelectorPlace::kRegisterOperandByte;
    case kKindText:
    case kKindLamp:
    case kKindBitButton:
    case kKindBitSwitch:
    case kKindPicture:
    case kKindTrendChart:
    case kKindBarGraph:
    case kKindSmallRegister:
    case kKindWordField:
    case kKindTrendChartVariant:
      return SelectorPlace::kOperandByte;
    case kKindDynamicText:
    case kKindAsciiChinese:
    case kKindRegisterText:
    case kKindStationText:
    case kKindRectangle:
    case kKindRectangleVariant1:
    case kKindRectangleVariant2:
    case kKindRectangleVariant3:
    case kKindRectangleVariant4:
    case kKindEllipse:
    case kKindMovingShape:
      return SelectorPlace::kLinkWord;
    case kKindWordPanel:
      return SelectorPlace::kWholeLongD;
    default:
      return SelectorPlace::kNone;
  }
}

bool FlagSet(std::uint8_t flag, FlagRule rule) {
  return rule == FlagRule::kExactlyOne ? flag == 1 : flag != 0;
}

ElementAddress Word(std::int64_t address, DeviceSelector selector,
                    AddressRole role = AddressRole::kOperand) {
  return {AddressCategory::kWord, role, address, selector, 0};
}

ElementAddress Bit(std::int64_t address, std::uint8_t operandByte) {
  const OperandByte operand = OperandByte::Unpack(operandByte);
  return {AddressCategory::kBit, AddressRole::kOperand, address,
          DeviceSelector::Of(operand.link, operand.registerKind), operand.bitOrType};
}

ElementAddress StationId(std::int64_t id) {
  return {AddressCategory::kStationId, AddressRole::kStation, id, {}, 0};
}

void AddShapeAddresses(const PageRecord& page, int slot, DeviceSelector selector, FlagRule rule,
                       ElementAddresses& out) {
  const ShapeElement shape(page, slot);
  using enum AddressRole;
  if (FlagSet(shape.movesHorizontally(), rule)) {
    out.Add(Word(shape.horizontalRegister(), selector, kHorizontalMove));
  }
  if (FlagSet(shape.movesVertically(), rule)) {
    out.Add(Word(shape.verticalRegister(), selector, kVerticalMove));
  }
  if (FlagSet(shape.visibilityByRegister(), rule)) {
    out.Add(Word(shape.visibilityRegister(), selector, kVisibility));
  }
}

}  // namespace

std::optional<DeviceSelector> DeviceSelectorOf(const PageRecord& page, int slot) {
  const auto s = static_cast<std::size_t>(slot);
  switch (SelectorPlaceOf(page.ElemKind[s])) {
    case SelectorPlace::kOperandByte: {
      const OperandByte operand = OperandByte::Unpack(page.ElemByteB[s]);
      return DeviceSelector::Of(operand.link, operand.registerKind);
    }
    case SelectorPlace::kRegisterOperandByte:
      return DeviceSelector::Of(0, OperandByte::Unpack(page.ElemByteB[s]).registerKind);
    case SelectorPlace::kLinkWord: {
      const LinkWord word = LinkWord::Unpack(page.ElemWordD[s]);
      return DeviceSelector::Of(word.link, word.registerKind);
    }
    case SelectorPlace::kWholeLongD:
      return DeviceSelector{WordPanelElement(page, slot).deviceSelector()};
    case SelectorPlace::kNone:
      break;
  }
  return std::nullopt;
}

ElementAddresses AddressesOf(const PageRecord& page, int slot, FlagRule flags) {
  ElementAddresses out;
  const int kind = page.ElemKind[static_cast<std::size_t>(slot)];
  const std::optional<DeviceSelector> selector = DeviceSelectorOf(page, slot);
  switch (kind) {
    case kKindText: {
      const TextElement text(page, slot);
      if (text.bitInUse() != 0) out.Add(Bit(text.bitRegister(), text.bitOperandByte()));
      break;
    }
    case kKindLamp:
    case kKindBitButton:
    case kKindBitSwitch: {
      const OperandElement element(page, slot);
      out.Add(Bit(element.registerNumber(), element.operandByte()));
      break;
    }
    case kKindPicture: {
      // The picture's bit only decides whether it is shown, and only when asked to.
      const PictureElement picture(page, slot);
      if (picture.visibilityByBit() != 0) {
        out.Add(Bit(picture.registerNumber(), picture.operandByte()));
      }
      break;
    }
    case kKindRegister:
    case kKindTrendChart:
    case kKindBarGraph:
    case kKindSmallRegister:
    case kKindWordField:
    case kKindTrendChartVariant:
      out.Add(Word(OperandElement(page, slot).registerNumber(), *selector));
      break;
    case kKindDynamicText:
    case kKindAsciiChinese:
    case kKindRegisterText:
      out.Add(Word(LinkWordElement(page, slot).registerNumber(), *selector));
      break;
    case kKindStationText: {
      const StationTextElement text(page, slot);
      out.Add(Word(text.registerNumber(), *selector));
      out.Add(StationId(text.stationId()));
      break;
    }
    case kKindRectangle:
    case kKindRectangleVariant1:
    case kKindRectangleVariant2:
    case kKindRectangleVariant3:
    case kKindRectangleVariant4:
    case kKindEllipse:
    case kKindMovingShape:
      AddShapeAddresses(page, slot, *selector, flags, out);
      break;
    case kKindWordPanel:
      out.Add(Word(WordPanelElement(page, slot).registerNumber(), *selector));
      break;
    case kKindFunctionKey: {
      // Only the recipe-save function (0) of a key set to a panel function (bit 3) names a
      // station.
      const FunctionKeyElement key(page, slot);
      if ((key.options() & 0x08) != 0 && key.panelFunction() == 0) {
        out.Add(StationId(key.stationId()));
      }
      break;
    }
    default:
      break;
  }
  return out;
}

}  // namespace dravik::elements
