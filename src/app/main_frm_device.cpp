// The main window's project settings and device commands: the work parameters, the alarm
// list and the keyboard LEDs, the download port, Download, the firmware upgrade, the two
// simulations and the customer update package, with the compile check docked below.

#include <QAction>
#include <QDialog>

#include "app/color_chooser.h"
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
  h.message = [this](const QString& text, QMessageBox::Icon icon) {
    if (hooks_.message) hooks_.message(text, icon);
  };
  h.chooseColour = [this](std::uint32_t current, QWidget* anchor) {
    return colorChooser_->Choose(current, anchor);
  };
  h.isChinese = [this] { return IsChinese(); };
  h.enableSave = [this] { MarkModified(); };
  h.question = [this](const QString& text) {
    return hooks_.question && hooks_.question(text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  h.showStatus = [this](int panel, const QString& text) { ShowStatus(panel, text); };
  // The page-attribute dialog takes its key names from the panel model each time it
  // opens, so a changed model needs nothing more here.
  h.refreshKeyNames = [] {};
  h.execDialog = [this](QDialog* dialog) { return ExecDialog(dialog); };
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

compiler::MessageSink TMainFrm::DeviceMessages() {
  compiler::MessageSink sink;
  sink.message = [this](const QString& caption, QMessageBox::Icon icon, const QString& text) {
    // The shell's own boxes carry the program's caption; a box that names something else
    // (a port, the device list) keeps its caption where the desktop can show it.
    if (caption.trimmed() == QString::fromLatin1(kProgramCaption).trimmed() || !hooks_.captionedMessage) {
      if (hooks_.message) hooks_.message(text, icon);
    } else {
      hooks_.captionedMessage(caption, text, icon);
    }
  };
  sink.question = [this](const QString&, const QString& text, QMessageBox::StandardButtons buttons) {
    return hooks_.question ? hooks_.question(text, buttons) : QMessageBox::No;
  };
  sink.isChinese = [this] { return IsChinese(); };
  return sink;
}

comm::DeviceCommandContext TMainFrm::DeviceContext() {
  comm::DeviceCommandContext c;
  c.parent = this;
  c.session = &session_;
  c.lists = &deviceLists_;
  c.checkFrm = compileCheckFrm_;
  c.ports = comm::ComPortMap::FromSystem();
  c.portIndex = configuration_.ComPort;
  comm::DeviceHooks& h = c.hooks;
  h.messages = DeviceMessages();
  h.showStatus = [this](int panel, const QString& text) { ShowStatus(panel, text); };
  h.statusText = [this](int panel) { return StatusText(panel); };
  h.saveProject = [this] { SaveProject(); };
  h.openWorkParameters = [this] { ShowWorkParameters(); };
  h.openKeyboardDialog = [this] { ShowKeyLedParameters(); };
  h.execDialog = [this](QDialog* dialog) { return ExecDialog(dialog); };
  h.saveFile = [this](const QString& title, const QString& filter, const QString& preset) {
    return hooks_.saveFile ? hooks_.saveFile(title, filter, preset) : QString();
  };
  h.openFile = [this](const QString& title, const QString& filter) {
    return hooks_.openFile ? hooks_.openFile(title, filter, {}) : QString();
  };
  h.openFolder = [this](const QString& folder) {
    if (hooks_.openDocument) hooks_.openDocument(folder);
  };
  // startProgram stays the plain one: the simulator needs its working folder.
  return c;
}

void TMainFrm::PortSettings() {
  comm::DeviceCommandContext c = DeviceContext();
  if (const std::optional<int> chosen = comm::ShowPortDialog(c, *setComPro_)) configuration_.ComPort = *chosen;
}

void TMainFrm::Download() {
  if (!session_.ProjectOpen) return;
  comm::DeviceCommandContext c = DeviceContext();
  comm::RunDownloadCommand(c, *downloadForm_);
  UpdateCommandStates();
}

void TMainFrm::Firmware() {
  comm::DeviceCommandContext c = DeviceContext();
  comm::ShowFirmwareDialog(c, *firmwareFrm_);
}

void TMainFrm::Simulate() {
  if (!session_.ProjectOpen) return;
  comm::DeviceCommandContext c = DeviceContext();
  comm::RunSimulation(c);
  UpdateCommandStates();
}

void TMainFrm::BuildUpdatePackage() {
  if (!session_.ProjectOpen) return;
  comm::DeviceCommandContext c = DeviceContext();
  comm::BuildUpdatePackageCommand(c);
  UpdateCommandStates();
}

}  // namespace dravik::app
