#pragma once
// Element texts are GBK bytes in the page record; they become Qt strings only here, at
// the moment they are drawn.

#include <QString>
#include <string_view>

namespace dravik::editor {

QString FromGbk(std::string_view gbk);

}  // namespace dravik::editor
