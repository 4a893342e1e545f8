#include "sim/register_memory.h"

#include <utility>

#include "params/device_resources.h"

namespace dravik::sim {
namespace {

std::vector<WordKind> WordKindsOf(const std::vector<std::string>& names,
                                  const std::vector<std::string>& maxima) {
  std::vector<WordKind> kinds;
  for (std::size_t i = 0; i < names.size(); ++i) {
    kinds.push_back({names[i], static_cast<std::uint32_t>(
                                   std::max(0, params::ListNumber(params::ListEntry(maxima, i))))});
  }
  return kinds;
}

// "D.b" is a bit of "D"; a bit kind named like a word kind ("IR") is a bit of it.
std::optional<std::uint8_t> WordKindOfBits(const std::string& bitName,
                                           const std::vector<WordKind>& words) {
  std::string wordName = bitName;
  if (wordName.size() > 2 && wordName.ends_with(".b")) wordName.resize(wordName.size() - 2);
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i].name == wordName) return static_cast<std::uint8_t>(i);
  }
  return std::nullopt;
}

LinkKinds LinkKindsOf(const std::vector<std::string>& wordNames,
                      const std::vector<std::string>& wordMaxima,
                      const std::vector<std::string>& bitNames,
                      const std::vector<std::string>& bitInfo,
                      const std::vector<std::string>& bitMaxima) {
  LinkKinds link;
  link.words = WordKindsOf(wordNames, wordMaxima);
  for (std::size_t i = 0; i < bitNames.size(); ++i) {
    BitKind kind;
    kind.name = bitNames[i];
    kind.max = static_cast<std::uint32_t>(
        std::max(0, params::ListNumber(params::ListEntry(bitMaxima, i))));
    kind.bitInfo = params::ListNumber(params::ListEntry(bitInfo, i));
    if (kind.InsideWords()) kind.wordKind = WordKindOfBits(kind.name, link.words);
    link.bits.push_back(std::move(kind));
  }
  return link;
}

}  // namespace

RegisterKinds RegisterKinds::FromLists(const params::DeviceLists& lists) {
  RegisterKinds kinds;
  kinds.links[0] = LinkKindsOf(lists.W_DeviceName, lists.W_DeviceMax, lists.B_DeviceName,
                               lists.B_DeviceBit, lists.B_DeviceMax);
  kinds.links[1] = LinkKindsOf(lists.W_DeviceName2, lists.W_DeviceMax2, lists.B_DeviceName2,
                               lists.B_DeviceBit2, lists.B_DeviceMax2);
  return kinds;
}

const WordKind* RegisterKinds::Word(std::uint8_t link, std::uint8_t kind) const {
  if (link >= kLinkCount || kind >= links[link].words.size()) return nullptr;
  return &links[link].words[kind];
}

const BitKind* RegisterKinds::Bit(std::uint8_t link, std::uint8_t kind) const {
  if (link >= kLinkCount || kind >= links[link].bits.size()) return nullptr;
  return &links[link].bits[kind];
}

RegisterMemory::RegisterMemory(RegisterKinds kinds) : kinds_(std::move(kinds)) {}

std::uint16_t RegisterMemory::Word(const WordAddress& address) const {
  const auto found = words_.find(address);
  return found == words_.end() ? 0 : found->second;
}

void RegisterMemory::Store(std::map<WordAddress, std::uint16_t>& map, const WordAddress& address,
                           std::uint16_t value) {
  const auto found = map.find(address);
  const std::uint16_t old = found == map.end() ? 0 : found->second;
  if (old == value) return;
  // Zero words are not kept: the maps list exactly what the register file saves.
  if (value == 0) {
    map.erase(found);
  } else {
    map[address] = value;
  }
  ++version_;
}

void RegisterMemory::SetWord(const WordAddress& address, std::uint16_t value) {
  Store(words_, address, value);
}

std::uint32_t RegisterMemory::DoubleWord(const WordAddress& address) const {
  WordAddress high = address;
  ++high.number;
  return Word(address) | (static_cast<std::uint32_t>(Word(high)) << 16);
}

void RegisterMemory::SetDoubleWord(const WordAddress& address, std::uint32_t value) {
  WordAddress high = address;
  ++high.number;
  SetWord(address, static_cast<std::uint16_t>(value & 0xFFFF));
  SetWord(high, static_cast<std::uint16_t>(value >> 16));
}

std::pair<std::map<WordAddress, std::uint16_t>*, WordAddress> RegisterMemory::WordOfBit(
    const BitAddress& address) {
  const auto [map, word] = std::as_const(*this).WordOfBit(address);
  return {const_cast<std::map<WordAddress, std::uint16_t>*>(map), word};
}

std::pair<const std::map<WordAddress, std::uint16_t>*, WordAddress> RegisterMemory::WordOfBit(
    const BitAddress& address) const {
  const BitKind* kind = kinds_.Bit(address.link, address.kind);
  if (kind == nullptr || !kind->InsideWords()) return {nullptr, {}};
  if (kind->wordKind) return {&words_, {address.link, *kind->wordKind, address.number}};
  return {&bitWords_, {address.link, address.kind, address.number}};
}

bool RegisterMemory::Bit(const BitAddress& address) const {
  const auto [map, word] = WordOfBit(address);
  if (map != nullptr) {
    const auto found = map->find(word);
    const std::uint16_t value = found == map->end() ? 0 : found->second;
    return ((value >> (address.bit & 15)) & 1) != 0;
  }
  BitAddress plain = address;
  plain.bit = 0;
  const auto found = bits_.find(plain);
  return found != bits_.end() && found->second;
}

void RegisterMemory::SetBit(const BitAddress& address, bool on) {
  const auto [map, word] = WordOfBit(address);
  if (map != nullptr) {
    const auto found = map->find(word);
    std::uint16_t value = found == map->end() ? 0 : found->second;
    const auto mask = static_cast<std::uint16_t>(1u << (address.bit & 15));
    value = on ? static_cast<std::uint16_t>(value | mask) : static_cast<std::uint16_t>(value & ~mask);
    Store(*map, word, value);
    return;
  }
  BitAddress plain = address;
  plain.bit = 0;
  if (Bit(plain) == on) return;
  if (on) {
    bits_[plain] = true;
  } else {
    bits_.erase(plain);
  }
  ++version_;
}

void RegisterMemory::Clear() {
  if (words_.empty() && bitWords_.empty() && bits_.empty()) return;
  words_.clear();
  bitWords_.clear();
  bits_.clear();
  ++version_;
}

}  // namespace dravik::sim
