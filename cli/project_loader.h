#pragma once
// Opening a project for a command-line command, exactly as the program opens it (markers,
// repairs of the settings), without ever writing it back.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "compiler/compile_check.h"
#include "model/project_image.h"
#include "params/device_resources.h"

namespace dravik::cli {

// Reads the project into `image`; reports the failure and returns false when it cannot.
bool LoadProject(const CommandContext& context, model::ProjectImage& image,
                 const std::string& path);

// "Modbus RTU Master (1)": the Link 1 protocol's name from the device resources, or its
// index alone when they cannot be read.
std::string Link1ProtocolText(const model::PageRecord& settings);

// The register-kind lists of the project's protocols, as the work parameters load them.
Result<params::DeviceLists> ListsFor(const model::PageRecord& settings);

// One line per failing element of the compile check on stdout.
void PrintCheckRows(const CommandContext& context, const compiler::CheckReport& report);

// What every consumer of the device image runs first: open the project, the compile check
// and the initial-page test (unless `runCheck` is false), then the compile. Reports why
// it stopped and gives nothing then.
std::optional<std::vector<std::uint8_t>> CompileProjectFile(const CommandContext& context,
                                                            const std::string& path,
                                                            bool runCheck);

}  // namespace dravik::cli
