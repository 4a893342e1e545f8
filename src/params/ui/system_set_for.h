#pragma once
// The work parameters dialog: three tabs ("通讯设置", "其它设置", "CAN设置") over the
// project-wide settings. It is created once and shown modally; every showing reloads the
// protocol list and the controls from the settings page. "确认(&Y)" and "应用(&A)" write
// the settings page and reload the register kinds of the chosen protocol, whose limits
// may lower register values; "取消(&N)" writes nothing more.

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/page_record.h"
#include "model/project_image.h"
#include "params/device_resources.h"
#include "params/ui/settings_dialog_hooks.h"
#include "params/work_parameters.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace dravik::params {

class TSystemSetFor : public QDialog {
  Q_OBJECT

 public:
  explicit TSystemSetFor(QWidget* parent = nullptr);

  void SetHooks(SettingsDialogHooks hooks) { hooks_ = std::move(hooks); }

  // Shows the dialog for the settings page of `project` with the register-kind lists
  // `lists` (which the confirmation reloads); true after "确认(&Y)". The pages of the
  // project are what a smaller screen would move.
  bool ShowWorkParameters(model::ProjectImage& project, DeviceLists& lists);

  // What showing does before the modal loop: reload the protocol list, set every control
  // from the settings, run the enabling rules.
  void FormShow(model::ProjectImage& project, DeviceLists& lists);
  // "确认(&Y)": writes and closes with Yes; "应用(&A)": writes and stays. Both false when
  // refused (the message names why).
  bool ConfirmClick();
  bool ApplyClick();

  // The controls as values, and the other way round.
  WorkParameters Values() const;
  void SetValues(const WorkParameters& values);
  const std::vector<std::string>& ProtocolNames() const { return protocolNames_; }
  QTabWidget* Pages() const { return pages_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  enum Colour { kFocusColour, kPageColour, kTextBackColour, kTextForeColour, kColourCount };

  // The controls one link's group holds for its settings.
  struct LinkControls {
    QComboBox* protocol = nullptr;
    QLineEdit* controllerId = nullptr;
    QComboBox* baud = nullptr;
    QLineEdit* timeout = nullptr;
    QComboBox* parity = nullptr;
    QComboBox* dataBits = nullptr;
    QComboBox* stopBits = nullptr;
    QComboBox* port = nullptr;
  };

  void CreateCommunicationTab(QWidget* page);
  // The group of link `link`, its settings on the first rows of its grid (Link 1 goes on
  // with its fast read area).
  QGroupBox* CreateLinkGroup(QWidget* page, std::size_t link);
  // A link's controls as values and back; the protocol lists are filled and chosen apart.
  static void TakeLink(const LinkControls& controls, LinkSettings& values);
  static void ShowLink(const LinkControls& controls, const LinkSettings& values);
  void CreateOtherTab(QWidget* page);
  void CreateCanTab(QWidget* page);
  void Connect();

  bool WriteSettings();
  void Refuse(const Refusal& refusal);
  // Before a model with a smaller screen is written over pages it would change: asks, and
  // on No puts the project's model back into the list.
  bool SmallerScreenAccepted(const WorkParameters& values);
  bool LoadDeviceSort();  // false (and said why) when the protocol list could not be read
  // The protocol lists of both links for `shown`, with an item "未知 (N)" for a number the
  // device resources do not have, so that it is kept unless another is chosen.
  void FillProtocolLists(const WorkParameters& shown);
  bool KnownProtocol(int number) const;
  // What the register kinds put on the dialog: the fast read kinds, the captions that
  // carry the first kind's name, and the register limits for the area lengths of `shown`
  // (lowering values above them).
  void RefreshFromLists(const WorkParameters& shown);
  void ForgetLimits();
  void RunEnablingRules();
  void UpdateAnalogueHints();
  void FastReadKindChanged();
  // The fast read kinds follow the Link 1 protocol chosen, so the kind confirmed is the
  // one shown.
  void Link1ProtocolChanged();
  void ShowFastReadKinds(const std::vector<std::string>& kinds, int position);
  // The range and empty-text rules of the controller-ID and time-out edits.
  using TypedRule = TypedCheck (*)(std::string_view text);
  void TypedTextEdited(QLineEdit* edit, const QString& text, TypedRule rule);
  void SysFocusColClick(int which);
  void SetColour(int which, std::uint32_t colour);
  bool Chinese() const { return hooks_.desktop.Chinese(); }
  bool ListsLoaded() const { return lists_ != nullptr && !lists_->LinkUseCount.empty(); }

  SettingsDialogHooks hooks_;
  model::ProjectImage* project_ = nullptr;
  model::PageRecord* settings_ = nullptr;
  DeviceLists* lists_ = nullptr;
  std::vector<std::string> protocolNames_;
  WorkParameters loaded_;  // what the settings held when shown (kept where a list has no entry)
  std::array<std::uint32_t, kColourCount> colours_{};

  QTabWidget* pages_ = nullptr;
  // "通讯设置"
  QComboBox* model_ = nullptr;
  QCheckBox* clockMacro_ = nullptr;
  QCheckBox* extension_ = nullptr;
  std::array<LinkControls, kLinkCount> links_{};
  QLabel* fastReadLabel_ = nullptr;
  QSpinBox* fastReadStart_ = nullptr;
  QSpinBox* fastReadLength_ = nullptr;
  QComboBox* fastReadKind_ = nullptr;
  // "其它设置"
  QSpinBox* screenSaver_ = nullptr;
  QComboBox* idMode_ = nullptr;
  QComboBox* registersPerId_ = nullptr;
  QComboBox* adMode_ = nullptr;
  QLabel* adRegisterLabel_ = nullptr;
  QSpinBox* adRegister_ = nullptr;
  QComboBox* daMode_ = nullptr;
  QLabel* daRegisterLabel_ = nullptr;
  QSpinBox* daRegister_ = nullptr;
  QComboBox* failureAlarm_ = nullptr;
  QLineEdit* password_ = nullptr;
  QSpinBox* initialPage_ = nullptr;
  QComboBox* startLanguage_ = nullptr;
  QComboBox* textFont_ = nullptr;
  std::array<QPushButton*, kColourCount> colourPanels_{};
  QCheckBox* followPage_ = nullptr;
  QLabel* followRegisterLabel_ = nullptr;
  QSpinBox* followRegister_ = nullptr;
  QCheckBox* reportPage_ = nullptr;
  QLabel* reportRegisterLabel_ = nullptr;
  QSpinBox* reportRegister_ = nullptr;
  QCheckBox* fastWrite_ = nullptr;
  QLabel* fastWriteStartLabel_ = nullptr;
  QSpinBox* fastWriteStart_ = nullptr;
  QLabel* fastWriteLengthLabel_ = nullptr;
  QSpinBox* fastWriteLength_ = nullptr;
  // "CAN设置"
  QComboBox* canFunction_ = nullptr;
  QComboBox* canBaud_ = nullptr;
  QComboBox* canFormat_ = nullptr;
  QComboBox* canType_ = nullptr;
  QGroupBox* canOpenGroup_ = nullptr;
  QSpinBox* canNodeId_ = nullptr;
  QComboBox* canNodeStart_ = nullptr;
  QSpinBox* canTpdo_ = nullptr;
  QGroupBox* shareGroup_ = nullptr;
  QSpinBox* canShareOwnId_ = nullptr;
  QSpinBox* canAcceptance3_ = nullptr;
  QSpinBox* canAcceptance4_ = nullptr;
  QSpinBox* canAcceptance5_ = nullptr;
  QGroupBox* slaveGroup_ = nullptr;
  QSpinBox* canSlaveOwnId_ = nullptr;
  QSpinBox* canAcceptance6_ = nullptr;

  QPushButton* okButton_ = nullptr;
  QPushButton* applyButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

// The one work parameters form of `parent`, made on first use (the shell makes it at
// start-up so the language files reach it).
TSystemSetFor* WorkParametersForm(QWidget* parent);

// Shows the work parameters for the project (New proceeds only on true, "确认(&Y)").
// Applied settings stay written whatever the result; `hooks.enableSave` says when.
bool ShowWorkParameters(QWidget* parent, model::ProjectImage& image, DeviceLists& lists,
                        const SettingsDialogHooks& hooks);

}  // namespace dravik::params
