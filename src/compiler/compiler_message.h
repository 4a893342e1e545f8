#pragma once
// A message the compiler or the compile check wants shown, with the box it belongs in.
// The core only hands these over; the window or the command line shows them.

#include <string>

#include "platform/bilingual.h"

namespace dravik::compiler {

enum class MessageIcon { Information, Warning, Error };

inline constexpr char kCaptionDravik[] = "Dravik ";
inline constexpr char kCaptionBuild[] = "Build";

struct CompilerMessage {
  std::string caption;
  MessageIcon icon = MessageIcon::Warning;
  Bilingual text;
  bool operator==(const CompilerMessage&) const = default;
};

}  // namespace dravik::compiler
