#pragma once
// The per-user runtime folder ($XDG_RUNTIME_DIR) that Qt wants before it starts. Where the
// session gives none (ssh, containers, cron), Qt warns on every run and falls back to
// /tmp/runtime-<user>; we make a private one of our own first instead.

#include <filesystem>

#include "platform/result.h"

namespace dravik::platform {

// Makes sure $XDG_RUNTIME_DIR names a folder that is ours alone: kept when it is a
// folder owned by this user with mode 0700; otherwise set to <$TMPDIR or /tmp>/
// dravik-runtime-<uid>, made with mode 0700 (or a fresh unique folder beside it when that
// name is taken by something that is not ours alone). The work folder, which follows
// $XDG_RUNTIME_DIR, must not move with it, or this instance would stop sharing it with the
// others: unless $DRAVIK_WORKDIR is set, it is pinned to the work folder first, and when
// the work folder cannot be used nothing is changed (its error is returned). Call at
// start, before Qt and before any thread. Returns the runtime folder.
Result<std::filesystem::path> PrepareRuntimeDir();

// For programs that paint without a window: Qt's offscreen platform unless the caller
// chose one, and the runtime folder above (whose failure only costs Qt's warning).
void PrepareHeadlessQt();

}  // namespace dravik::platform
