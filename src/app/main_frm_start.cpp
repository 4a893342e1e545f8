// The main window's start-up, clock, configuration, language, display options, help and
// exit.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStatusBar>
#include <QStyleFactory>
#include <QToolBar>

#include "app/help_frm.h"
#include "app/main_frm.h"
#include "app/page_clipboard.h"
#include "app/qt_translations.h"
#include "app/shell_texts.h"
#include "app/start_decision.h"
#include "compiler/ui/compile_check_frm.h"
#include "editor/ui/structure_page.h"
#include "macro/ui/macro_edit_frm.h"
#include "model/settings_page.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::app {

namespace {

constexpr char kG1Temp[] = "G1.Temp";
constexpr char kG2Temp[] = "G2.Temp";

std::filesystem::path HelpFolder() { return platform::ProgramDir() / "help"; }
std::filesystem::path LanguageFolder() { return platform::ProgramDir() / "lang"; }

// Fusion with a dark palette: the second visual style.
QPalette DarkPalette() {
  QPalette p;
  const QColor window(53, 53, 53), base(35, 35, 35), text(225, 225, 225), highlight(42, 130, 218);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
  p.setColor(QPalette::ToolTipText, Qt::black);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::red);
  p.setColor(QPalette::Highlight, highlight);
  p.setColor(QPalette::HighlightedText, Qt::black);
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(127, 127, 127));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
  return p;
}

}  // namespace

void TMainFrm::CleanWorkFiles(bool withClipboardFile) {
  if (workDir_.empty()) return;
  for (const char* name : {kG1Temp, kG2Temp}) (void)platform::RemoveFileIfPresent(workDir_ / name);
  if (withClipboardFile) (void)platform::RemoveFileIfPresent(ClipboardFilePath(workDir_));
}

void TMainFrm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TMainFrm::FormShow() {
  shown_ = true;
  setWindowTitle(QString::fromLatin1(kProgramCaption));

  Result<ConfigurationRead> read = ReadConfiguration(platform::ConfigFilePath());
  if (read) {
    ApplyConfiguration(read->configuration);
  } else {
    ApplyConfiguration(ConfigurationWithoutFile());
    Warn({kConfigurationFailed.chinese + read.message(), kConfigurationFailed.english + read.message()});
  }
  RestartAutoSave();
  ShowStatus(0, QString::fromStdString(kReadyStatus.In(IsChinese())));
  ShowStatus(3, QStringLiteral(" X: 0  Y: 0"));

  commandLinePath_ = CommandLinePath(options_.parameters);
  UpdateCommandStates();
  if (!commandLinePath_.empty()) {
    OpenRecent();
  } else {
    ReceiveStartCommand();
  }
  if (!IsChinese()) ApplyLanguageFile();
}

void TMainFrm::ApplyConfiguration(const Configuration& c) {
  configuration_ = c;
  Command(c.Language ? "Chinese1" : "English1")->setChecked(true);
  state_.IsChinese = c.Language;
  UseQtTranslations(c.Language);
  state_.GriddingColor = c.GriddingColor;
  state_.GriX = c.GriX;
  state_.GriY = c.GriY;
  state_.ShowGrid = c.N2;
  state_.FontOptimisation = c.N23;
  Command("N2")->setChecked(c.N2);
  Command("N23")->setChecked(c.N23);
  session_.backup = c.backup;
  lastFileCaption_ = c.LastFileOpenItem;
  ShowRecentItem();
}

Configuration TMainFrm::ConfigurationToWrite() const {
  Configuration c = configuration_;
  c.GriddingColor = state_.GriddingColor;
  c.GriX = state_.GriX;
  c.GriY = state_.GriY;
  c.Language = IsChinese();
  c.N23 = Command("N23")->isChecked();
  c.N2 = Command("N2")->isChecked();
  c.backup = session_.backup;
  c.LastFileOpenItem = LastFileOpenItemAtExit(session_.ProjectFileName, lastFileCaption_);
  return c;
}

void TMainFrm::RestartAutoSave() {
  const model::BackupSettings& b = session_.backup;
  autoSaveTimer_.setInterval(std::max(1, b.AutoSavBakInterval) * 60000);
  if (b.AutoSavBakFun) autoSaveTimer_.start();
  else autoSaveTimer_.stop();
}

void TMainFrm::ReceiveStartCommand() {
  const QString text = QGuiApplication::clipboard()->text();
  const std::optional<std::string> clipboard =
      text.isNull() ? std::nullopt : std::optional<std::string>(text.toStdString());
  const StartDecision decision = DecideStart({}, clipboard);
  if (decision.answerClipboard) QGuiApplication::clipboard()->setText(QString::fromLatin1(model::kStartCommandAnswer));
  switch (decision.kind) {
    case StartDecision::OpenFromClipboard:
      session_.ProjectFileName = decision.path;
      session_.OpenPending = "Open";
      OpenProject();
      break;
    case StartDecision::NewFromClipboard:
      NewProject();
      break;
    case StartDecision::Welcome:
    case StartDecision::OpenCommandLine:
      welcomeTimer_.start(300);
      break;
  }
}

void TMainFrm::CommandLineOpen() {
  session_.ProjectFileName = commandLinePath_;
  commandLinePath_.clear();
  session_.OpenPending = "Open";
  OpenProject();
}

// ---------------------------------------------------------------------------------------
// The one-second clock

void TMainFrm::ClockTick() {
  const QString title = session_.ProjectOpen
                            ? QString::fromStdString(WindowTitle(session_.ProjectFileName))
                            : QString::fromLatin1(kProgramCaption);
  if (windowTitle() != title) setWindowTitle(title);
  const QDateTime now = QDateTime::currentDateTime();
  ShowStatus(4, QStringLiteral(" ") + now.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("  ") +
                    now.toString(QStringLiteral("HH:mm:ss")));
  Command("StandardToolBar1")->setChecked(standardBar_->isVisible());
  Command("DesignToolBar1")->setChecked(designBar_->isVisible());
  Command("EditToolBar1")->setChecked(editBar_->isVisible());
  // A copy made here is read back like one from another instance.
  if (lastMarkerSent_ != lastTextReceived_) {
    ReceiveClipboardData();
    lastMarkerSent_ = lastTextReceived_;
  }
  undoRing_.UpdateUndoCommands();
  UpdateCommandStates();
}

// ---------------------------------------------------------------------------------------
// Language and display options

LanguageImport TMainFrm::ApplyLanguageFile() {
  const std::filesystem::path file = LanguageFolder() / (IsChinese() ? "apchs.ini" : "apeng.ini");
  LanguageImport result = app::ApplyLanguageFile(QString::fromStdString(file.string()), Forms());
  if (!result.ok()) {
    const std::string why = result.error.toStdString();
    Warn({kLanguageFileFailed.chinese + why, kLanguageFileFailed.english + why});
  }
  return result;
}

void TMainFrm::SetLanguage(bool chinese) {
  Command(chinese ? "Chinese1" : "English1")->setChecked(true);
  state_.IsChinese = chinese;
  UseQtTranslations(chinese);
  ApplyLanguageFile();
  Dialog<compiler::TCompileCheckFrm>()->SetLanguage(chinese);
  // The page windows' menus are the program's own texts, not the language files'.
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (auto* window = qobject_cast<editor::TStructureP*>(sub->widget())) window->UpdateMenuTexts();
  }
  ShowRecentItem();
  if (session_.ProjectOpen) PageCountRefresh();
  ShowStatus(0, QString::fromStdString(kReadyStatus.In(chinese)));
  if (session_.ProjectOpen) ProInitialize();
}

void TMainFrm::ShowRecentItem() {
  // Without a recent file the item shows the built-in caption, in the interface language
  // (the configuration keeps the built-in text as it is).
  static const Bilingual kNoRecentFile{kRecentItemBuiltInCaption, "Recent file"};
  const std::string& stored = lastFileCaption_;
  Command("LastFileOpenItem")
      ->setText(QString::fromStdString(HasRecentFile(stored) ? stored : kNoRecentFile.In(IsChinese())));
}

void TMainFrm::SetVisualStyle(int number) {
  visualStyle_ = number;
  const QString names[] = {QStringLiteral("Style1"), QStringLiteral("Style2"), QStringLiteral("Style3")};
  if (number >= 1 && number <= 3) findChild<QAction*>(names[number - 1])->setChecked(true);
  switch (number) {
    case 2:
      QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
      QApplication::setPalette(DarkPalette());
      break;
    case 3: {
      // The desktop's own look; where that already is Fusion, the classic one.
      const QString native = nativeStyle_.compare(QStringLiteral("fusion"), Qt::CaseInsensitive) == 0
                                 ? QStringLiteral("Windows")
                                 : nativeStyle_;
      QApplication::setStyle(QStyleFactory::create(native));
      QApplication::setPalette(QApplication::style()->standardPalette());
      break;
    }
    default:
      QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
      QApplication::setPalette(QApplication::style()->standardPalette());
      break;
  }
}

void TMainFrm::ToggleShowGrid() {
  state_.ShowGrid = Command("N2")->isChecked();
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (auto* window = qobject_cast<editor::TStructureP*>(sub->widget())) window->StructureGridding();
  }
}

void TMainFrm::ToggleFontOptimisation() {
  state_.FontOptimisation = Command("N23")->isChecked();
  if (editor::TStructureP* window = ActivePageWindow()) {
    SetBusy(true);
    window->PageRefresh();
    SetBusy(false);
    window->Deselect();
  }
}

void TMainFrm::SetBitPreview(bool on) {
  state_.BitPreviewOn = on;
  Command(on ? "Bit_ON" : "Bit_OFF")->setChecked(true);
  if (editor::TStructureP* window = ActivePageWindow()) {
    window->BitPreviewRefresh();
    window->Deselect();
  }
}

// ---------------------------------------------------------------------------------------
// Help

void TMainFrm::OpenHelp() {
  const std::filesystem::path index = HelpFolder() / "index.html";
  if (!std::filesystem::exists(index)) {
    Warn({kHelpMissing.chinese + index.string(), kHelpMissing.english + index.string()});
    return;
  }
  ShowHelpPage(index);
}

void TMainFrm::ShowHelpPage(const std::filesystem::path& page) {
  if (helpFrm_ == nullptr) helpFrm_ = new THelpFrm(this);
  helpFrm_->ShowPage(page, IsChinese());
}

void TMainFrm::SpecifyingPLCDevicesHelp(int linkIndex) {
  // Without the help pages there is nothing to show.
  if (!std::filesystem::exists(HelpFolder() / "index.html")) return;
  const model::PageRecord& settings = image_->Settings();
  const int protocol = linkIndex == 1 ? At(settings, model::settings::kLink2Table)
                                      : At(settings, model::settings::kLink1Protocol);
  ShowHelpPage(HelpFolder() / ("Device" + std::to_string(protocol) + ".htm"));
}

// ---------------------------------------------------------------------------------------
// Exit

void TMainFrm::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  if (!Dialog<macro::TMacroEditFrm>()->close()) {
    event->ignore();
    return;
  }
  if (Command("Save1")->isEnabled() && !session_.ProjectFileName.empty()) {
    const auto answer = Ask(SaveBeforeExitQuestion(session_.ProjectFileName),
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton) {
      event->ignore();
      return;
    }
    if (answer == QMessageBox::Yes) {
      SaveProject();
      // The user asked for the edits to be kept: a save that did not happen (dialog
      // cancelled, disk full) must not end with them thrown away.
      if (session_.Modified) {
        event->ignore();
        return;
      }
    }
  } else if (Ask(kExitQuestion, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    event->ignore();
    return;
  }

  const Status written = WriteConfiguration(platform::ConfigFilePath(), ConfigurationToWrite());
  if (!written) Warn({kConfigurationFailed.chinese + written.message(), kConfigurationFailed.english + written.message()});
  CleanWorkFiles(true);
  closing_ = true;
  clockTimer_.stop();
  autoSaveTimer_.stop();
  event->accept();
}

}  // namespace dravik::app
