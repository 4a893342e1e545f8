#include "app/device_commands.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>

#include "comm/download_session.h"
#include "comm/firmware_session.h"
#include "comm/ui/download_form.h"
#include "comm/ui/firmware_frm.h"
#include "comm/ui/set_com_pro.h"
#include "comm/update_package.h"
#include "compiler/compile_project.h"
#include "platform/paths.h"

namespace dravik::app {

namespace {

namespace fs = std::filesystem;

constexpr int kStatusCommand = 0;  // status panel of command progress
constexpr int kStatusPort = 5;     // status panel that names the port (beside the protocol's)

// The hourglass while the compiler works.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { Release(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  void Release() {
    if (held_) QApplication::restoreOverrideCursor();
    held_ = false;
  }

 private:
  bool held_ = true;
};

QString Path(const fs::path& path) {
  return QString::fromStdString(path.string());
}

void Warn(DeviceCommandContext& c, const Bilingual& text) {
  c.hooks.desktop.Show(c.parent, text, QMessageBox::Warning);
}

void Inform(DeviceCommandContext& c, const Bilingual& text) {
  c.hooks.desktop.Show(c.parent, text, QMessageBox::Information);
}

// After a good compile the simulation and the package tick off status panel 0.
void AppendCheckMark(DeviceCommandContext& c) {
  const QString current = c.hooks.desktop.StatusText(kStatusCommand);
  c.hooks.desktop.ShowStatus(kStatusCommand, current + QString::fromUtf8(kCheckMark));
}

void Save(DeviceCommandContext& c) {
  if (c.hooks.saveProject) {
    c.hooks.saveProject();
    return;
  }
  const model::CommandResult saved = c.session->Save();
  if (saved.warning) Warn(c, *saved.warning);
}

}  // namespace

fs::path SimulatorProgram() {
  return platform::ExecutablePath().parent_path() / kSimulatorProgram;
}

Bilingual SimulatorMissingMessage(const fs::path& program, const fs::path& image) {
  return {"找不到模拟器程序 " + program.string() + "，无法启动模拟。\r画面数据已编译到 " +
              image.string() + "。",
          "The simulator " + program.string() +
              " was not found, so the simulation cannot "
              "start.\rThe screens were compiled to " +
              image.string() + "."};
}

Bilingual SimulatorStartFailedMessage(const fs::path& program, const std::string& reason) {
  return {"无法启动模拟器 " + program.string() + "：" + reason,
          "The simulator " + program.string() + " cannot be started: " + reason};
}

Bilingual PackageDialogTitle() {
  return {comm::package_text::kSaveDialogTitle, "Save the update package"};
}

QString PackageDialogFilter() {
  // "description|pattern|description|pattern" -> "description;;description"
  const QStringList parts = QString::fromUtf8(comm::package_text::kSaveDialogFilter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    filters << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + parts[i + 1] + ")");
  }
  return filters.join(QStringLiteral(";;"));
}

PreambleResult RunCompilePreamble(DeviceCommandContext& c) {
  model::ProjectSession& session = *c.session;
  model::ProjectImage& project = session.image();
  const bool chinese = c.hooks.desktop.Chinese();

  compiler::TCompileCheckFrm& check = *c.checkFrm;
  check.SetDesktopHooks(c.hooks.desktop);
  if (c.hooks.openKeyboardDialog) check.SetKeyboardDialog(c.hooks.openKeyboardDialog);
  const compiler::CheckReport report = check.StartCheck(project, *c.lists, chinese);
  if (report.keyboardClamped) session.Modified = true;
  if (check.ErrorsShown()) return {PreambleEnd::kCheckFailed, {}, {}};

  if (std::optional<Bilingual> missing = compiler::InitialPageMissing(project)) {
    Warn(c, *missing);
    if (c.hooks.openWorkParameters) c.hooks.openWorkParameters();
    return {PreambleEnd::kNoInitialPage, {}, {}};
  }
  if (session.ProjectFileName == model::kUnsavedProjectName) {
    Warn(c, comm::SaveNewProjectFirstText());
    Save(c);
    return {PreambleEnd::kNotSaved, {}, {}};
  }

  BusyCursor busy;
  compiler::CompileProjectOptions options;
  options.runCheck = false;  // done above, with the window
  options.isChinese = chinese;
  compiler::ProjectCompileResult compiled =
      compiler::CompileProject(project, session.ProjectFileName, *c.lists, options);
  busy.Release();
  if (compiled.projectChanged) session.Modified = true;
  for (std::size_t i = 0; i < compiled.messages.size(); ++i) {
    compiler::CompilerMessage message = compiled.messages[i];
    // The compiler's own reason goes with the last box, so the user learns what to mend.
    if (!compiled.ok() && i + 1 == compiled.messages.size() && !compiled.failure.english.empty()) {
      message.text.chinese += "\r" + compiled.failure.chinese;
      message.text.english += "\r" + compiled.failure.english;
    }
    c.hooks.desktop.Show(c.parent, message);
  }
  if (!compiled.ok()) return {PreambleEnd::kCompileFailed, {}, {}};

  Result<fs::path> work = platform::WorkDir();
  if (!work) {
    Warn(c,
         {"无法写入画面数据：" + work.message(), "The image cannot be written: " + work.message()});
    return {PreambleEnd::kWriteFailed, {}, {}};
  }
  const fs::path imageFile = *work / kCompiledImageName;
  if (Status written = compiler::WriteImageFile(imageFile, compiled.image); !written) {
    Warn(c, {"无法写入画面数据 " + imageFile.string() + "：" + written.message(),
             "The image " + imageFile.string() + " cannot be written: " + written.message()});
    return {PreambleEnd::kWriteFailed, {}, {}};
  }
  return {PreambleEnd::kCompiled, imageFile, std::move(compiled.image)};
}

PreambleResult RunDownloadCommand(DeviceCommandContext& c, comm::TDownloadForm& form) {
  PreambleResult compiled = RunCompilePreamble(c);
  if (!compiled.ok()) return compiled;
  c.hooks.desktop.ShowStatus(kStatusCommand, QString::fromStdString(comm::CompileSucceededText().In(
                                                 c.hooks.desktop.Chinese())));
  form.SetDesktopHooks(c.hooks.desktop);
  form.Prepare(compiled.image, c.ports, c.portIndex);
  c.hooks.desktop.Exec(&form);
  // "编译成功!" must not stay behind a download that left the panel incomplete.
  if (const std::optional<comm::DownloadOutcome>& outcome = form.LastOutcome();
      outcome && outcome->notice)
    c.hooks.desktop.ShowStatus(kStatusCommand, c.hooks.desktop.Text(*outcome->notice));
  return compiled;
}

std::optional<int> ShowPortDialog(DeviceCommandContext& c, comm::TsetCOMpro& form) {
  form.SetDesktopHooks(c.hooks.desktop);
  form.Load(c.ports, c.portIndex);
  if (c.hooks.desktop.Exec(&form) != QDialog::Accepted) return std::nullopt;
  c.portIndex = form.SelectedIndex();
  c.hooks.desktop.ShowStatus(kStatusPort, QString::fromStdString(comm::PortStatusText(c.portIndex)));
  return c.portIndex;
}

void ShowFirmwareDialog(DeviceCommandContext& c, comm::TFirmwareFrm& form) {
  form.SetDesktopHooks(c.hooks.desktop);
  const ui::DesktopHooks desktop = c.hooks.desktop;
  QWidget* parent = c.parent;
  form.SetFirmwareChooser([desktop, parent]() -> std::optional<fs::path> {
    const QString title = desktop.Text({"选择固件文件", "Choose the firmware file"});
    const QString filter = QStringLiteral("Firmware (*.bin);;All Files (*)");
    const QString chosen = desktop.OpenFile(parent, title, filter);
    if (chosen.isEmpty()) return std::nullopt;
    return fs::path(chosen.toStdString());
  });
  form.Prepare(c.ports, c.portIndex, comm::FindInstalledFirmware());
  c.hooks.desktop.Exec(&form);
}

SimulationEnd RunSimulation(DeviceCommandContext& c, SimulationMode mode) {
  const PreambleResult compiled = RunCompilePreamble(c);
  if (!compiled.ok()) return SimulationEnd::kPreambleStopped;
  AppendCheckMark(c);

  // The simulator is started in the work folder, on the image just compiled there.
  const fs::path program = c.simulator.empty() ? SimulatorProgram() : c.simulator;
  if (!QFileInfo(Path(program)).isExecutable()) {
    Warn(c, SimulatorMissingMessage(program, compiled.imageFile));
    return SimulationEnd::kSimulatorMissing;
  }
  QString error;
  const QString workingDir = Path(compiled.imageFile.parent_path());
  QStringList arguments{QStringLiteral("--image"), Path(compiled.imageFile)};
  if (mode == SimulationMode::kOnline) arguments << QStringLiteral("--online");
  const bool started = c.hooks.desktop.StartProgram(Path(program), arguments, workingDir, &error);
  if (!started) {
    Warn(c, SimulatorStartFailedMessage(program, error.toStdString()));
    return SimulationEnd::kStartFailed;
  }
  return SimulationEnd::kStarted;
}

PackageEnd BuildUpdatePackageCommand(DeviceCommandContext& c) {
  const PreambleResult compiled = RunCompilePreamble(c);
  if (!compiled.ok()) return PackageEnd::kPreambleStopped;
  AppendCheckMark(c);

  const fs::path project(c.session->ProjectFileName);
  const QString preset = Path(project.parent_path() / comm::ProposedPackageName(project));
  const QString title = c.hooks.desktop.Text(PackageDialogTitle());
  const QString chosen = c.hooks.desktop.SaveFile(c.parent, title, PackageDialogFilter(), preset);
  if (chosen.isEmpty()) return PackageEnd::kCancelled;

  // The chosen name is the package's folder.
  const fs::path folder(chosen.toStdString());
  const fs::path updater = c.updater.empty() ? comm::UpdaterSource() : c.updater;
  Result<comm::UpdatePackageResult> package = comm::BuildUpdatePackage(folder, updater, compiled.image);
  if (!package) {
    Warn(c, Both(package.message()));
    return PackageEnd::kFailed;
  }
  if (!package->notes.empty()) {
    Bilingual notes;
    for (const Bilingual& note : package->notes) {
      notes.chinese += (notes.chinese.empty() ? "" : "\r") + note.chinese;
      notes.english += (notes.english.empty() ? "" : "\r") + note.english;
    }
    Inform(c, notes);
  }
  c.hooks.desktop.OpenDocument(Path(folder));
  return PackageEnd::kBuilt;
}

}  // namespace dravik::app
