#pragma once
// Creating, opening and saving a project, with the rules for file names, companion files
// and backups. No dialogs here: what needs the user (the work parameters, the save
// dialog) or the rest of the program is asked through the hooks, and every message comes
// back to the caller to show.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "model/project_image.h"
#include "platform/bilingual.h"
#include "platform/files.h"
#include "platform/result.h"

namespace dravik::model {

inline constexpr char kUnsavedProjectName[] = "QXP1.QX3";

// Start commands handed to a second instance through the clipboard, and its answer.
inline constexpr char kOpenCommandPrefix[] = "Dravik  .OpenFileName:=";
inline constexpr char kNewCommand[] = "Dravik  .New.FileName:=QXP1.QX3";
inline constexpr char kStartCommandAnswer[] = "OK";

extern const Bilingual kMemoryMessage;        // compression or writing the file failed
extern const Bilingual kWrongVersionMessage;  // the file markers do not match

// Texts of status panel 0 while a file is read or written.
extern const Bilingual kStatusDecompressing;
extern const Bilingual kStatusDecompressed;
extern const Bilingual kStatusOpened;
extern const Bilingual kStatusCompressing;
extern const Bilingual kStatusCompressed;

// The three backup settings of the configuration file.
struct BackupSettings {
  bool AutoSavBakFun = true;    // save automatically
  int AutoSavBakInterval = 5;   // minutes between automatic saves
  bool AutoTempBakFun = false;  // copy the file to .BAK before every save
};

struct ProjectSessionHooks {
  // The work parameters dialog during New; true when confirmed.
  std::function<bool()> confirmWorkParameters;
  // The save dialog, preset with a name; nothing when cancelled.
  std::function<std::optional<std::string>(const std::string& preset)> chooseSavePath;
  // A project is open already: start a second instance with this start command.
  std::function<void(const std::string& command)> handOverToNewInstance;
  // The picture library must follow ProjectFileName (after Open and after a new name).
  std::function<void()> attachPictureLibrary;
  std::function<void(const Bilingual& text)> showStatus;  // status panel 0
  std::function<void(bool busy)> setBusy;                   // hourglass cursor
};

enum class CommandOutcome { Done, Cancelled, HandedOver, Failed };

struct CommandResult {
  CommandResult(CommandOutcome outcome = CommandOutcome::Done,
                std::optional<Bilingual> warning = std::nullopt, int currentPage = 0)
      : outcome(outcome), warning(std::move(warning)), currentPage(currentPage) {}

  CommandOutcome outcome = CommandOutcome::Done;
  std::optional<Bilingual> warning;  // to show in a warning box when set
  int currentPage = 0;               // the page to make current; 0 leaves it as it is

  bool done() const { return outcome == CommandOutcome::Done; }
};

class ProjectSession {
 public:
  ProjectSession(ProjectImage& image, ProjectSessionHooks hooks = {});

  CommandResult New();
  // Open `path` (the open dialog belongs to the caller).
  CommandResult Open(const std::string& path);
  CommandResult Save();
  CommandResult SaveAs();

  ProjectImage& image() { return image_; }

  std::string ProjectFileName = kUnsavedProjectName;
  std::string PreviousFileName;
  std::string OpenPending;  // "Open" when the next Open takes ProjectFileName
  bool SaveAsPending = false;
  bool ProjectOpen = false;
  bool Modified = false;
  BackupSettings backup;

 private:
  CommandResult SaveUnderChosenName();
  CommandResult WriteProjectFile();
  void ShowStatus(const Bilingual& text) const;
  void Busy(bool busy) const;

  ProjectImage& image_;
  ProjectSessionHooks hooks_;
};

// What a fresh project holds: the settings defaults and page 1 "Window1".
void InitializeNewProject(ProjectImage& image);

// The record file: the settings page (with its markers set) and pages 1..k, where
// k = min(highest used page + 1, 240), at least 1.
int RecordCountToSave(const ProjectImage& image);
Status WriteProjectFile(ProjectImage& image, const std::filesystem::path& file);
// The project file's bytes (the compressed record file) through `sink`, for a caller that
// writes it together with other files.
Status CompressProjectTo(ProjectImage& image, const platform::ByteSink& sink);

// Reads a project file into the image: the markers checked before anything is loaded,
// at most 240 pages, bytes after the last whole record ignored. On failure the image
// holds no page (as after ClearPagesForLoad) and the settings page is as it was.
struct ReadFailure {
  Bilingual message;
};
std::optional<ReadFailure> ReadProjectFile(ProjectImage& image, const std::filesystem::path& file);
// The same for a project file's bytes already in memory; `path` only names it in messages.
std::optional<ReadFailure> ReadProjectBytes(ProjectImage& image,
                                            std::span<const std::uint8_t> compressed,
                                            const std::string& path);

// The name rules of the save dialog: ".QX3" appended when the chosen file name lacks it,
// and the project kept in a folder named after it.
struct SaveLocation {
  std::string folder;       // to create
  std::string projectFile;  // the new ProjectFileName
};
SaveLocation SaveLocationForChosenName(const std::string& chosen);

// `path` with its extension replaced (".PIC", ".M" companions of a project file).
std::string WithExtension(const std::string& path, const std::string& extension);
// `text` without its last n characters (UTF-8 characters, not bytes).
std::string DropLastCharacters(const std::string& text, std::size_t n);

// A clipboard text read at start-up.
struct StartCommand {
  enum Kind { None, OpenFile, NewProject } kind = None;
  std::string path;
};
StartCommand ParseStartCommand(const std::string& clipboardText);

}  // namespace dravik::model
