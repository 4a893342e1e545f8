#pragma once
// Colours as the project stores them: 0x00BBGGRR, or, with the top bit set, a desktop
// system colour named by the low byte. Linux desktops have no such table, so the editor
// carries one fixed set of Windows-like values; an index outside it is black, as the
// desktop's own lookup answers for an index it does not know.

#include <QColor>
#include <QRgb>
#include <cstdint>

namespace dravik::editor {

// The system colours the editor names.
inline constexpr int kSysScrollBar = 0;       // scroll-bar colour
inline constexpr int kSysWindow = 5;          // window background
inline constexpr int kSysInactiveBorder = 11; // default grid colour
inline constexpr int kSysButtonShadow = 16;
inline constexpr int kSysDarkShadow = 21;     // 3-D dark shadow
inline constexpr int kSystemColourCount = 31;

// The RGB value of system colour `index`; black outside the table.
QRgb SystemColourRgb(int index);

// The RGB value a stored colour stands for.
QRgb ResolveColour(std::uint32_t colour);
inline QColor ResolveQColor(std::uint32_t colour) { return QColor(ResolveColour(colour)); }

// The key complement: the bitwise complement over all 32 bits. A plain colour becomes a
// system colour (mostly an unknown index, so black), a system colour a plain one.
constexpr std::uint32_t KeyComplement(std::uint32_t colour) { return ~colour; }

// 0x00BBGGRR of an RGB value, the form the picture operations take colours in.
constexpr std::uint32_t ToStoredRgb(QRgb rgb) {
  return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8) |
         (static_cast<std::uint32_t>(qBlue(rgb)) << 16);
}

}  // namespace dravik::editor
