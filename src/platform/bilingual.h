#pragma once
// A user-visible text in both interface languages. The core hands these to whoever
// shows them; the choice of language is made at the moment of showing.

#include <string>

namespace dravik {

struct Bilingual {
  std::string chinese;
  std::string english;

  const std::string& In(bool isChinese) const { return isChinese ? chinese : english; }
  bool operator==(const Bilingual&) const = default;
};

// A text that reads the same in both languages (the system has a few of those).
inline Bilingual Both(std::string text) { return {text, text}; }

}  // namespace dravik
