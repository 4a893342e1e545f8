#pragma once
// The main window's device commands: Download (F6), the port settings (F5), the firmware
// upgrade, off-line and on-line simulation (F9, F10) and the customer update package
// (F12). Download, simulation and package share one preamble: the compile check, the
// initial page, a project saved at least once, then the compile into QX.bin in the work
// folder.

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

#include "comm/com_port_map.h"
#include "compiler/compile_project.h"
#include "compiler/ui/compile_check_frm.h"
#include "model/project_session.h"
#include "params/device_resources.h"
#include "platform/bilingual.h"
#include "ui/desktop_hooks.h"

class QWidget;

namespace dravik::comm {
class TDownloadForm;
class TFirmwareFrm;
class TsetCOMpro;
}  // namespace dravik::app

namespace dravik::app {

using compiler::kCompiledImageName;
inline constexpr char kSimulatorProgram[] = "tolvesk";
inline constexpr char kCheckMark[] = "　√";  // ideographic space and a check mark

// What the commands ask of the main window besides the desktop.
struct DeviceHooks {
  ui::DesktopHooks desktop;
  // The Save command after " 请先保存此新工程 ！"; unset: the session's Save.
  std::function<void()> saveProject;
  // The work parameters dialog, after the initial-page message.
  std::function<void()> openWorkParameters;
  // The keyboard LED dialog, after the check lowered the keyboard settings.
  std::function<void()> openKeyboardDialog;
};

struct DeviceCommandContext {
  QWidget* parent = nullptr;
  model::ProjectSession* session = nullptr;  // the project, its file name, Save
  const params::DeviceLists* lists = nullptr;
  compiler::TCompileCheckFrm* checkFrm = nullptr;
  // COM1 ... COM8 -> devices; best built (ComPortMap::FromSystem) when the command starts,
  // so an adapter plugged in since counts.
  comm::ComPortMap ports;
  int portIndex = 0;  // "ComPort" of the configuration: the download and firmware port
  std::filesystem::path simulator;  // empty: SimulatorProgram()
  std::filesystem::path updater;    // empty: UpdaterSource()
  DeviceHooks hooks;
};

enum class PreambleEnd {
  kCompiled,
  kCheckFailed,    // the check window lists errors
  kNoInitialPage,  // the work parameters were opened
  kNotSaved,       // the Save command was run instead
  kCompileFailed,
  kWriteFailed,  // QX.bin could not be written
};

struct PreambleResult {
  PreambleEnd end = PreambleEnd::kCompileFailed;
  std::filesystem::path imageFile;  // QX.bin in the work folder: a copy for the user and the simulator
  std::vector<std::uint8_t> image;  // what was compiled: the download and the package take this
  bool ok() const { return end == PreambleEnd::kCompiled; }
};

// The compile check, the initial page, the saved project, the compile into QX.bin, with
// their messages. The check window takes the context's desktop hooks.
PreambleResult RunCompilePreamble(DeviceCommandContext& context);

// Download (F6): the preamble, "编译成功!" in status panel 0, then the download dialog.
PreambleResult RunDownloadCommand(DeviceCommandContext& context, comm::TDownloadForm& form);

// The port dialog preselected with the current port. When confirmed, the chosen index
// becomes context.portIndex, status panel 2 shows it, and it is returned.
std::optional<int> ShowPortDialog(DeviceCommandContext& context, comm::TsetCOMpro& form);

// The firmware dialog, its port list preselected, with the firmware installed beside the
// program (or, when there is none, one the user chooses at the start).
void ShowFirmwareDialog(DeviceCommandContext& context, comm::TFirmwareFrm& form);

// Off-line and on-line simulation: the preamble, then the simulator is started on QX.bin
// (on-line: as a Modbus master towards the PLC) and not waited for.
enum class SimulationMode { kOffline, kOnline };
enum class SimulationEnd { kPreambleStopped, kStarted, kSimulatorMissing, kStartFailed };
SimulationEnd RunSimulation(DeviceCommandContext& context, SimulationMode mode = SimulationMode::kOffline);

// The customer update package: the preamble, then a folder with the updater and the image.
enum class PackageEnd { kPreambleStopped, kCancelled, kBuilt, kFailed };
PackageEnd BuildUpdatePackageCommand(DeviceCommandContext& context);

// The simulator that comes with the program: beside the running executable.
std::filesystem::path SimulatorProgram();
Bilingual SimulatorMissingMessage(const std::filesystem::path& program,
                                  const std::filesystem::path& image);
Bilingual SimulatorStartFailedMessage(const std::filesystem::path& program,
                                      const std::string& reason);
// The save dialog of the update package, in Qt's filter form.
Bilingual PackageDialogTitle();
QString PackageDialogFilter();

}  // namespace dravik::app
