#include "comm/register_mirror.h"

namespace dravik::comm {

RegisterMirror& ProgramRegisterMirror() {
  static RegisterMirror mirror;
  return mirror;
}

}  // namespace dravik::comm
