#include "platform/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace dravik::platform {

namespace {

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `input`; on a sequence that cannot be converted, appends `replacement`, resets
  // the converter and skips what `skipLength` says (at least one byte).
  std::string Run(std::string_view input, std::string_view replacement,
                  size_t (*skipLength)(unsigned char lead, size_t left)) {
    std::string out;
    if (!valid()) {
      out.assign(input);
      return out;
    }
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[512];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      const size_t result = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      if (result != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ (not a valid sequence) or EINVAL (cut off at the end).
      out.append(replacement);
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      const size_t skip = skipLength(static_cast<unsigned char>(*in), inLeft);
      in += skip;
      inLeft -= skip;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    return out;
  }

 private:
  iconv_t cd_;
};

size_t OneByte(unsigned char, size_t) { return 1; }

// A character GBK lacks is one '?', not one per UTF-8 byte.
size_t Utf8SequenceLength(unsigned char lead, size_t left) {
  size_t length = 1;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xC2 && lead < 0xE0) length = 2;
  return length <= left ? length : left;
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  Converter converter("UTF-8", "GBK");
  return converter.Run(gbk, kReplacementUtf8, OneByte);
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  Converter converter("GBK", "UTF-8");
  return converter.Run(utf8, "?", Utf8SequenceLength);
}

}  // namespace dravik::platform
