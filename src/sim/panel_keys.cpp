#include "sim/panel_keys.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "elements/bit_properties.h"
#include "sim/panel_session.h"

namespace dravik::sim {
namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

// Names that do not depend on the panel model.
constexpr std::array<std::pair<std::string_view, int>, 16> kPlainNames{{
    {"F1", 0}, {"F2", 1}, {"F3", 2}, {"F4", 3}, {"F5", 4}, {"F6", 5}, {"CLR", 5},
    {"UP", 6}, {"DOWN", 7}, {"LEFT", 8}, {"RIGHT", 9}, {"HOME", 10}, {"MON", 10},
    {"ALM", 11}, {"DIAG", 11}, {"ENTER", kKeyEnter},
}};

}  // namespace

std::string PanelKeyCaption(int key, int panelModel) {
  if (key == kKeyEnter) return "ENT";
  if (key == kKeyEscape) return "ESC";
  if (key < 0 || key >= kPageKeyCount) return {};
  return elements::PanelKeyNames(panelModel)[static_cast<std::size_t>(key)];
}

std::optional<int> PanelKeyFromName(std::string_view name, int panelModel) {
  const std::string upper = Upper(name);
  for (const auto& [plain, key] : kPlainNames) {
    if (upper == plain) return key;
  }
  for (int key = 0; key < kPanelKeyCount; ++key) {
    if (Upper(PanelKeyCaption(key, panelModel)) == upper) return key;
  }
  return std::nullopt;
}

}  // namespace dravik::sim
