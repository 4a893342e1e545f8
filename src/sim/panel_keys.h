#pragma once
// The panel's keys by name: what the window's buttons say and what the command line's
// `--key` takes.

#include <optional>
#include <string>
#include <string_view>

namespace dravik::sim {

// The caption of key `key` (0..23) on panel model `panelModel`: the page key names
// (F1.., "∧", "监视" or "HOME", ...), then "ENT" and "ESC".
std::string PanelKeyCaption(int key, int panelModel);

// A key named on the command line: F1..F6, CLR, UP, DOWN, LEFT, RIGHT, HOME or MON, ALM
// or DIAG, 0..9, ENT or ENTER, ESC (any case), or a caption as the window shows it.
std::optional<int> PanelKeyFromName(std::string_view name, int panelModel);

}  // namespace dravik::sim
