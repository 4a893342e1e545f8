// The register file beside an image ("QX.bin.registers"), read back when the simulator
// starts, with the kinds of protocols 0 (the panel as slave) and 1 (Modbus RTU master).
// The first byte picks the protocol (even 0, odd 1), the rest is the file. Every line either sets a
// register within its kind's maximum or is reported by its number; what was loaded saves
// and loads again to the same registers; a name the parser takes is named back the same.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "device_kinds.h"
#include "sim/register_memory.h"
#include "sim/register_names.h"
#include "temp_file.h"

using namespace dravik;
using namespace dravik::sim;

namespace {

const RegisterNaming& Naming(std::uint8_t choice) {
  static const RegisterNaming panel = fuzz::NamingOf(fuzz::kPanelSlave, 0);
  static const RegisterNaming master = fuzz::NamingOf(fuzz::kModbusMaster, 1);
  return choice % 2 == 0 ? panel : master;
}

void CheckWithinKinds(const RegisterMemory& memory) {
  const RegisterKinds& kinds = memory.Kinds();
  for (const auto& [address, value] : memory.Words()) {
    const WordKind* kind = kinds.Word(address.link, address.kind);
    FUZZ_CHECK(kind != nullptr && address.number <= kind->max && value != 0);
  }
  for (const auto& [address, on] : memory.PlainBits()) {
    const BitKind* kind = kinds.Bit(address.link, address.kind);
    FUZZ_CHECK(kind != nullptr && address.number <= kind->max && on);
  }
}

void CheckNamesBack(const RegisterNaming& naming, std::string_view text) {
  for (NamePreference prefer : {NamePreference::Word, NamePreference::Bit}) {
    const auto address = ParseRegisterName(naming, text, prefer);
    if (!address) {
      FUZZ_CHECK(!address.message(false).empty());
      continue;
    }
    const std::string name = RegisterName(naming, *address);
    FUZZ_CHECK(!name.empty());
    const auto again = ParseRegisterName(naming, name, prefer);
    FUZZ_CHECK(again.ok() && *again == *address);
  }
}

// The save itself is a crash-safe write (synced to the disk) and says nothing about the
// parser: it runs for one input in 64; the others load the listing it writes.
void CheckSavesAndLoadsAgain(const RegisterNaming& naming, const RegisterMemory& memory,
                             bool throughSave) {
  static const fuzz::TempFile saved(".registers");
  if (throughSave) {
    FUZZ_CHECK(SaveRegisterFile(saved.Path(), naming, memory).ok());
  } else {
    const std::string listing = RegisterListing(naming, memory);
    saved.Holding(std::span(reinterpret_cast<const std::uint8_t*>(listing.data()), listing.size()));
  }
  RegisterMemory again(naming.kinds);
  const auto problems = LoadRegisterFile(saved.Path(), naming, again);
  FUZZ_CHECK(problems.ok() && problems->empty());
  FUZZ_CHECK(again.Words() == memory.Words());
  FUZZ_CHECK(again.PlainBits() == memory.PlainBits());
  FUZZ_CHECK(again.BitKindWords() == memory.BitKindWords());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const RegisterNaming& naming = Naming(data[0]);
  const std::span<const std::uint8_t> file(data + 1, size - 1);

  static const fuzz::TempFile registers(".registers");
  RegisterMemory memory(naming.kinds);
  const auto problems = LoadRegisterFile(registers.Holding(file), naming, memory);
  FUZZ_CHECK(problems.ok());
  const std::string text(file.begin(), file.end());
  FUZZ_CHECK(problems->size() <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  for (const Bilingual& problem : *problems) {
    FUZZ_CHECK(!problem.english.empty() && !problem.chinese.empty());
  }
  CheckWithinKinds(memory);

  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const std::string_view name = std::string_view(line).substr(0, line.find('='));
    CheckNamesBack(naming, name);
  }
  CheckSavesAndLoadsAgain(naming, memory, data[0] >= 0xFC);
  return 0;
}
