#pragma once
// A project in memory for the tools' tests, with device lists of its own: Link 1 has word
// kinds D and R and bit kinds D.b (bits in a word), M (plain) and X (hexadecimal); Link 2
// has word kinds 4X and 3X and bit kind 0X.

#include <cstdint>
#include <memory>
#include <string>

#include "elements/placement.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "params/device_resources.h"
#include "platform/gbk.h"

namespace dravik::tools {

inline params::DeviceLists TestLists() {
  params::DeviceLists lists;
  lists.W_DeviceName = {"D", "R"};
  lists.W_DeviceMax = {"65000", "not a number"};
  lists.B_DeviceName = {"D.b", "M", "X"};
  lists.B_DeviceBit = {"15", "0", "-1"};
  lists.B_DeviceMax = {"65000", "8191", "8191"};
  lists.W_DeviceName2 = {"4X", "3X"};
  lists.W_DeviceMax2 = {"65535", "65535"};
  lists.B_DeviceName2 = {"0X"};
  lists.B_DeviceBit2 = {"0"};
  lists.B_DeviceMax2 = {"65535"};
  lists.LinkUseCount = {"Link 1", "Link 2"};
  return lists;
}

class ToolsProject {
 public:
  ToolsProject() { model::InitializeNewProject(*image); }

  // Page `n` in use under `name` (UTF-8).
  model::PageRecord& UsePage(int n, const std::string& name) {
    model::PageRecord& page = image->Page(n);
    page.PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
    page.PageStrings[model::kPageNumberText].Assign(std::to_string(n));
    page.PageStrings[model::kPageName].Assign(platform::Utf8ToGbk(name));
    return page;
  }

  // Places a `kind` on page `n` as the editor does; gives its slot.
  int Place(int n, int kind) {
    const std::optional<int> slot =
        elements::PlaceElement(image->Page(n), image->Settings(), {kind, 20, 20, 40, 20, 0});
    return slot.value_or(-1);
  }

  // Places an element with its operand byte (ElemByteB) and register number (ElemWordA).
  int PlaceOperand(int n, int kind, std::uint16_t address, std::uint8_t operandByte) {
    const int slot = Place(n, kind);
    image->Page(n).ElemWordA[static_cast<std::size_t>(slot)] = address;
    image->Page(n).ElemByteB[static_cast<std::size_t>(slot)] = operandByte;
    return slot;
  }

  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
};

}  // namespace dravik::tools
