#include "platform/heap.h"

#include <malloc.h>

namespace dravik::platform {

void KeepFreedHeapForReuse() {
  // 256 MB: far above one page's structure, far below what would matter to the machine.
  constexpr int kKeep = 256 * 1024 * 1024;
  mallopt(M_TRIM_THRESHOLD, kKeep);
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
}

}  // namespace dravik::platform
