#pragma once
// What every fuzz target shares: a check that stays on in optimised builds (assert does
// not), so a broken invariant is a crash libFuzzer reports with its input.

#include <cstdio>
#include <cstdlib>

namespace dravik::fuzz {

[[noreturn]] inline void InvariantBroken(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  std::abort();
}

}  // namespace dravik::fuzz

#define FUZZ_CHECK(condition)         \
  ((condition) ? static_cast<void>(0) \
               : ::dravik::fuzz::InvariantBroken(#condition, __FILE__, __LINE__))
