#pragma once
// The drawing tables of the element renderers, indexed by the size code of an element,
// and the panel font "宋体".

#include <QFont>
#include <array>
#include <string_view>

namespace dravik::editor {

inline constexpr int kSizeCodeCount = 8;

// size code                                      0   1   2   3   4   5   6   7
inline constexpr std::array<int, kSizeCodeCount> FontPointTable{12, 19, 24, 38, 48, 55, 72, 98};
inline constexpr std::array<int, kSizeCodeCount> TextHeightTable{16, 24, 32, 48, 64, 80, 96, 112};
// width of a half-width character in pixels; a GBK double-byte character takes two
inline constexpr std::array<int, kSizeCodeCount> CharWidthTable{8, 12, 17, 24, 32, 40, 48, 56};

// A size code read from an element is 4 bits wide; codes beyond the tables (the
// ASCII-Chinese element's own sizes 8 and 9, or a damaged record) draw with the largest.
constexpr int ClampSizeCode(int code) {
  return code < 0 ? 0 : (code >= kSizeCodeCount ? kSizeCodeCount - 1 : code);
}

inline constexpr char kSongFamily[] = "宋体";
// The Song-style face "宋体" stands for on Linux (fonts-arphic-uming).
inline constexpr char kSongSubstitute[] = "AR PL UMing CN";

// Maps "宋体" to the installed Song-style face; idempotent. Needs a QGuiApplication.
void InstallSongSubstitution();

// "宋体" at `points` as the panel's 96 dpi desktop sizes it: the character height is
// points × 96 / 72 pixels, rounded. `smooth` false draws without anti-aliasing.
QFont SongFont(int points, bool smooth = true);

}  // namespace dravik::editor
