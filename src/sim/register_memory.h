#pragma once
// The simulated panel's registers: the word and bit kinds of both links, as elements,
// macros and the PLC name them. Bit kinds that are bits of a word kind (D.b, 4X.b, the
// Omron channels) share that kind's words, so setting D100.3 changes D100 and the other
// way round; plain bit kinds (M, X, Y, ...) are bits of their own.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace dravik::params {
struct DeviceLists;
}

namespace dravik::sim {

inline constexpr int kLinkCount = 2;

// A word register: link 0 (Link 1) or 1 (Link 2), the index of its kind in that link's
// word-kind list and its number.
struct WordAddress {
  std::uint8_t link = 0;
  std::uint8_t kind = 0;
  std::uint32_t number = 0;
  auto operator<=>(const WordAddress&) const = default;
};

// A bit: the index of its kind in the link's bit-kind list, its number (the word number
// for bits inside words) and, for bits inside words, the bit 0..15.
struct BitAddress {
  std::uint8_t link = 0;
  std::uint8_t kind = 0;
  std::uint32_t number = 0;
  std::uint8_t bit = 0;
  auto operator<=>(const BitAddress&) const = default;
};

struct WordKind {
  std::string name;
  std::uint32_t max = 0;
};

struct BitKind {
  std::string name;
  std::uint32_t max = 0;
  int bitInfo = 0;  // > 0 a bit inside a word (highest bit number), 0 plain, -1 hexadecimal
  // The word kind (index in the same link) whose words hold these bits: "D.b" and "D", or
  // the same name; nothing for plain bit kinds and for bits inside words of no listed
  // word kind, which then keep words of their own.
  std::optional<std::uint8_t> wordKind;

  bool InsideWords() const { return bitInfo > 0; }
};

struct LinkKinds {
  std::vector<WordKind> words;
  std::vector<BitKind> bits;
};

// The kinds of both links, from the device resources of the image's protocol.
struct RegisterKinds {
  std::array<LinkKinds, kLinkCount> links;

  static RegisterKinds FromLists(const params::DeviceLists& lists);
  const WordKind* Word(std::uint8_t link, std::uint8_t kind) const;
  const BitKind* Bit(std::uint8_t link, std::uint8_t kind) const;
};

class RegisterMemory {
 public:
  explicit RegisterMemory(RegisterKinds kinds = {});

  const RegisterKinds& Kinds() const { return kinds_; }

  std::uint16_t Word(const WordAddress& address) const;
  void SetWord(const WordAddress& address, std::uint16_t value);
  // Two consecutive words, the low word at `address` (the panel's 32-bit layout).
  std::uint32_t DoubleWord(const WordAddress& address) const;
  void SetDoubleWord(const WordAddress& address, std::uint32_t value);

  bool Bit(const BitAddress& address) const;
  void SetBit(const BitAddress& address, bool on);

  // Grows with every change that alters a value: the screen redraws when it moves.
  std::uint64_t Version() const { return version_; }

  // Every word and plain bit that is not 0, in address order (the register file, the
  // register window). Bits inside words show as their words.
  const std::map<WordAddress, std::uint16_t>& Words() const { return words_; }
  const std::map<BitAddress, bool>& PlainBits() const { return bits_; }
  // Words that bit kinds without a word kind keep, keyed by the bit kind's index.
  const std::map<WordAddress, std::uint16_t>& BitKindWords() const { return bitWords_; }

  void Clear();

 private:
  // Where a bit inside a word lives: the word map and the word's address in it.
  std::pair<std::map<WordAddress, std::uint16_t>*, WordAddress> WordOfBit(const BitAddress& address);
  std::pair<const std::map<WordAddress, std::uint16_t>*, WordAddress> WordOfBit(
      const BitAddress& address) const;
  void Store(std::map<WordAddress, std::uint16_t>& map, const WordAddress& address,
             std::uint16_t value);

  RegisterKinds kinds_;
  std::map<WordAddress, std::uint16_t> words_;
  std::map<WordAddress, std::uint16_t> bitWords_;
  std::map<BitAddress, bool> bits_;
  std::uint64_t version_ = 0;
};

}  // namespace dravik::sim
