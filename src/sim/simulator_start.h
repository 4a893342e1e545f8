#pragma once
// How the simulator starts: which image it opens and the panel it starts on it, with the
// register kinds of the image's protocol from the device resources.

#include <filesystem>

#include "platform/result.h"
#include "sim/panel_session.h"

namespace dravik::sim {

// The image opened when none is named: QX.bin in the work folder, where Dravik compiles.
Result<std::filesystem::path> DefaultImagePath();

// Reads `imageFile`, checks that it is a device image and starts the panel on it. The
// register kinds come from the device resources at `resources` (QXRes.Dat); without them
// the panel still runs, with registers named by kind position only.
Result<PanelSession> StartFromFile(const std::filesystem::path& imageFile,
                                   const std::filesystem::path& resources,
                                   SessionOptions options = {});

// The Link 1 protocol index the image names (header offset 20).
int Link1Protocol(const compiler::DecodedImage& image);

}  // namespace dravik::sim
