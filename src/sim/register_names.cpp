#include "sim/register_names.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <sstream>

#include "compiler/image_layout.h"
#include "compiler/image_reader.h"
#include "platform/files.h"
#include "tools/device_tables.h"

namespace dravik::sim {

namespace {

constexpr std::string_view kLinkTwoPrefix = "2:";
constexpr std::string_view kLinkOnePrefix = "1:";
constexpr int kHighestBit = 15;
// A register file is a few lines per register set; anything this large is not one.
constexpr std::size_t kRegisterFileLimit = 16 * 1024 * 1024;

std::string LinkPrefix(std::uint8_t link) {
  return link == 1 ? std::string(kLinkTwoPrefix) : std::string();
}

bool Octal(const RegisterNaming& naming, const BitAddress& address, const BitKind& kind) {
  return tools::OctalNumbered(naming.protocols[address.link % kLinkCount], address.kind,
                              kind.bitInfo);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) ==
                  std::toupper(static_cast<unsigned char>(b));
         });
}

Error NameError(std::string chinese, std::string english) {
  return Error(Bilingual{std::move(chinese), std::move(english)});
}

// A kind whose name `text` starts with, as a candidate reading.
struct Candidate {
  bool isBit = false;
  std::uint8_t kind = 0;
  std::size_t nameLength = 0;
};

// The candidates, longest name first; of equal names the preferred category first.
std::vector<Candidate> CandidatesFor(const LinkKinds& kinds, std::string_view text,
                                     NamePreference prefer) {
  std::vector<Candidate> candidates;
  for (std::size_t k = 0; k < kinds.words.size() && k < 256; ++k) {
    const std::string& name = kinds.words[k].name;
    if (!name.empty() && StartsWithNoCase(text, name)) {
      candidates.push_back({false, static_cast<std::uint8_t>(k), name.size()});
    }
  }
  for (std::size_t k = 0; k < kinds.bits.size() && k < 256; ++k) {
    const std::string& name = kinds.bits[k].name;
    if (!name.empty() && StartsWithNoCase(text, name)) {
      candidates.push_back({true, static_cast<std::uint8_t>(k), name.size()});
    }
  }
  const bool bitsFirst = prefer == NamePreference::Bit;
  std::stable_sort(candidates.begin(), candidates.end(),
                   [bitsFirst](const Candidate& a, const Candidate& b) {
                     if (a.nameLength != b.nameLength) return a.nameLength > b.nameLength;
                     return (a.isBit == bitsFirst) && (b.isBit != bitsFirst);
                   });
  return candidates;
}

Result<std::uint32_t> AddressNumber(std::string_view digits, std::string_view kindName,
                                    std::uint32_t max, bool hexadecimal, bool octal) {
  const std::optional<std::int64_t> number =
      digits.empty() ? std::nullopt : tools::ParseAddressNumber(digits, hexadecimal);
  if (!number) {
    return NameError("“" + std::string(kindName) + "” 后面需要地址数字",
                     "\"" + std::string(kindName) + "\" must be followed by an address number");
  }
  if (octal && digits.find_first_of("89") != std::string_view::npos) {
    return NameError(std::string(kindName) + " 的地址用八进制数字 (0 ~ 7)",
                     std::string(kindName) + " addresses are written in octal digits (0 to 7)");
  }
  if (*number > max) {
    const std::string range = tools::AddressNumberText(max, hexadecimal);
    return NameError(std::string(kindName) + " 的地址范围: 0 ~ " + range,
                     std::string(kindName) + " addresses run from 0 to " + range);
  }
  return static_cast<std::uint32_t>(*number);
}

Result<RegisterAddress> ReadAs(const RegisterNaming& naming, std::uint8_t link,
                               const Candidate& candidate, std::string_view rest) {
  const LinkKinds& kinds = naming.kinds.links[link];
  if (!candidate.isBit) {
    const WordKind& kind = kinds.words[candidate.kind];
    const Result<std::uint32_t> number = AddressNumber(rest, kind.name, kind.max, false, false);
    if (!number) return number.error();
    return RegisterAddress{WordAddress{link, candidate.kind, *number}};
  }
  const BitKind& kind = kinds.bits[candidate.kind];
  BitAddress address{link, candidate.kind, 0, 0};
  std::string_view digits = rest;
  if (kind.InsideWords()) {
    const std::size_t dot = rest.rfind('.');
    const int highest = std::min(kind.bitInfo, kHighestBit);
    int bit = -1;
    if (dot != std::string_view::npos && dot + 2 == rest.size()) {
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[dot + 1])));
      bit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
            : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                        : -1;
    }
    if (bit < 0 || bit > highest) {
      const char last = "0123456789ABCDEF"[highest];
      return NameError(kind.name + " 需要位号 .0 ~ ." + last,
                       kind.name + " needs a bit number .0 to ." + last);
    }
    address.bit = static_cast<std::uint8_t>(bit);
    digits = rest.substr(0, dot);
  }
  const Result<std::uint32_t> number =
      AddressNumber(digits, kind.name, kind.max, kind.bitInfo < 0, Octal(naming, address, kind));
  if (!number) return number.error();
  address.number = *number;
  return RegisterAddress{address};
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

// A word value: decimal -32768..65535 or hexadecimal "0x" up to FFFF.
std::optional<std::uint16_t> WordValue(std::string_view text) {
  std::int64_t value = 0;
  const bool hex = StartsWithNoCase(text, "0x");
  const std::string_view digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.front() == '+') return std::nullopt;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (hex && (value < 0 || value > 0xFFFF)) return std::nullopt;
  if (value < -32768 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

std::optional<bool> BitValue(std::string_view text) {
  if (text == "1" || EqualsNoCase(text, "ON")) return true;
  if (text == "0" || EqualsNoCase(text, "OFF")) return false;
  return std::nullopt;
}

bool IsOnOff(std::string_view text) {
  return EqualsNoCase(text, "ON") || EqualsNoCase(text, "OFF");
}

std::string Line(const std::string& name, const std::string& value) {
  return name.empty() ? std::string() : name + "=" + value + "\n";
}

}  // namespace

RegisterNaming RegisterNaming::ForImage(const compiler::DecodedImage& image, RegisterKinds kinds) {
  // The image keeps Link 1's protocol only; Link 2's table is the project's business.
  return {std::move(kinds), {image.Setting(compiler::image_field::kLink1Protocol), -1}};
}

std::string RegisterName(const RegisterNaming& naming, const WordAddress& address) {
  const WordKind* kind = naming.kinds.Word(address.link, address.kind);
  if (kind == nullptr || kind->name.empty()) return {};
  return LinkPrefix(address.link) +
         tools::DeviceAddressText(kind->name, address.number, false, std::nullopt);
}

std::string RegisterName(const RegisterNaming& naming, const BitAddress& address) {
  const BitKind* kind = naming.kinds.Bit(address.link, address.kind);
  if (kind == nullptr || kind->name.empty()) return {};
  return LinkPrefix(address.link) +
         tools::DeviceAddressText(
             kind->name, address.number, kind->bitInfo < 0,
             kind->InsideWords() ? std::optional<int>(address.bit) : std::nullopt);
}

std::string RegisterName(const RegisterNaming& naming, const RegisterAddress& address) {
  return std::visit([&naming](const auto& a) { return RegisterName(naming, a); }, address);
}

Result<RegisterAddress> ParseRegisterName(const RegisterNaming& naming, std::string_view text,
                                          NamePreference prefer) {
  const std::string_view original = Trimmed(text);
  std::string_view rest = original;
  std::uint8_t link = 0;
  if (rest.starts_with(kLinkTwoPrefix)) {
    link = 1;
    rest.remove_prefix(kLinkTwoPrefix.size());
  } else if (rest.starts_with(kLinkOnePrefix)) {
    rest.remove_prefix(kLinkOnePrefix.size());
  }
  const std::vector<Candidate> candidates = CandidatesFor(naming.kinds.links[link], rest, prefer);
  if (candidates.empty()) {
    return NameError("“" + std::string(original) + "” 不是寄存器名称",
                     "\"" + std::string(original) + "\" names no register");
  }
  // A longer name that does not read ("D.b12" without its bit) may still be a shorter
  // one; the longest name's reason is the one told.
  std::optional<Error> firstError;
  for (const Candidate& candidate : candidates) {
    Result<RegisterAddress> address =
        ReadAs(naming, link, candidate, rest.substr(candidate.nameLength));
    if (address) return address;
    if (!firstError) firstError = address.error();
  }
  return *firstError;
}

Result<Assignment> ParseAssignment(const RegisterNaming& naming, std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    return NameError("“" + std::string(text) + "” 应写作 名称=值 (例如 D100=42)",
                     "\"" + std::string(text) + "\" should read NAME=VALUE (e.g. D100=42)");
  }
  const std::string_view valueText = Trimmed(text.substr(equals + 1));
  const NamePreference prefer = IsOnOff(valueText) ? NamePreference::Bit : NamePreference::Word;
  Result<RegisterAddress> address = ParseRegisterName(naming, text.substr(0, equals), prefer);
  if (!address) return address.error();
  if (std::holds_alternative<BitAddress>(*address)) {
    const std::optional<bool> on = BitValue(valueText);
    if (!on) {
      return NameError("位的值是 0、1、ON 或 OFF: “" + std::string(valueText) + "”",
                       "A bit's value is 0, 1, ON or OFF: \"" + std::string(valueText) + "\"");
    }
    return Assignment{*address, static_cast<std::uint16_t>(*on ? 1 : 0)};
  }
  const std::optional<std::uint16_t> value = WordValue(valueText);
  if (!value) {
    return NameError(
        "字的值是 -32768 ~ 65535 或 0x0 ~ 0xFFFF: “" + std::string(valueText) + "”",
        "A word's value is -32768 to 65535 or 0x0 to 0xFFFF: \"" + std::string(valueText) + "\"");
  }
  return Assignment{*address, *value};
}

void Apply(const Assignment& assignment, RegisterMemory& memory) {
  if (const auto* word = std::get_if<WordAddress>(&assignment.address)) {
    memory.SetWord(*word, assignment.value);
  } else {
    memory.SetBit(std::get<BitAddress>(assignment.address), assignment.value != 0);
  }
}

std::filesystem::path RegisterFilePath(const std::filesystem::path& image) {
  std::filesystem::path file = image;
  file += ".registers";
  return file;
}

std::string RegisterListing(const RegisterNaming& naming, const RegisterMemory& memory) {
  std::string text;
  for (const auto& [address, value] : memory.Words()) {
    text += Line(RegisterName(naming, address), std::to_string(value));
  }
  // Bit kinds with words of their own (no word kind of that name): each bit that is on.
  for (const auto& [address, value] : memory.BitKindWords()) {
    for (int bit = 0; bit <= kHighestBit; ++bit) {
      if ((value >> bit & 1) == 0) continue;
      const BitAddress bitAddress{address.link, address.kind, address.number,
                                  static_cast<std::uint8_t>(bit)};
      text += Line(RegisterName(naming, bitAddress), "ON");
    }
  }
  for (const auto& [address, on] : memory.PlainBits()) {
    if (on) text += Line(RegisterName(naming, address), "ON");
  }
  return text;
}

Status SaveRegisterFile(const std::filesystem::path& file, const RegisterNaming& naming,
                        const RegisterMemory& memory) {
  const std::string text =
      "# Dravik simulator registers: NAME=VALUE, registers at 0 are not listed\n" +
      RegisterListing(naming, memory);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  return platform::WriteFileAtomic(file, std::span(bytes, text.size()));
}

Result<std::vector<Bilingual>> LoadRegisterFile(const std::filesystem::path& file,
                                                const RegisterNaming& naming,
                                                RegisterMemory& memory) {
  std::vector<Bilingual> problems;
  if (!platform::Exists(file)) return problems;
  const Result<platform::Bytes> bytes = platform::ReadFileBytes(file, kRegisterFileLimit);
  if (!bytes) return bytes.error();
  const std::string text(bytes->begin(), bytes->end());
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string_view content = Trimmed(line);
    if (content.empty() || content.front() == '#') continue;
    const Result<Assignment> assignment = ParseAssignment(naming, content);
    if (!assignment) {
      const std::string where = std::to_string(number);
      problems.push_back({"第 " + where + " 行: " + assignment.message(true),
                          "Line " + where + ": " + assignment.message(false)});
      continue;
    }
    Apply(*assignment, memory);
  }
  return problems;
}

}  // namespace dravik::sim
