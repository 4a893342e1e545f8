#pragma once
// GBK <-> UTF-8 at the edges (widgets, command line, text export). The model keeps GBK
// bytes; lengths are counted in GBK bytes.

#include <string>
#include <string_view>

namespace dravik::platform {

// Never fails: a byte pair that is not GBK, or a lead byte cut off at the end, becomes
// U+FFFD and decoding goes on with the next byte.
std::string GbkToUtf8(std::string_view gbk);

// Characters GBK cannot hold (and bytes that are not UTF-8) become '?'.
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace dravik::platform
