#include "editor/render/gbk_text.h"

#include <algorithm>

#include "platform/gbk.h"

namespace dravik::editor {

QString FromGbk(std::string_view gbk) {
  // Most element texts are plain ASCII, which GBK leaves as it is.
  if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
  }
  return QString::fromStdString(platform::GbkToUtf8(gbk));
}

}  // namespace dravik::editor
