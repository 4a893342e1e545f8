// The main window's project settings and device commands: the work parameters, the alarm
// list and the keyboard LEDs, the download port, Download, the firmware upgrade, the two
// simulations and the customer update package, with the compile check docked below.

#include <QAction>
#include <QDialog>

#include "app/main_frm.h"
#include "app/shell_texts.h"
#include "comm/ui/download_form.h"
#include "comm/ui/firmware_frm.h"
#include "comm/ui/set_com_pro.h"
#include "compiler/ui/compile_check_frm.h"
#include "params/ui/alarm_set_frm.h"
#include "params/ui/key_led_frm.h"
#include "params/ui/system_set_for.h"

namespace dravik::app {

params::SettingsDialogHooks TMainFrm::SettingsHooks() {
  params::SettingsDialogHooks h;
  h.desktop = hooks_.desktop;
  h.enableSave = [this] { MarkModified(); };
  // The page-attribute dialog takes its key names from the panel model each time it
  // opens, so a changed model needs nothing more here.
  h.refreshKeyNames = [] {};
  return h;
}

bool TMainFrm::ShowWorkParameters() {
  const bool confirmed = params::ShowWorkParameters(this, *image_, deviceLists_, SettingsHooks());
  UpdateCommandStates();
  return confirmed;
}

void TMainFrm::ShowAlarmSettings() {
  if (!session_.ProjectOpen) return;
  params::ShowAlarmSettings(this, *image_, deviceLists_, SettingsHooks());
  UpdateCommandStates();
}

void TMainFrm::ShowKeyLedParameters() {
  if (!session_.ProjectOpen) return;
  params::ShowKeyLedParameters(this, *image_, deviceLists_, SettingsHooks());
  UpdateCommandStates();
}

DeviceCommandContext TMainFrm::DeviceContext() {
  DeviceCommandContext c;
  c.parent = this;
  c.session = &session_;
  c.lists = &deviceLists_;
  c.checkFrm = Dialog<compiler::TCompileCheckFrm>();
  c.ports = comm::ComPortMap::FromSystem();
  c.portIndex = configuration_.ComPort;
  c.hooks.desktop = hooks_.desktop;
  c.hooks.saveProject = [this] { SaveProject(); };
  c.hooks.openWorkParameters = [this] { ShowWorkParameters(); };
  c.hooks.openKeyboardDialog = [this] { ShowKeyLedParameters(); };
  return c;
}

void TMainFrm::PortSettings() {
  DeviceCommandContext c = DeviceContext();
  if (const std::optional<int> chosen = ShowPortDialog(c, *Dialog<comm::TsetCOMpro>())) configuration_.ComPort = *chosen;
}

void TMainFrm::Download() {
  if (!session_.ProjectOpen) return;
  DeviceCommandContext c = DeviceContext();
  RunDownloadCommand(c, *Dialog<comm::TDownloadForm>());
  UpdateCommandStates();
}

void TMainFrm::Firmware() {
  DeviceCommandContext c = DeviceContext();
  ShowFirmwareDialog(c, *Dialog<comm::TFirmwareFrm>());
}

void TMainFrm::Simulate(SimulationMode mode) {
  if (!session_.ProjectOpen) return;
  DeviceCommandContext c = DeviceContext();
  RunSimulation(c, mode);
  UpdateCommandStates();
}

void TMainFrm::BuildUpdatePackage() {
  if (!session_.ProjectOpen) return;
  DeviceCommandContext c = DeviceContext();
  BuildUpdatePackageCommand(c);
  UpdateCommandStates();
}

}  // namespace dravik::app
