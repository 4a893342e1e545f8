#pragma once
// The screen editor's state shared across the program: which page and slot are being
// edited, the page size, what is about to be placed, the selection, and the display
// switches that every page window follows. One object, owned by the application.

#include <cstdint>
#include <vector>

namespace dravik::pictures {
class PictureLibrary;
}

namespace dravik::editor {

// A colour whose top byte is 0xFF names a desktop system colour by its low byte.
inline constexpr std::uint32_t SystemColour(int index) {
  return 0xFF000000u | static_cast<std::uint32_t>(index);
}

struct EditorState {
  int CurrentPage = 0;  // 1..240; 0 = none
  int CurrentSlot = 0;
  int PageWidth = 0;
  int PageHeight = 0;
  int PlaceKind = 0;  // the kind the next click places; 0 = none

  std::vector<int> PickList;  // the selected slots of the area selection
  int PickCount = 0;

  bool IsChinese = true;          // the interface language
  bool FontOptimisation = true;   // off: texts drawn with two colours only
  bool BitPreviewOn = false;      // bit elements drawn in their ON state
  bool ShowGrid = true;           // "显示格栅(&S)" (N2)
  int GriX = 32;                  // vertical step between dot rows, 2..72
  int GriY = 16;                  // horizontal step between dot columns, 2..72
  std::uint32_t GriddingColor = SystemColour(11);

  bool BulkMode = false;   // set while many elements are drawn in a row: nothing gets selected
  int RepaintCursor = 0;   // index into the area selection of the next OrganRepaint
  // The project's picture library, which picture elements are drawn from; nullptr shows
  // every picture as the missing-picture placeholder.
  pictures::PictureLibrary* Pictures = nullptr;
};

}  // namespace dravik::editor
