// The main window's element commands over the active page window: the kind commands,
// undo and redo over the page's snapshots, cut, copy and paste of an element through the
// clipboard shared by running instances, lock and unlock, and send to bottom.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/main_frm.h"
#include "app/page_clipboard.h"
#include "app/page_commands.h"
#include "app/shell_texts.h"
#include "editor/ui/structure_page.h"
#include "elements/bit_properties.h"
#include "elements/element_kind.h"
#include "elements/ui/property_dialogs.h"
#include "model/settings_page.h"
#include "pictures/ui/meta_file_frm.h"
#include "model/project_session.h"

namespace dravik::app {

namespace {

// The alignment tool buttons; each one's data is its mode.
constexpr const char* kAlignTools[] = {"AlignButton1", "AlignButton2", "AlignButton3",
                                       "AlignButton4", "AlignButton5", "AlignButton6",
                                       "AlignButton7", "AlignButton8", "AlignButton9"};

}  // namespace

// ---------------------------------------------------------------------------------------
// The page windows' reports

void TMainFrm::ConnectPageWindow(editor::TStructureP* window) {
  // A window that is already open is handed back when its page is opened again.
  static constexpr char kConnected[] = "dravikConnected";
  if (window->property(kConnected).toBool()) return;
  window->setProperty(kConnected, true);
  window->SetHooks(&hooks_.desktop);
  window->openPropertyDialog = [this, window](int slot) { return OpenPropertyDialog(*window, slot); };
  connect(window, &editor::TStructureP::SelectionChanged, this, &TMainFrm::UpdateCommandStates);
  connect(window, &editor::TStructureP::ElementDescribed, this, [this](const QString& text) { ShowStatus(0, text); });
  connect(window, &editor::TStructureP::PointerMoved, this, [this](const QString& text) { ShowStatus(3, text); });
  connect(window, &editor::TStructureP::Edited, this, [this, window] { ElementEdited(window); });
  connect(window, &editor::TStructureP::CutRequested, this, &TMainFrm::CutElements);
  connect(window, &editor::TStructureP::CopyRequested, this, &TMainFrm::CopyElements);
  connect(window, &editor::TStructureP::PasteRequested, this, &TMainFrm::PasteElements);
  connect(window, &editor::TStructureP::PageAttributesRequested, this, &TMainFrm::EditPageAttributes);
  connect(window, &editor::TStructureP::RegisterSearchRequested, this, &TMainFrm::ShowRegisterSearch);
  connect(window, &editor::TStructureP::MultipleCopyRequested, this, &TMainFrm::MultipleCopy);
  connect(window, &editor::TStructureP::BatchModifyRequested, this, &TMainFrm::BatchModify);
}

bool TMainFrm::OpenPropertyDialog(const editor::TStructureP& window, int slot) {
  model::PageRecord& page = image_->Page(window.PageNumber());
  // A kind without a dialog opens none; the element is drawn again and the snapshot
  // follows as after any edit.
  if (propertyDialogs_->DialogFor(page.ElemKind[static_cast<std::size_t>(slot)]) == nullptr) return true;
  return propertyDialogs_->Open(page, slot, ElementDialogContext());
}

elements::PropertyContext TMainFrm::ElementDialogContext() {
  const model::PageRecord& settings = image_->Settings();
  elements::PropertyContext context;
  context.hooks = &hooks_.desktop;
  context.lists = &deviceLists_;
  context.pageWidth = state_.PageWidth;
  context.pageHeight = state_.PageHeight;
  context.panelKeys = elements::PanelKeyItems(PanelKeyNames(At(settings, model::settings::kPanelModel)),
                                              PageKeyRowCount(settings), IsChinese());
  context.jumpTargets = JumpTargets();
  context.deviceHelp = [this](int link) { SpecifyingPLCDevicesHelp(link); };
  if (pictureLibrary_.IsOpen()) context.pictures = &pictureLibrary_;
  context.choosePicture = [this](int chosenId) { return ChooseFromPictureLibrary(chosenId); };
  return context;
}

int TMainFrm::ChooseFromPictureLibrary(int chosenId) {
  auto* library = Dialog<pictures::TMetaFileFrm>();
  library->SetHooks(hooks_.desktop);
  library->SetPaintProgram(paintProgram_);
  const int chosen = library->ChoosePicture(chosenId);
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (auto* window = qobject_cast<editor::TStructureP*>(sub->widget())) window->PageRefresh();
  }
  return chosen;
}

void TMainFrm::ElementEdited(editor::TStructureP* window) {
  const int page = window->PageNumber();
  const editor::UndoOutcome outcome = undoRing_.EditFileBackup(image_->Page(page), page);
  // Ctrl+Z right after an edit takes it back; the clock's tick would come up to a second
  // late, and the key would be lost meanwhile.
  undoRing_.UpdateUndoCommands();
  if (outcome.enableSave) {
    MarkModified();
  } else {
    UpdateCommandStates();
  }
}

void TMainFrm::ForgetUndoHistory() {
  undoRing_.Forget();
  snapshotWindow_ = nullptr;
}

void TMainFrm::UpdateEditCommands(bool projectOpen) {
  editor::TStructureP* window = ActivePageWindow();
  const bool editing = projectOpen && window != nullptr;
  const bool single = editing && window->HasSelection();
  const bool group = editing && window->HasAreaSelection();
  const bool locked = single && window->SelectedLocked();
  const bool paste = editing && clipboard_.EnabledPaste() == editor::PasteCommand::Element;
  Command("Undo1")->setEnabled(editing && undoRing_.UndoEnabled());
  Command("Redo1")->setEnabled(editing && undoRing_.RedoEnabled());
  Command("Cut1")->setEnabled(single || group);
  Command("Copy1")->setEnabled(single || group);
  Command("Paste1")->setEnabled(paste);
  // A group is locked or unlocked as a whole, whatever its members are now.
  Command("Lock1")->setEnabled(group || (single && !locked));
  Command("Unlock1")->setEnabled(group || locked);
  Command("SendToBack1")->setEnabled(single && window->CanSendToBack());
  Command("MultiCopy1")->setEnabled(single);
  const bool aligning = group && editor::GroupToolsEnabled(window->Group());
  for (const char* tool : kAlignTools) Command(tool)->setEnabled(aligning);
  if (window != nullptr) window->SetPasteEnabled(paste);
}

// ---------------------------------------------------------------------------------------
// Kinds

void TMainFrm::ChooseKind(int kind) {
  if (!session_.ProjectOpen) return;
  state_.PlaceKind = kind;
}

void TMainFrm::ChoosePictureKind() {
  if (session_.ProjectFileName == model::kUnsavedProjectName) {
    Warn(kSaveNewProjectFirst);
    SaveProject();
    return;
  }
  ChooseKind(elements::kKindPicture);
}

// ---------------------------------------------------------------------------------------
// Undo and redo

void TMainFrm::AfterUndoStep(editor::TStructureP* window, const editor::UndoOutcome& outcome) {
  undoRing_.UpdateUndoCommands();
  if (outcome.pageRestored) {
    window->PageRefresh();
    window->Deselect();
  }
  if (outcome.enableSave) {
    MarkModified();
  } else {
    UpdateCommandStates();
  }
}

void TMainFrm::Undo() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr) return;
  const int page = window->PageNumber();
  AfterUndoStep(window, undoRing_.Undo(image_->Page(page), page));
}

void TMainFrm::Redo() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr) return;
  const int page = window->PageNumber();
  AfterUndoStep(window, undoRing_.Redo(image_->Page(page), page));
}

// ---------------------------------------------------------------------------------------
// The element clipboard

bool TMainFrm::CopyPageRecordToTemp(int pageNumber, int code) {
  if (code == kPageMarkerCode) return CopyPageRecordToTemp(pageNumber, editor::PageMarker{});
  return CopyPageRecordToTemp(pageNumber, editor::ElementMarker{code});
}

bool TMainFrm::CopyPageRecordToTemp(int pageNumber, const editor::ClipboardMarker& marker) {
  const Status written = WriteClipboardFile(workDir_, image_->Page(pageNumber));
  if (!written) {
    Warn({kClipboardFileFailed.chinese + written.message(), kClipboardFileFailed.english + written.message()});
    return false;
  }
  lastMarkerSent_ = editor::MarkerText(marker);
  QGuiApplication::clipboard()->setText(QString::fromStdString(lastMarkerSent_));
  return true;
}

editor::ClipboardMarker TMainFrm::SelectionMarker(const editor::TStructureP& window) {
  if (window.HasAreaSelection()) return editor::AreaMarker{window.Group().frame, window.Group().SelList};
  return editor::ElementMarker{window.SelectedSlot()};
}

void TMainFrm::CopyElements() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr || !(window->HasSelection() || window->HasAreaSelection())) return;
  CopyPageRecordToTemp(window->PageNumber(), SelectionMarker(*window));
}

void TMainFrm::CutElements() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr || !(window->HasSelection() || window->HasAreaSelection())) return;
  // Nothing is deleted unless its copy is safely in the work file.
  if (!CopyPageRecordToTemp(window->PageNumber(), SelectionMarker(*window))) return;
  window->OrganDelete();
  ElementEdited(window);
}

void TMainFrm::PasteElements() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr || clipboard_.EnabledPaste() != editor::PasteCommand::Element) return;
  const int page = window->PageNumber();
  SetBusy(true);
  window->Deselect();
  const editor::PasteOutcome outcome =
      clipboard_.Paste(image_->Page(page), {window->CanvasWidth(), window->CanvasHeight()});
  for (const int slot : outcome.PickList) {
    state_.CurrentSlot = slot;
    window->OrganEstablish();
  }
  SetBusy(false);
  for (int i = 0; i < outcome.notPasted; ++i) Warn(model::kNoFreeSlotMessage);
  if (outcome.PickList.empty()) return;
  if (outcome.frame) {
    // An area: what was pasted is selected as a group.
    state_.PickList = outcome.PickList;
    window->WholePasteFinish();
  } else {
    window->SelectOrgan(outcome.PickList.front());
  }
  ElementEdited(window);
}

// ---------------------------------------------------------------------------------------
// Lock and drawing order

void TMainFrm::SetElementLock(int lockValue) {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr) return;
  window->LockValue = lockValue;
  if (window->HasAreaSelection()) {
    window->N3Click();
  } else if (window->HasSelection() && window->SelectedLocked() != (lockValue == 1)) {
    window->N3Click();
  }
}

void TMainFrm::AlignElements(int tag) {
  editor::TStructureP* window = ActivePageWindow();
  const std::optional<editor::AlignMode> mode = editor::AlignModeOfTag(tag);
  if (window == nullptr || !mode) return;
  window->AlignComponent(*mode);
}

void TMainFrm::SendToBack() {
  if (editor::TStructureP* window = ActivePageWindow()) window->MovSubstrateNClick();
}

}  // namespace dravik::app
