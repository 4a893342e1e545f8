#pragma once
// The clock macro as the panel runs it: the instructions of the image's macro area, one
// pass from the first row to END (or past the last row), on the panel's own registers
// (Link 1's first word kind).

#include <span>

#include "compiler/image_reader.h"
#include "sim/register_memory.h"

namespace dravik::sim {

// At most this many instructions are carried out in one run: a macro that jumps back
// for ever stops here instead of freezing the panel, and goes on from its first row at
// the next run.
inline constexpr int kMacroInstructionLimit = 10'000;

struct MacroRun {
  int executed = 0;
  bool stoppedByLimit = false;
};

// One run of `program` on `memory`. Arithmetic wraps around in 16 or 32 bits; signed
// rows compare, divide and take remainders as signed numbers; a division or remainder by
// 0 leaves A1 as it was; shifts by the width or more give 0; a jump to a label the
// program lacks goes on with the next row; codes the panel does not run are passed over.
MacroRun RunClockMacro(std::span<const compiler::ImageMacroInstruction> program,
                       RegisterMemory& memory);

}  // namespace dravik::sim
