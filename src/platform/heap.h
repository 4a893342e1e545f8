#pragma once
// How the C heap treats memory given back to it.

namespace dravik::platform {

// Keeps freed heap memory for the next allocations instead of handing it back to the
// system at once. Work that builds and drops a large structure over and over (the text
// form of a project, a page at a time) then reuses the same memory rather than paying a
// page fault for every page of it again.
void KeepFreedHeapForReuse();

}  // namespace dravik::platform
