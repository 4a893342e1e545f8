#pragma once
// The program's frame: the multiple-document main window with its menus, tool bars,
// status bar and page list; the start-up sequence, the configuration file, the language
// switch and the orderly exit. It holds the project (image, session, editor state) and
// routes every command to the part that carries it out.

#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/configuration.h"
#include "app/device_commands.h"
#include "app/language_file.h"
#include "app/shell_hooks.h"
#include "editor/editor_state.h"
#include "editor/element_clipboard.h"
#include "editor/undo_ring.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "params/device_resources.h"
#include "params/ui/settings_dialog_hooks.h"
#include "pictures/picture_library.h"
#include "platform/bilingual.h"

class QAction;
class QActionGroup;
class QComboBox;
class QDialog;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace dravik::tools {
class TLookupFrm;
}  // namespace dravik::tools
namespace dravik::editor {
class TGriAttribute;
class TStructureP;
}  // namespace dravik::editor

namespace dravik::compiler {
class TCompileCheckFrm;
}  // namespace dravik::compiler

namespace dravik::elements {
class PropertyDialogs;
struct PropertyContext;
}  // namespace dravik::elements

namespace dravik::params {
class TAlarmSetFrm;
class TKeyLedFrm;
class TSystemSetFor;
}  // namespace dravik::params

namespace dravik::comm {
class TDownloadForm;
class TFirmwareFrm;
class TsetCOMpro;
}  // namespace dravik::comm

namespace dravik::app {

class TAboutBox;
class TColorChooser;
class THelpFrm;
class TNewPageFrm;
class TPageAttributeFrm;
class TPastePageFrm;
class TSaveBackupFrm;
class TWelcomeFrm;

struct StartOptions {
  std::vector<std::string> parameters;  // the command-line parameters (program name left out)
};

inline constexpr int kStatusPanelCount = 6;
inline constexpr int kStatusClockPanel = 4;
inline constexpr int kStatusPortPanel = 5;  // the download port, beside the protocol
inline constexpr char kExampleProjectName[] = "茶叶整形机.QX3";

class TMainFrm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainFrm(StartOptions options = {}, QWidget* parent = nullptr);
  ~TMainFrm() override;

  // The desktop services the shell uses; tests answer in place of the user.
  ShellHooks& Hooks() { return hooks_; }

  // The program's icon (windows, page windows, the desktop's task list).
  static QIcon ProgramIcon();

  // ---- operations offered to the rest of the program
  void ToolbarInitialize();
  bool IsChinese() const;
  void ShowStatus(int panel, const QString& text);
  QString StatusText(int panel) const;
  LanguageImport ApplyLanguageFile();
  void SpecifyingPLCDevicesHelp(int linkIndex);
  void PageCountRefresh();
  void ProInitialize();
  QWidget* ActivePageWindowWidget() const;

  // ---- file commands
  void NewProject();
  void OpenProject();
  void SaveProject();
  void SaveProjectAs();
  void OpenExample();
  void OpenRecent();
  void ShowSaveBackup();

  // ---- page commands
  void NewPage();
  void EditPageAttributes();
  void DeletePage();
  void CutPage();
  void CopyPage();
  void PastePageAs();
  // What a press on a tree node does (pop-up menus aside).
  void TreeNodePressed(QTreeWidgetItem* item, bool rightButton);

  // ---- project settings and device commands
  // The work parameters dialog; true after "确认(&Y)" (New proceeds only then).
  bool ShowWorkParameters();
  void ShowAlarmSettings();
  void ShowKeyLedParameters();
  void PortSettings();
  void Download();
  void Firmware();
  void Simulate(SimulationMode mode);
  void BuildUpdatePackage();

  // ---- project tools
  // "寄存器查找": the search window beside the editor; a double-click on a result opens
  // its page and marks the element.
  void ShowRegisterSearch();
  // "元件统计": the counts of the current page.
  void ShowStatistics();
  // "预览画面使用数据": the active page with every element's address written over it, at
  // the preview ratio of the tool bar.
  void ShowUsedDataPreview();
  // "多重复制": copies of the selected element in an array, their addresses rising.
  void MultipleCopy();
  // "批量修改": attributes of every element of a kind, or the pages' colour, over a page
  // range; the dialog offers to undo the last batch once.
  void BatchModify();
  void ForgetBatchUndo();
  // The preview ratio ("25%" … "200%").
  QString PreviewRatio() const;

  // ---- options
  void SetLanguage(bool chinese);
  void SetVisualStyle(int number);
  void ToggleShowGrid();
  void ToggleFontOptimisation();
  void SetBitPreview(bool on);

  // ---- editing elements in the active page window
  // The kind the next click on a page places (the kind commands).
  void ChooseKind(int kind);
  // The picture kind, only once the project has been saved (its pictures live beside it).
  void ChoosePictureKind();
  void Undo();
  void Redo();
  void CutElements();
  void CopyElements();
  void PasteElements();
  // Lock1 (1) and Unlock1 (0) on the selected element.
  void SetElementLock(int lockValue);
  void SendToBack();
  // The alignment tool whose tag is `tag` (1..9) on the active window's group.
  void AlignElements(int tag);
  const editor::UndoRing& UndoHistory() const { return undoRing_; }

  // ---- the clipboard channel
  void ReceiveClipboardData();
  bool ClipboardHoldsPage() const { return pastePageEnabled_; }

  // ---- state, for the parts that follow and for tests
  model::ProjectImage& Image() { return *image_; }
  model::ProjectSession& Session() { return session_; }
  editor::EditorState& State() { return state_; }
  const params::DeviceLists& DeviceLists() const { return deviceLists_; }
  const Configuration& CurrentConfiguration() const { return configuration_; }
  const std::string& LastFileCaption() const { return lastFileCaption_; }
  const std::string& CommandLinePathPending() const { return commandLinePath_; }
  const std::vector<std::string>& JumpTargets() const { return jumpTargets_; }
  QAction* Command(const char* objectName) const;
  QMdiArea* MdiArea() const { return mdi_; }
  QTreeWidget* PageTree() const { return tree_; }
  QTabWidget* PageTabs() const { return pageTabs_; }
  QDockWidget* PageListPanel() const { return pagePanel_; }
  QToolBar* StandardToolBar() const { return standardBar_; }
  // The dialog of type `Form` the window made for the whole run (TNewPageFrm,
  // params::TSystemSetFor, comm::TDownloadForm, ...).
  template <class Form>
  Form* Dialog() const {
    for (QWidget* dialog : dialogs_) {
      if (auto* form = qobject_cast<Form*>(dialog)) return form;
    }
    return nullptr;
  }
  // The help window, once it was first opened.
  THelpFrm* HelpForm() const { return helpFrm_; }
  // The download and firmware port (0 = COM1), kept in the configuration.
  int PortIndex() const { return configuration_.ComPort; }
  // The window and its dialogs, as the language files name them.
  QList<QObject*> Forms() const;
  QTimer& AutoSaveTimer() { return autoSaveTimer_; }
  int VisualStyle() const { return visualStyle_; }
  // Runs what the one-second clock runs.
  void ClockTick();
  // The start-up steps of the first showing (normally run by showEvent).
  void FormShow();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // construction
  model::ProjectSessionHooks SessionHooks();
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreateStatusBar();
  void CreatePageList();
  void CreateDialogs();
  void AddPreviewRatio();
  // The search window's jump to a found element.
  void ConnectToolWindows(tools::TLookupFrm& lookup);
  // Keeps `dialog` among the dialogs made once for the whole run.
  template <class Form>
  Form* Keep(Form* dialog) {
    dialogs_.push_back(dialog);
    return dialog;
  }
  void FindDesktopTools();

  // start-up and configuration
  void ApplyConfiguration(const Configuration& configuration);
  Configuration ConfigurationToWrite() const;
  void ReceiveStartCommand();
  void CommandLineOpen();
  void RestartAutoSave();
  void CleanWorkFiles(bool withClipboardFile);

  // commands
  void UpdateCommandStates();
  // A real edit: Save is enabled and leaving asks to save.
  void MarkModified();
  void Warn(const Bilingual& message);
  void Inform(const Bilingual& message);
  QMessageBox::StandardButton Ask(const Bilingual& question, QMessageBox::StandardButtons buttons);
  int ExecDialog(QDialog* dialog);
  void HandOver(const std::string& command);
  void AttachPictureLibrary();
  void SetBusy(bool busy);
  void ActivatePageWindow(editor::TStructureP* window);
  editor::TStructureP* ActivePageWindow() const;
  editor::TStructureP* PageWindowWithCaption(const QString& caption) const;
  editor::TStructureP* OpenCurrentPageWindow();
  void PageWindowActivated(int pageNumber);
  void SelectTreeNode(const QString& text);
  void ClosePageWindow(int pageNumber);
  void TileWindows(Qt::Orientation orientation);
  void OpenHelp();
  void ShowRecentItem();
  void ShowHelpPage(const std::filesystem::path& page);
  params::SettingsDialogHooks SettingsHooks();
  // What a device command works on, with the serial ports as they are now (an adapter
  // plugged in since the last command counts).
  DeviceCommandContext DeviceContext();
  void OpenPageWindow(int pageNumber);
  void ConnectPageWindow(editor::TStructureP* window);
  // The property dialog of the element in `slot` of `window`'s page; false when it was
  // cancelled (see TStructureP::openPropertyDialog).
  bool OpenPropertyDialog(const editor::TStructureP& window, int slot);
  elements::PropertyContext ElementDialogContext();
  // Shows the picture library window with `chosenId` selected; the ID chosen there. The
  // pages show their pictures anew, since pictures may have been replaced or deleted.
  int ChooseFromPictureLibrary(int chosenId);
  // The snapshot after an edit in `window` (Save follows).
  void ElementEdited(editor::TStructureP* window);
  void AfterUndoStep(editor::TStructureP* window, const editor::UndoOutcome& outcome);
  // The history starts again: for a project that is replaced, and for the page it
  // belongs to when that page goes or takes another number.
  void ForgetUndoHistory();
  void UpdateEditCommands(bool projectOpen);
  // Page `pageNumber` to the work file and `code` as the marker on the clipboard (255 the
  // page, else the slot of the copied element); false, after a warning, when the work
  // file cannot be written.
  bool CopyPageRecordToTemp(int pageNumber, int code);
  bool CopyPageRecordToTemp(int pageNumber, const editor::ClipboardMarker& marker);
  // The marker of what `window` has selected: its group, else its element.
  static editor::ClipboardMarker SelectionMarker(const editor::TStructureP& window);

  StartOptions options_;
  ShellHooks hooks_;
  std::unique_ptr<model::ProjectImage> image_;
  editor::ClipboardState clipboard_;
  editor::EditorState state_;
  editor::UndoRing undoRing_;
  // The page window whose activation last started the history; another one starts anew.
  QPointer<editor::TStructureP> snapshotWindow_;
  model::ProjectSession session_;
  params::DeviceLists deviceLists_;
  std::vector<std::string> protocolNames_;
  pictures::PictureLibrary pictureLibrary_;
  std::filesystem::path workDir_;
  Configuration configuration_;
  std::string lastFileCaption_;
  std::string commandLinePath_;
  std::vector<std::string> jumpTargets_;
  std::unique_ptr<elements::PropertyDialogs> propertyDialogs_;
  QString openPreset_;  // the open dialog's preset file (Open example)
  QComboBox* zoomBox_ = nullptr;  // ZoomVal, the used-data preview's ratio
  bool shown_ = false;
  bool closing_ = false;
  int visualStyle_ = 1;
  QString nativeStyle_;

  // the clipboard channel
  bool pastePageEnabled_ = false;  // the last marker that loaded was a page
  std::string lastMarkerSent_;
  std::string lastTextReceived_;

  QTimer clockTimer_;
  QTimer autoSaveTimer_;
  QTimer welcomeTimer_;
  QTimer commandLineTimer_;
  QPrinter printer_;

  QMdiArea* mdi_ = nullptr;
  QDockWidget* pagePanel_ = nullptr;
  QTabWidget* pageTabs_ = nullptr;
  QWidget* pageSheet_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QPushButton* newPageButton_ = nullptr;
  QPushButton* deletePageButton_ = nullptr;
  QMenu* pageGroupPopup_ = nullptr;
  QMenu* pagePopup_ = nullptr;
  std::vector<QMenu*> projectMenus_;
  QToolBar* standardBar_ = nullptr;
  QToolBar* editBar_ = nullptr;
  QToolBar* designBar_ = nullptr;
  QToolBar* simulationBar_ = nullptr;
  QLabel* statusPanels_[kStatusPanelCount] = {};
  std::vector<QAction*> notBuilt_;
  std::vector<QAction*> projectCommands_;  // enabled once a project is open
  QString calculatorProgram_;
  QString paintProgram_;

  std::vector<QWidget*> dialogs_;  // made once for the whole run, in the language files' order
  THelpFrm* helpFrm_ = nullptr;    // made when help is first asked for
};

}  // namespace dravik::app
