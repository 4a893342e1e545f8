#pragma once
// Opening a project for a command-line command, exactly as the program opens it (markers,
// repairs of the settings), without ever writing it back.

#include <string>

#include "cli/cli_command.h"
#include "model/project_image.h"

namespace dravik::cli {

// Reads the project into `image`; reports the failure and returns false when it cannot.
bool LoadProject(const CommandContext& context, model::ProjectImage& image,
                 const std::string& path);

// "Modbus RTU Master (1)": the Link 1 protocol's name from the device resources, or its
// index alone when they cannot be read.
std::string Link1ProtocolText(const model::PageRecord& settings);

}  // namespace dravik::cli
