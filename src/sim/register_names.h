#pragma once
// Registers by name, as the device resources spell them: words "D100", "4X17"; bits
// inside words "D.b100.A" (the bit in hexadecimal); plain bits "M5", "X17" (octal digits
// on the octal kinds), "X07F" on the hexadecimal ones; Link 2 with "2:" in front. And
// the register file beside an image that keeps the off-line registers between runs.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/bilingual.h"
#include "platform/result.h"
#include "sim/register_memory.h"

namespace dravik::compiler {
class DecodedImage;
}

namespace dravik::sim {

using RegisterAddress = std::variant<WordAddress, BitAddress>;

// What naming needs beyond the kinds: each link's protocol (Link 1's protocol, Link 2's
// table), which says whether its inputs and outputs count in octal.
struct RegisterNaming {
  RegisterKinds kinds;
  std::array<int, kLinkCount> protocols{};

  // The naming of an image's links.
  static RegisterNaming ForImage(const compiler::DecodedImage& image, RegisterKinds kinds);
};

// When a word kind and a bit kind share a name (T, C), which one a bare name means.
enum class NamePreference { Word, Bit };

// A register's name; registers of kinds the lists do not name have none ("").
std::string RegisterName(const RegisterNaming& naming, const WordAddress& address);
std::string RegisterName(const RegisterNaming& naming, const BitAddress& address);
std::string RegisterName(const RegisterNaming& naming, const RegisterAddress& address);

// The register `text` names: the longest kind name that fits (upper or lower case), a
// number within the kind's maximum and, for bits inside words, "." and the bit.
Result<RegisterAddress> ParseRegisterName(const RegisterNaming& naming, std::string_view text,
                                          NamePreference prefer = NamePreference::Word);

// "D100=42", "D100=0x2A", "D100=-3" (a word, -32768..65535), "M5=1", "M5=ON", "T5=OFF".
// ON and OFF name the bit where a word kind has the same name ("T5=1" sets the word T5).
struct Assignment {
  RegisterAddress address;
  std::uint16_t value = 0;  // a bit: 0 or 1
};
Result<Assignment> ParseAssignment(const RegisterNaming& naming, std::string_view text);
void Apply(const Assignment& assignment, RegisterMemory& memory);

// The register file of an image: "QX.bin" keeps its registers in "QX.bin.registers".
std::filesystem::path RegisterFilePath(const std::filesystem::path& image);

// Every register that is not 0, one "NAME=VALUE" line each (bits "NAME=ON"), in address
// order: what the register file holds and `tolvesk --dump-registers` prints.
std::string RegisterListing(const RegisterNaming& naming, const RegisterMemory& memory);

// Writes every register that is not 0, one "NAME=VALUE" a line (words in decimal, bits
// as ON), crash-safely. Registers of kinds the lists do not name are left out.
Status SaveRegisterFile(const std::filesystem::path& file, const RegisterNaming& naming,
                        const RegisterMemory& memory);

// Sets the registers a register file names. A missing file is a first run: nothing to
// set. A damaged line is skipped and reported with its line number; the other lines are
// still taken.
Result<std::vector<Bilingual>> LoadRegisterFile(const std::filesystem::path& file,
                                                const RegisterNaming& naming,
                                                RegisterMemory& memory);

}  // namespace dravik::sim
