#include "sim/macro_runner.h"

#include <cstdint>
#include <optional>

namespace dravik::sim {

namespace {

using compiler::ImageMacroInstruction;

enum Code : std::uint8_t {
  kAdd = 1,
  kSub = 2,
  kMul = 3,
  kDiv = 4,
  kMod = 5,
  kOr = 6,
  kAnd = 7,
  kXor = 8,
  kShl = 9,
  kShr = 10,
  kMov = 11,
  kIfEqual = 15,
  kIfNotEqual = 16,
  kIfGreater = 17,
  kIfGreaterOrEqual = 18,
  kIfLess = 19,
  kIfLessOrEqual = 20,
  kGoto = 25,
  kLabel = 26,
  kEnd = 29,
};

constexpr std::uint8_t kDoubleWordFlag = 0x01;
constexpr std::uint8_t kSignedFlag = 0x02;

WordAddress PanelRegister(std::uint32_t number) {
  return {0, 0, number};
}

// How one instruction reads and writes its operands: width and signedness.
class Operands {
 public:
  Operands(const ImageMacroInstruction& instruction, RegisterMemory& memory)
      : instruction_(instruction),
        memory_(memory),
        doubleWord_((instruction.flags & kDoubleWordFlag) != 0),
        signed_((instruction.flags & kSignedFlag) != 0) {}

  int Width() const { return doubleWord_ ? 32 : 16; }
  bool Signed() const { return signed_; }

  // Operand `index` as a number of the row's width, read signed or unsigned. A constant
  // is 16 bits in the image: a double-word row widens it by its sign when signed.
  std::int64_t Value(int index) const {
    const std::uint16_t raw = instruction_.operands[static_cast<std::size_t>(index)];
    std::uint32_t bits = raw;
    if (instruction_.OperandIsRegister(index)) {
      bits =
          doubleWord_ ? memory_.DoubleWord(PanelRegister(raw)) : memory_.Word(PanelRegister(raw));
    } else if (doubleWord_ && signed_) {
      bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int16_t>(raw)));
    }
    return Interpret(bits);
  }

  std::uint32_t Bits(int index) const { return static_cast<std::uint32_t>(Value(index)) & Mask(); }

  // Writes `value`, cut to the row's width, to A1; a constant A1 takes nothing.
  void Store(std::int64_t value) const {
    if (!instruction_.OperandIsRegister(0)) return;
    const auto bits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)) & Mask();
    const WordAddress target = PanelRegister(instruction_.operands[0]);
    if (doubleWord_) {
      memory_.SetDoubleWord(target, bits);
    } else {
      memory_.SetWord(target, static_cast<std::uint16_t>(bits));
    }
  }

 private:
  std::uint32_t Mask() const { return doubleWord_ ? 0xFFFFFFFFu : 0xFFFFu; }

  std::int64_t Interpret(std::uint32_t bits) const {
    if (!signed_) return bits & Mask();
    return doubleWord_ ? std::int64_t{static_cast<std::int32_t>(bits)}
                       : std::int64_t{static_cast<std::int16_t>(bits)};
  }

  const ImageMacroInstruction& instruction_;
  RegisterMemory& memory_;
  bool doubleWord_;
  bool signed_;
};

std::int64_t Shifted(const Operands& operands, bool left) {
  const std::uint32_t value = operands.Bits(1);
  const std::uint32_t count = operands.Bits(2);
  if (count >= static_cast<std::uint32_t>(operands.Width())) return 0;
  return left ? std::int64_t{value} << count : std::int64_t{value >> count};
}

// Carries out a computing instruction (codes 1 to 11).
void Compute(const ImageMacroInstruction& instruction, RegisterMemory& memory) {
  const Operands operands(instruction, memory);
  const std::int64_t a2 = operands.Value(1);
  switch (instruction.code) {
    case kAdd:
      return operands.Store(a2 + operands.Value(2));
    case kSub:
      return operands.Store(a2 - operands.Value(2));
    case kMul:
      // Multiplied unsigned, which cannot overflow in C++: the low bits are the same.
      return operands.Store(static_cast<std::int64_t>(
          static_cast<std::uint64_t>(a2) * static_cast<std::uint64_t>(operands.Value(2))));
    case kDiv:
    case kMod: {
      const std::int64_t a3 = operands.Value(2);
      if (a3 == 0) return;  // A1 keeps its value
      return operands.Store(instruction.code == kDiv ? a2 / a3 : a2 % a3);
    }
    case kOr:
      return operands.Store(operands.Bits(1) | operands.Bits(2));
    case kAnd:
      return operands.Store(operands.Bits(1) & operands.Bits(2));
    case kXor:
      return operands.Store(operands.Bits(1) ^ operands.Bits(2));
    case kShl:
      return operands.Store(Shifted(operands, true));
    case kShr:
      return operands.Store(Shifted(operands, false));
    case kMov:
      return operands.Store(a2);
    default:
      return;
  }
}

bool ConditionHolds(const ImageMacroInstruction& instruction, RegisterMemory& memory) {
  const Operands operands(instruction, memory);
  const std::int64_t a1 = operands.Value(0);
  const std::int64_t a2 = operands.Value(1);
  switch (instruction.code) {
    case kIfEqual:
      return a1 == a2;
    case kIfNotEqual:
      return a1 != a2;
    case kIfGreater:
      return a1 > a2;
    case kIfGreaterOrEqual:
      return a1 >= a2;
    case kIfLess:
      return a1 < a2;
    default:
      return a1 <= a2;
  }
}

// The row after the first LABEL `label`; nothing when the program has no such label.
std::optional<std::size_t> RowAfterLabel(std::span<const ImageMacroInstruction> program,
                                         std::uint16_t label) {
  for (std::size_t row = 0; row < program.size(); ++row) {
    if (program[row].code == kLabel && program[row].operands[0] == label) return row + 1;
  }
  return std::nullopt;
}

}  // namespace

MacroRun RunClockMacro(std::span<const ImageMacroInstruction> program, RegisterMemory& memory) {
  MacroRun run;
  std::size_t row = 0;
  while (row < program.size()) {
    if (run.executed == kMacroInstructionLimit) {
      run.stoppedByLimit = true;
      break;
    }
    const ImageMacroInstruction& instruction = program[row];
    ++run.executed;
    std::optional<std::uint16_t> jumpTo;
    if (instruction.code >= kAdd && instruction.code <= kMov) {
      Compute(instruction, memory);
    } else if (instruction.code >= kIfEqual && instruction.code <= kIfLessOrEqual) {
      if (ConditionHolds(instruction, memory)) jumpTo = instruction.operands[2];
    } else if (instruction.code == kGoto) {
      jumpTo = instruction.operands[0];
    } else if (instruction.code == kEnd) {
      break;
    }
    const std::optional<std::size_t> target =
        jumpTo ? RowAfterLabel(program, *jumpTo) : std::nullopt;
    row = target.value_or(row + 1);
  }
  return run;
}

}  // namespace dravik::sim
