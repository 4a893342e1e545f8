// dravik: the desktop program.

#include <QApplication>
#include <QFont>
#include <QMessageBox>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/configuration.h"
#include "app/main_frm.h"
#include "app/qt_translations.h"
#include "dravik_version.h"
#include "platform/paths.h"
#include "platform/runtime_dir.h"

namespace {

// DRAVIK_STARTUP_PROBE=1 (scripts/startup_time.sh): once the main window shows the opened
// project's page window, print the wall-clock time in nanoseconds and quit, so a script
// can measure the start-up from the moment it launched the program.
void ArmStartupProbe(dravik::app::TMainFrm& window) {
  auto* poll = new QTimer(&window);
  QObject::connect(poll, &QTimer::timeout, &window, [&window, poll] {
    QWidget* page = window.ActivePageWindowWidget();
    if (!window.isVisible() || !window.Session().ProjectOpen || page == nullptr || !page->isVisible()) return;
    poll->stop();
    window.repaint();
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("shown-at-ns %lld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    std::fflush(stdout);
    QApplication::exit(0);
  });
  poll->start(1);
}

// The work folder carries what new projects and downloads take from it: a folder someone
// else could have written to is refused before anything is read from it.
bool WorkFolderIsTrusted() {
  const dravik::Result<std::filesystem::path> work = dravik::platform::WorkDir();
  if (work) return true;
  const dravik::Result<dravik::app::ConfigurationRead> read = dravik::app::ReadConfiguration(dravik::platform::ConfigFilePath());
  const bool chinese = read ? read->configuration.Language : true;
  dravik::app::UseQtTranslations(chinese);
  QMessageBox::critical(nullptr, QStringLiteral("Dravik "), dravik::ui::LineText(work.message(chinese)));
  return false;
}

constexpr char kUsage[] =
    "usage: dravik [PROJECT.QX3]\n"
    "\n"
    "Designs the screens of text and graphic operator panels, sets their work parameters and\n"
    "clock macros, compiles the project into a device image and downloads it to the panel.\n"
    "\n"
    "  PROJECT.QX3   the project to open (a path with blanks may be given unquoted); when\n"
    "                Dravik is already running it opens the project there\n"
    "  --help        this text\n"
    "  --version     the program's version\n"
    "\n"
    "environment:\n"
    "  DRAVIK_WORKDIR   the private work folder (default: one of its own per user)\n"
    "  XDG_CONFIG_HOME  where dravik/Dravik.ini is kept (default: ~/.config)\n";

// --help and --version answer without a display.
bool AnsweredWithoutWindow(int argc, char** argv) {
  if (argc != 2) return false;
  const std::string option = argv[1];
  if (option == "--help" || option == "-h") {
    std::fputs(kUsage, stdout);
    return true;
  }
  if (option == "--version") {
    std::printf("dravik %s\n", DRAVIK_VERSION);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnsweredWithoutWindow(argc, argv)) return 0;
  // Qt wants a private runtime folder; where the session gives none, make one (an unusable
  // work folder is reported below, once Qt can show a message box).
  (void)dravik::platform::PrepareRuntimeDir();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Dravik"));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // The panels' texts are set in "宋体"; here a Song-style face stands in for it.
  QFont::insertSubstitutions(QStringLiteral("宋体"),
                             {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});

  if (!WorkFolderIsTrusted()) return 1;

  dravik::app::StartOptions options;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) options.parameters.push_back(arguments[i].toStdString());

  dravik::app::TMainFrm window(std::move(options));
  // Without a window manager (a bare X server) "maximized" means nothing: take the screen.
  if (QScreen* screen = QGuiApplication::primaryScreen()) window.setGeometry(screen->availableGeometry());
  if (std::getenv("DRAVIK_STARTUP_PROBE") != nullptr) ArmStartupProbe(window);
  // DRAVIK_VISUAL_STYLE=1..3 starts in that visual style (scripts/screenshots.sh takes the
  // dark one, 2, this way).
  if (const char* style = std::getenv("DRAVIK_VISUAL_STYLE")) {
    const int number = std::atoi(style);
    if (number >= 1 && number <= 3) window.SetVisualStyle(number);
  }
  window.showMaximized();
  return QApplication::exec();
}
