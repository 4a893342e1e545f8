#include "elements/function_key_properties.h"

#include "elements/element_fields.h"

namespace dravik::elements {

FunctionKeyAction FunctionKeyActionOf(std::uint16_t options) {
  return (options & kFunctionKeyPanelFunction) != 0 ? FunctionKeyAction::kPanelFunction
                                                    : FunctionKeyAction::kPageJump;
}

std::uint16_t FunctionKeyOptions(bool transparent, bool passwordProtected,
                                 FunctionKeyAction action) {
  std::uint16_t options =
      action == FunctionKeyAction::kPageJump ? kFunctionKeyPageJump : kFunctionKeyPanelFunction;
  if (transparent) options |= kFunctionKeyTransparent;
  if (passwordProtected) options |= kFunctionKeyPassword;
  return options;
}

FunctionKeyProperties ReadFunctionKeyProperties(const model::PageRecord& page, int slot) {
  const FunctionKeyElement element(page, slot);
  const std::uint16_t options = element.options();
  return {ReadFrame(page, slot),
          element.languageOneText().Str(),
          element.languageTwoText().Str(),
          ColourOf(element.backColour()),
          ColourOf(element.foreColour()),
          FormatWord::Unpack(element.formatBits()),
          (options & kFunctionKeyTransparent) != 0,
          (options & kFunctionKeyPassword) != 0,
          FunctionKeyActionOf(options),
          element.jumpPage(),
          element.panelFunction()};
}

void WriteFunctionKeyProperties(model::PageRecord& page, int slot,
                                const FunctionKeyProperties& key) {
  const FunctionKeyElement element(page, slot);
  WriteFrame(page, slot, key.frame);
  StoreText(element.languageOneText(), key.captionOne);
  StoreText(element.languageTwoText(), key.captionTwo);
  element.backColour() = ColourField(key.backColour);
  element.foreColour() = ColourField(key.foreColour);
  element.formatBits() = key.format.Pack();
  element.options() = FunctionKeyOptions(key.transparent, key.passwordProtected, key.action);
  element.jumpPage() = key.jumpPage;
  element.panelFunction() = static_cast<std::uint16_t>(key.panelFunction);
}

}  // namespace dravik::elements
