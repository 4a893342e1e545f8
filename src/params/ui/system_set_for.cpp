#include "params/ui/system_set_for.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <span>
#include <utility>
#include <vector>

#include "model/settings_page.h"
#include "ui/dialog_buttons.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"
#include "ui/gbk_limit.h"

namespace dravik::params {

namespace {

using ui::Combo;
using ui::DigitsEdit;
using ui::Group;
using ui::Label;
using ui::Named;
using ui::Row;
using ui::SetIndex;
using ui::TakeIndex;

// Register fields before any protocol has set their limits.
constexpr int kRegisterFieldMax = 65535;
// The dialog sits this far above the middle of the screen.
constexpr int kAboveMiddle = 80;

const char* const kPortHint =
    "1=RS485.A/CAN_H\n6=RS485.B/CAN_L\n\n2=RS232.RXD\n3=RS232.TXD\n5=RS232.GND";

QSpinBox* Spin(QWidget* parent, const char* name, Range range, const QString& hint = {}) {
  return ui::Spin(parent, name, range.min, range.max, hint);
}

// What sets the two link groups apart, besides Link 1's fast read area.
struct LinkGroupText {
  const char* prefix;  // of the object names, which the language files address
  const char* title;
  std::span<const char* const> ports;
};
constexpr std::array<LinkGroupText, kLinkCount> kLinkGroups{{
    {"Link1", "Link1 设定", kLink1PortNames},
    {"Link2", "Link2 设定", kLink2PortNames},
}};

// The protocol lists keep the number they stand for with each item, since an item for a
// number the device resources do not have follows the known ones.
void SelectNumber(QComboBox* combo, int number) {
  combo->setCurrentIndex(combo->findData(number));
}
void TakeNumber(const QComboBox* combo, int& field) {
  const QVariant number = combo->currentData();
  if (combo->currentIndex() >= 0 && number.isValid()) field = number.toInt();
}

QString Text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace

TSystemSetFor::TSystemSetFor(QWidget* parent) : QDialog(parent) {
  // Object names are what the language files address.
  setObjectName(QStringLiteral("SystemSetFor"));
  setWindowTitle(QStringLiteral("设定工作参数"));

  pages_ = Named(new QTabWidget(this), "PageControl1");
  auto* communication = Named(new QWidget, "CommTabSheet");
  auto* other = Named(new QWidget, "OtherTabSheet");
  auto* can = Named(new QWidget, "CanTabSheet");
  pages_->addTab(communication, QStringLiteral("通讯设置"));
  pages_->addTab(other, QStringLiteral("其它设置"));
  pages_->addTab(can, QStringLiteral("CAN设置"));
  CreateCommunicationTab(communication);
  CreateOtherTab(other);
  CreateCanTab(can);

  okButton_ = Named(new QPushButton(QStringLiteral("确认(&Y)"), this), "OkButton");
  applyButton_ = Named(new QPushButton(QStringLiteral("应用(&A)"), this), "ApplyButton");
  cancelButton_ = Named(new QPushButton(QStringLiteral("取消(&N)"), this), "CancelButton");
  okButton_->setDefault(true);
  auto* buttons = ui::ButtonRow({okButton_, applyButton_, cancelButton_});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(buttons);

  Connect();
  SetValues(loaded_);
}

void TSystemSetFor::CreateCommunicationTab(QWidget* page) {
  auto* general = Group(page, "GeneralGroup", "一般");
  model_ = Named(new QComboBox(general), "ModelCombo");
  for (std::string_view name : model::kPanelModelNames) {
    model_->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  }
  auto* modelLabel = Label(general, "ModelLabel", "人机界面参数:");
  clockMacro_ = Named(new QCheckBox(QStringLiteral("Clock 宏(100ms)"), general), "ClockMacroCheck");
  extension_ =
      Named(new QCheckBox(QStringLiteral("带扩展(K1~K8 + LED1~LED8)"), general), "ExtensionCheck");
  auto* generalGrid = new QGridLayout(general);
  Row(generalGrid, 0, modelLabel, model_);
  generalGrid->addWidget(clockMacro_, 0, 2);
  generalGrid->addWidget(extension_, 0, 3);

  QGroupBox* link1 = CreateLinkGroup(page, kLink1);
  auto* grid1 = qobject_cast<QGridLayout*>(link1->layout());
  MarkRuntimeText(links_[kLink1].protocol);
  fastReadStart_ = Spin(link1, "FastReadStartSpin", {0, kFastReadStartHintMax});
  fastReadLabel_ = Label(link1, "FastReadLabel", "快速读取区D:");
  MarkRuntimeText(fastReadLabel_);
  MarkRuntimeText(fastReadStart_);
  Row(grid1, 8, fastReadLabel_, fastReadStart_);
  fastReadLength_ = Spin(link1, "FastReadLengthSpin", kFastReadLengthRange);
  Row(grid1, 9, Label(link1, "FastReadLengthLabel", "数据长度:"), fastReadLength_);
  fastReadKind_ = Named(new QComboBox(link1), "FastReadKindCombo");
  MarkRuntimeText(fastReadKind_);
  Row(grid1, 10, Label(link1, "FastReadKindLabel", "默认种类:"), fastReadKind_);
  grid1->setRowStretch(11, 1);

  QGroupBox* link2 = CreateLinkGroup(page, kLink2);
  links_[kLink2].protocol->addItem(QString::fromUtf8(kLink2ProtocolName));
  qobject_cast<QGridLayout*>(link2->layout())->setRowStretch(8, 1);

  auto* layout = new QGridLayout(page);
  layout->addWidget(general, 0, 0, 1, 2);
  layout->addWidget(link1, 1, 0);
  layout->addWidget(link2, 1, 1);
}

QGroupBox* TSystemSetFor::CreateLinkGroup(QWidget* page, std::size_t link) {
  const LinkGroupText& text = kLinkGroups[link];
  const QString prefix = QLatin1String(text.prefix);
  auto name = [&](const char* part) { return prefix + QLatin1String(part); };
  QGroupBox* group = Group(page, name("Group"), text.title);
  auto* grid = new QGridLayout(group);
  LinkControls& c = links_[link];
  c.protocol = Named(new QComboBox(group), name("ProtocolCombo"));
  grid->addWidget(c.protocol, 0, 0, 1, 3);
  c.controllerId = DigitsEdit(group, name("IdEdit"), 3, "0 ~ 255");
  Row(grid, 1, Label(group, name("IdLabel"), "控制器ID:"), c.controllerId);
  c.baud = Combo(group, name("BaudCombo"), kBaudNames);
  Row(grid, 2, Label(group, name("BaudLabel"), "通讯速率:"), c.baud);
  c.timeout = DigitsEdit(group, name("TimeoutEdit"), 3, "1 ~ 255");
  Row(grid, 3, Label(group, name("TimeoutLabel"), "通讯超时:"), c.timeout,
      Label(group, name("MsLabel"), "ms"));
  c.parity = Combo(group, name("ParityCombo"), kParityNames);
  Row(grid, 4, Label(group, name("ParityLabel"), "检查位元:"), c.parity);
  c.dataBits = Combo(group, name("DataBitsCombo"), kDataBitNames);
  Row(grid, 5, Label(group, name("DataBitsLabel"), "资料位元:"), c.dataBits);
  c.stopBits = Combo(group, name("StopBitsCombo"), kStopBitNames);
  Row(grid, 6, Label(group, name("StopBitsLabel"), "停止位元:"), c.stopBits);
  c.port = Combo(group, name("PortCombo"), text.ports);
  c.port->setToolTip(QString::fromUtf8(kPortHint));
  Row(grid, 7, Label(group, name("PortLabel"), "通讯端口:"), c.port);
  return group;
}

void TSystemSetFor::CreateOtherTab(QWidget* page) {
  auto* control = Group(page, "ControlGroup", "控制");
  auto* grid = new QGridLayout(control);
  screenSaver_ =
      Spin(control, "ScreenSaverSpin", kScreenSaverRange, QStringLiteral("0 ~ 60\n0 = 常亮"));
  Row(grid, 0, Label(control, "ScreenSaverLabel", "屏幕保护时间(分钟): "), screenSaver_);
  colourPanels_[kFocusColour] = Named(new QPushButton(control), "FocusColourPanel");
  Row(grid, 1, Label(control, "FocusColourLabel", "编辑框获得焦点颜色:"),
      colourPanels_[kFocusColour]);
  idMode_ = Combo(control, "IdModeCombo", kRs485IdModeNames);
  Row(grid, 2, Label(control, "IdModeLabel", "RS485 控制器ID模式:"), idMode_);
  registersPerId_ = Named(new QComboBox(control), "RegistersPerIdCombo");
  for (int k = 1; k <= kRegistersPerIdSteps; ++k)
    registersPerId_->addItem(QString::number(k * 100));
  Row(grid, 3, Label(control, "RegistersPerIdLabel", "每个ID地址寄存器数:"), registersPerId_);
  adMode_ = Combo(control, "AdModeCombo", kAdModeNames);
  Row(grid, 4, Label(control, "AdModeLabel", "AD输入:"), adMode_);
  adRegister_ = Spin(control, "AdRegisterSpin", {0, kRegisterFieldMax});
  adRegisterLabel_ = Label(control, "AdRegisterLabel", "DM:");
  MarkRuntimeText(adRegister_);
  MarkRuntimeText(adRegisterLabel_);
  Row(grid, 5, adRegisterLabel_, adRegister_);
  daMode_ = Combo(control, "DaModeCombo", kDaModeNames);
  Row(grid, 6, Label(control, "DaModeLabel", "DA输出:"), daMode_);
  daRegister_ = Spin(control, "DaRegisterSpin", {0, kRegisterFieldMax});
  daRegisterLabel_ = Label(control, "DaRegisterLabel", "DM:");
  MarkRuntimeText(daRegister_);
  MarkRuntimeText(daRegisterLabel_);
  Row(grid, 7, daRegisterLabel_, daRegister_);
  failureAlarm_ = Combo(control, "FailureAlarmCombo", kOffOnNames);
  Row(grid, 8, Label(control, "FailureAlarmLabel", "Link1 通信失败报警:"), failureAlarm_);
  grid->setRowStretch(9, 1);

  auto* defaults = Group(page, "DefaultsGroup", "默认值");
  auto* grid2 = new QGridLayout(defaults);
  password_ = DigitsEdit(defaults, "PasswordEdit", kPasswordDigits, nullptr);
  Row(grid2, 0, Label(defaults, "PasswordLabel", "系统预设超级口令:"), password_);
  initialPage_ = Spin(defaults, "InitialPageSpin", kInitialPageRange);
  Row(grid2, 1, Label(defaults, "InitialPageLabel", "初始(主控)画面号:"), initialPage_);
  startLanguage_ = Combo(defaults, "StartLanguageCombo", kStartLanguageNames);
  Row(grid2, 2, Label(defaults, "StartLanguageLabel", "系统预设启始语言:"), startLanguage_);
  colourPanels_[kPageColour] = Named(new QPushButton(defaults), "PageColourPanel");
  Row(grid2, 3, Label(defaults, "PageColourLabel", "画面默认背景颜色:"),
      colourPanels_[kPageColour]);
  colourPanels_[kTextBackColour] = Named(new QPushButton(defaults), "TextBackColourPanel");
  Row(grid2, 4, Label(defaults, "TextBackColourLabel", "文本默认背景颜色:"),
      colourPanels_[kTextBackColour]);
  colourPanels_[kTextForeColour] = Named(new QPushButton(defaults), "TextForeColourPanel");
  Row(grid2, 5, Label(defaults, "TextForeColourLabel", "文本默认前景颜色:"),
      colourPanels_[kTextForeColour]);
  textFont_ = Combo(defaults, "TextFontCombo", kTextFontNames);
  Row(grid2, 6, Label(defaults, "TextFontLabel", "文本默认字体:"), textFont_);
  grid2->setRowStretch(7, 1);
  for (QPushButton* panel : colourPanels_) panel->setFixedSize(64, 20);

  auto* exchange = Group(page, "ExchangeGroup", "交互");
  auto* grid3 = new QGridLayout(exchange);
  followPage_ =
      Named(new QCheckBox(QStringLiteral("画面跟随PLC切换"), exchange), "FollowPageCheck");
  followRegister_ = Spin(exchange, "FollowRegisterSpin", {0, kRegisterFieldMax});
  followRegisterLabel_ = Label(exchange, "FollowRegisterLabel", "寄存器号 D:");
  followRegisterLabel_->setBuddy(followRegister_);
  grid3->addWidget(followPage_, 0, 0);
  grid3->addWidget(followRegisterLabel_, 0, 1);
  grid3->addWidget(followRegister_, 0, 2);
  reportPage_ =
      Named(new QCheckBox(QStringLiteral("当前画面号写入PLC"), exchange), "ReportPageCheck");
  reportRegister_ = Spin(exchange, "ReportRegisterSpin", {0, kRegisterFieldMax});
  reportRegisterLabel_ = Label(exchange, "ReportRegisterLabel", "寄存器号 D:");
  reportRegisterLabel_->setBuddy(reportRegister_);
  grid3->addWidget(reportPage_, 1, 0);
  grid3->addWidget(reportRegisterLabel_, 1, 1);
  grid3->addWidget(reportRegister_, 1, 2);
  fastWrite_ = Named(new QCheckBox(QStringLiteral("全局快速写入区"), exchange), "FastWriteCheck");
  fastWriteStart_ = Spin(exchange, "FastWriteStartSpin", {0, kRegisterFieldMax});
  fastWriteStartLabel_ = Label(exchange, "FastWriteStartLabel", "开始地址 D:");
  fastWriteStartLabel_->setBuddy(fastWriteStart_);
  fastWriteLength_ = Spin(exchange, "FastWriteLengthSpin", kFastWriteLengthRange);
  fastWriteLengthLabel_ = Label(exchange, "FastWriteLengthLabel", "写长度:");
  fastWriteLengthLabel_->setBuddy(fastWriteLength_);
  grid3->addWidget(fastWrite_, 2, 0);
  grid3->addWidget(fastWriteStartLabel_, 2, 1);
  grid3->addWidget(fastWriteStart_, 2, 2);
  grid3->addWidget(fastWriteLengthLabel_, 2, 3);
  grid3->addWidget(fastWriteLength_, 2, 4);
  for (QWidget* runtime :
       std::initializer_list<QWidget*>{followRegisterLabel_, followRegister_, reportRegisterLabel_,
                                       reportRegister_, fastWriteStartLabel_, fastWriteStart_}) {
    MarkRuntimeText(runtime);
  }

  auto* layout = new QGridLayout(page);
  layout->addWidget(control, 0, 0);
  layout->addWidget(defaults, 0, 1);
  layout->addWidget(exchange, 1, 0, 1, 2);
}

void TSystemSetFor::CreateCanTab(QWidget* page) {
  auto* top = new QGridLayout;
  canFunction_ = Combo(page, "CanFunctionCombo", kCanFunctionNames);
  Row(top, 0, Label(page, "CanFunctionLabel", "功  能:"), canFunction_);
  canBaud_ = Combo(page, "CanBaudCombo", kCanBaudNames);
  Row(top, 1, Label(page, "CanBaudLabel", "波特率:"), canBaud_);
  canFormat_ = Combo(page, "CanFormatCombo", kCanFormatNames);
  Row(top, 2, Label(page, "CanFormatLabel", "格式:"), canFormat_);
  canType_ = Combo(page, "CanTypeCombo", kCanTypeNames);
  Row(top, 3, Label(page, "CanTypeLabel", "类型:"), canType_);

  canOpenGroup_ = Group(page, "CanOpenGroup", "CANopen ");
  auto* open = new QGridLayout(canOpenGroup_);
  canNodeId_ = Spin(canOpenGroup_, "NodeIdSpin", kCanNodeIdRange);
  Row(open, 0, Label(canOpenGroup_, "NodeIdLabel", "节点 ID:"), canNodeId_);
  canNodeStart_ = Combo(canOpenGroup_, "NodeStartCombo", kCanNodeStartNames);
  Row(open, 1, Label(canOpenGroup_, "NodeStartLabel", "节点启动:"), canNodeStart_);
  canTpdo_ = Spin(canOpenGroup_, "TpdoSpin", kCanTpdoInhibitRange);
  Row(open, 2, Label(canOpenGroup_, "TpdoLabel", "TPDO抑制:"), canTpdo_,
      Label(canOpenGroup_, "TpdoMsLabel", "ms"));

  shareGroup_ = Group(page, "ShareGroup", "数据共享区 ");
  auto* share = new QGridLayout(shareGroup_);
  canShareOwnId_ = Spin(shareGroup_, "ShareOwnIdSpin", kCanIdRange);
  Row(share, 0, Label(shareGroup_, "ShareOwnIdLabel", "自身ID2:"), canShareOwnId_);
  canAcceptance3_ = Spin(shareGroup_, "Acceptance3Spin", kCanAcceptance3Range,
                         QStringLiteral("0 ~ 2038\n设置为(0)时可以N台连接扩展网络"));
  Row(share, 1, Label(shareGroup_, "Acceptance3Label", "验收码3:"), canAcceptance3_);
  canAcceptance4_ = Spin(shareGroup_, "Acceptance4Spin", kCanIdRange);
  Row(share, 2, Label(shareGroup_, "Acceptance4Label", "验收码4:"), canAcceptance4_);
  canAcceptance5_ = Spin(shareGroup_, "Acceptance5Spin", kCanIdRange);
  Row(share, 3, Label(shareGroup_, "Acceptance5Label", "验收码5:"), canAcceptance5_);

  slaveGroup_ = Group(page, "SlaveGroup", "Modbus Slave ");
  auto* slave = new QGridLayout(slaveGroup_);
  canSlaveOwnId_ = Spin(slaveGroup_, "SlaveOwnIdSpin", kCanIdRange);
  Row(slave, 0, Label(slaveGroup_, "SlaveOwnIdLabel", "自身ID3:"), canSlaveOwnId_);
  canAcceptance6_ = Spin(slaveGroup_, "Acceptance6Spin", kCanIdRange);
  Row(slave, 1, Label(slaveGroup_, "Acceptance6Label", "验收码6:"), canAcceptance6_);

  auto* layout = new QGridLayout(page);
  layout->addLayout(top, 0, 0);
  layout->addWidget(canOpenGroup_, 0, 1);
  layout->addWidget(shareGroup_, 1, 0);
  layout->addWidget(slaveGroup_, 1, 1);
  layout->setRowStretch(2, 1);
}

void TSystemSetFor::Connect() {
  connect(okButton_, &QPushButton::clicked, this, [this] { ConfirmClick(); });
  connect(applyButton_, &QPushButton::clicked, this, [this] { ApplyClick(); });
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

  for (const LinkControls& link : links_) {
    const std::pair<QLineEdit*, TypedRule> typedRules[] = {
        {link.controllerId, &CheckControllerIdText}, {link.timeout, &CheckTimeoutText}};
    for (const auto& [edit, rule] : typedRules) {
      connect(edit, &QLineEdit::textEdited, this,
              [this, edit = edit, rule = rule](const QString& text) {
                TypedTextEdited(edit, text, rule);
              });
    }
  }
  connect(links_[kLink1].protocol, &QComboBox::currentIndexChanged, this,
          &TSystemSetFor::Link1ProtocolChanged);
  for (QCheckBox* check : {followPage_, reportPage_, fastWrite_}) {
    connect(check, &QCheckBox::toggled, this, &TSystemSetFor::RunEnablingRules);
  }
  for (QComboBox* combo : {links_[kLink1].port, idMode_, adMode_, daMode_, canFunction_}) {
    connect(combo, &QComboBox::currentIndexChanged, this, &TSystemSetFor::RunEnablingRules);
  }
  for (QSpinBox* spin : {adRegister_, daRegister_}) {
    connect(spin, &QSpinBox::valueChanged, this, &TSystemSetFor::UpdateAnalogueHints);
  }
  connect(fastReadKind_, &QComboBox::currentIndexChanged, this,
          &TSystemSetFor::FastReadKindChanged);
  for (int which = 0; which < kColourCount; ++which) {
    connect(colourPanels_[static_cast<std::size_t>(which)], &QPushButton::clicked, this,
            [this, which] { SysFocusColClick(which); });
  }
}

// ---------------------------------------------------------------------------------------
// Showing

bool TSystemSetFor::ShowWorkParameters(model::ProjectImage& project, DeviceLists& lists) {
  FormShow(project, lists);
  return hooks_.desktop.Exec(this) == QDialog::Accepted;
}

void TSystemSetFor::FormShow(model::ProjectImage& project, DeviceLists& lists) {
  model::PageRecord& settings = project.Settings();
  project_ = &project;
  settings_ = &settings;
  lists_ = &lists;
  setResult(QDialog::Rejected);
  if (LoadDeviceSort() && !ListsLoaded()) {
    // Nothing has loaded the register kinds yet (no project was opened): load them now.
    const ProInitializeResult initialized =
        ProInitialize(settings, lists, protocolNames_, Chinese());
    if (!initialized.loaded) {
      hooks_.desktop.Show(this, Explained(kDeviceResourcesMessage, initialized.loaded.error()).Text(),
                  QMessageBox::Warning);
    } else {
      hooks_.desktop.ShowStatus(1, Text(initialized.status.model));
      hooks_.desktop.ShowStatus(2, Text(initialized.status.link));
    }
  }
  loaded_ = ReadWorkParameters(settings);
  if (ListsLoaded()) loaded_.fastReadKind = FastReadKindFor(loaded_.fastReadKind, lists);
  FillProtocolLists(loaded_);
  RefreshFromLists(loaded_);
  SetValues(loaded_);
  pages_->setCurrentIndex(0);
}

void TSystemSetFor::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui::PlaceAboveCentre(this, kAboveMiddle);
}

bool TSystemSetFor::LoadDeviceSort() {
  auto names = params::LoadDeviceSort(DeviceResourcesPath());
  if (!names) {
    hooks_.desktop.Show(this, Explained(kDeviceResourcesMessage, names.error()).Text(),
                QMessageBox::Warning);
    return false;
  }
  protocolNames_ = std::move(*names);
  return true;
}

bool TSystemSetFor::KnownProtocol(int number) const {
  // Without a protocol list there is nothing to call a number unknown by.
  return protocolNames_.empty() ||
         (number >= 0 && number < static_cast<int>(protocolNames_.size()));
}

void TSystemSetFor::FillProtocolLists(const WorkParameters& shown) {
  const bool chinese = Chinese();
  auto addUnknown = [&](QComboBox* combo, int number) {
    if (!KnownProtocol(number)) combo->addItem(Text(UnknownTableName(number).In(chinese)), number);
  };
  {
    QComboBox* protocol = links_[kLink1].protocol;
    const QSignalBlocker blocker(protocol);
    protocol->clear();
    for (std::size_t i = 0; i < protocolNames_.size(); ++i) {
      protocol->addItem(Text(protocolNames_[i]), static_cast<int>(i));
    }
    addUnknown(protocol, shown.links[kLink1].protocol);
  }
  {
    // Link 2 offers the Modbus master; a table the project already names that the device
    // resources know stays as it is, whichever it is.
    QComboBox* protocol = links_[kLink2].protocol;
    const int table = shown.links[kLink2].protocol;
    const QSignalBlocker blocker(protocol);
    protocol->clear();
    const auto master = std::find(protocolNames_.begin(), protocolNames_.end(), kLink2ProtocolName);
    const int masterTable = KnownProtocol(table) ? table
                            : master != protocolNames_.end()
                                ? static_cast<int>(master - protocolNames_.begin())
                                : kLinkDefaults[kLink2].protocol;
    protocol->addItem(QString::fromUtf8(kLink2ProtocolName), masterTable);
    addUnknown(protocol, table);
  }
}

void TSystemSetFor::RefreshFromLists(const WorkParameters& shown) {
  if (!ListsLoaded()) return;
  if (!lists_->Link1Known()) {
    ForgetLimits();
    return;
  }
  const bool chinese = Chinese();
  const std::string& first = ListEntry(lists_->W_DeviceName, 0);

  ShowFastReadKinds(lists_->W_DeviceName, FastReadKindFor(shown.fastReadKind, *lists_));
  followRegisterLabel_->setText(Text(PageRegisterCaption(first, chinese)));
  reportRegisterLabel_->setText(Text(PageRegisterCaption(first, chinese)));
  fastWriteStartLabel_->setText(Text(FastWriteStartCaption(first, chinese)));
  adRegisterLabel_->setText(Text(AnalogueCaption(first)));
  daRegisterLabel_->setText(Text(AnalogueCaption(first)));

  // Lowering a maximum lowers a value above it: that is how the new limits take effect.
  const RegisterLimits limits =
      ComputeLimits(lists_->MaxReg, shown.fastReadLength, shown.fastWriteLength);
  auto limit = [](QSpinBox* spin, int max) {
    spin->setMaximum(max);
    spin->setToolTip(Text(LimitHint(max)));
  };
  limit(followRegister_, limits.pageSelectRegister);
  limit(reportRegister_, limits.pageReportRegister);
  limit(fastWriteStart_, limits.fastWriteStart);
  limit(adRegister_, limits.adRegister);
  limit(daRegister_, limits.daRegister);
  limit(fastReadStart_, limits.fastReadStart);
  UpdateAnalogueHints();
}

void TSystemSetFor::ForgetLimits() {
  // The lists are not those of the project's protocol: no kind to offer and no maximum to
  // hold a register to, so every value stays as stored until a known protocol is chosen.
  ShowFastReadKinds({}, -1);
  for (QSpinBox* spin : {followRegister_, reportRegister_, fastWriteStart_, adRegister_,
                         daRegister_, fastReadStart_}) {
    spin->setMaximum(kRegisterFieldMax);
    spin->setToolTip(Text(LimitHint(kRegisterFieldMax)));
  }
}

// ---------------------------------------------------------------------------------------
// Controls <-> values

void TSystemSetFor::TakeLink(const LinkControls& c, LinkSettings& v) {
  TakeNumber(c.protocol, v.protocol);
  v.controllerId = TypedNumber(c.controllerId->text().toStdString());
  TakeIndex(c.baud, v.baud);
  v.timeout = TypedNumber(c.timeout->text().toStdString());
  TakeIndex(c.parity, v.parity);
  TakeIndex(c.dataBits, v.dataBits);
  TakeIndex(c.stopBits, v.stopBits);
  TakeIndex(c.port, v.port);
}

void TSystemSetFor::ShowLink(const LinkControls& c, const LinkSettings& v) {
  c.controllerId->setText(QString::number(v.controllerId));
  SetIndex(c.baud, v.baud);
  c.timeout->setText(QString::number(v.timeout));
  SetIndex(c.parity, v.parity);
  SetIndex(c.dataBits, v.dataBits);
  SetIndex(c.stopBits, v.stopBits);
  SetIndex(c.port, v.port);
}

WorkParameters TSystemSetFor::Values() const {
  WorkParameters v = loaded_;
  TakeIndex(model_, v.model);
  v.clockMacro = clockMacro_->isChecked();
  v.extension = extension_->isChecked();

  for (std::size_t link = 0; link < kLinkCount; ++link) TakeLink(links_[link], v.links[link]);
  TakeIndex(fastReadKind_, v.fastReadKind);
  v.fastReadStart = fastReadStart_->value();
  v.fastReadLength = fastReadLength_->value();

  v.screenSaver = screenSaver_->value();
  v.focusColour = colours_[kFocusColour];
  TakeIndex(idMode_, v.rs485IdMode);
  TakeIndex(registersPerId_, v.registersPerId);
  TakeIndex(adMode_, v.adMode);
  v.adRegister = adRegister_->value();
  TakeIndex(daMode_, v.daMode);
  v.daRegister = daRegister_->value();
  TakeIndex(failureAlarm_, v.failureAlarm);

  v.password = ui::ToGbk(password_->text());
  v.initialPage = initialPage_->value();
  TakeIndex(startLanguage_, v.startLanguage);
  v.pageColour = colours_[kPageColour];
  v.textBackColour = colours_[kTextBackColour];
  v.textForeColour = colours_[kTextForeColour];
  TakeIndex(textFont_, v.textFont);

  v.followPage = followPage_->isChecked();
  v.pageSelectRegister = followRegister_->value();
  v.reportPage = reportPage_->isChecked();
  v.pageReportRegister = reportRegister_->value();
  v.fastWrite = fastWrite_->isChecked();
  v.fastWriteStart = fastWriteStart_->value();
  v.fastWriteLength = fastWriteLength_->value();

  TakeIndex(canFunction_, v.canFunction);
  TakeIndex(canBaud_, v.canBaud);
  TakeIndex(canFormat_, v.canFormat);
  TakeIndex(canType_, v.canType);
  v.canNodeId = canNodeId_->value();
  TakeIndex(canNodeStart_, v.canNodeStart);
  v.canTpdoInhibit = canTpdo_->value();
  v.canShareOwnId = canShareOwnId_->value();
  v.canAcceptance3 = canAcceptance3_->value();
  v.canAcceptance4 = canAcceptance4_->value();
  v.canAcceptance5 = canAcceptance5_->value();
  v.canSlaveOwnId = canSlaveOwnId_->value();
  v.canAcceptance6 = canAcceptance6_->value();
  return v;
}

void TSystemSetFor::SetValues(const WorkParameters& v) {
  {
    // The rules run once at the end, not on every control set on the way.
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    std::vector<QSignalBlocker> blockers;
    blockers.reserve(static_cast<std::size_t>(widgets.size()));
    for (QWidget* widget : widgets) blockers.emplace_back(widget);

    SetIndex(model_, v.model);
    clockMacro_->setChecked(v.clockMacro);
    extension_->setChecked(v.extension);

    for (std::size_t link = 0; link < kLinkCount; ++link) ShowLink(links_[link], v.links[link]);
    SelectNumber(links_[kLink1].protocol, v.links[kLink1].protocol);
    // Link 2's list offers the master: values naming a table it has no item for show that.
    QComboBox* link2 = links_[kLink2].protocol;
    const int table = link2->findData(v.links[kLink2].protocol);
    link2->setCurrentIndex(table >= 0 ? table : 0);
    SetIndex(fastReadKind_, v.fastReadKind);
    fastReadLength_->setValue(v.fastReadLength);
    fastReadStart_->setValue(v.fastReadStart);

    screenSaver_->setValue(v.screenSaver);
    SetIndex(idMode_, v.rs485IdMode);
    SetIndex(registersPerId_, v.registersPerId);
    SetIndex(adMode_, v.adMode);
    adRegister_->setValue(v.adRegister);
    SetIndex(daMode_, v.daMode);
    daRegister_->setValue(v.daRegister);
    SetIndex(failureAlarm_, v.failureAlarm);

    password_->setText(ui::FromGbk(v.password));
    initialPage_->setValue(v.initialPage);
    SetIndex(startLanguage_, v.startLanguage);
    SetIndex(textFont_, v.textFont);

    followPage_->setChecked(v.followPage);
    followRegister_->setValue(v.pageSelectRegister);
    reportPage_->setChecked(v.reportPage);
    reportRegister_->setValue(v.pageReportRegister);
    fastWrite_->setChecked(v.fastWrite);
    fastWriteLength_->setValue(v.fastWriteLength);
    fastWriteStart_->setValue(v.fastWriteStart);

    SetIndex(canFunction_, v.canFunction);
    SetIndex(canBaud_, v.canBaud);
    SetIndex(canFormat_, v.canFormat);
    SetIndex(canType_, v.canType);
    canNodeId_->setValue(v.canNodeId);
    SetIndex(canNodeStart_, v.canNodeStart);
    canTpdo_->setValue(v.canTpdoInhibit);
    canShareOwnId_->setValue(v.canShareOwnId);
    canAcceptance3_->setValue(v.canAcceptance3);
    canAcceptance4_->setValue(v.canAcceptance4);
    canAcceptance5_->setValue(v.canAcceptance5);
    canSlaveOwnId_->setValue(v.canSlaveOwnId);
    canAcceptance6_->setValue(v.canAcceptance6);
  }
  SetColour(kFocusColour, v.focusColour);
  SetColour(kPageColour, v.pageColour);
  SetColour(kTextBackColour, v.textBackColour);
  SetColour(kTextForeColour, v.textForeColour);
  FastReadKindChanged();
  RunEnablingRules();
}

void TSystemSetFor::SetColour(int which, std::uint32_t colour) {
  const auto at = static_cast<std::size_t>(which);
  colours_[at] = colour;
  colourPanels_[at]->setStyleSheet(ColourPanelStyle(colour));
}

// ---------------------------------------------------------------------------------------
// Rules while editing

void TSystemSetFor::RunEnablingRules() {
  WorkParameters v = Values();
  const Enabling e = ApplyEnablingRules(v);
  {
    const QSignalBlocker idBlocker(idMode_);
    if (v.links[kLink1].port == kPortRs232) idMode_->setCurrentIndex(v.rs485IdMode);
    const QSignalBlocker lengthBlocker(fastWriteLength_);
    if (!v.fastWrite) fastWriteLength_->setValue(v.fastWriteLength);
  }
  followRegisterLabel_->setEnabled(e.pageSelectRegister);
  followRegister_->setEnabled(e.pageSelectRegister);
  reportRegisterLabel_->setEnabled(e.pageReportRegister);
  reportRegister_->setEnabled(e.pageReportRegister);
  for (QWidget* w : std::initializer_list<QWidget*>{fastWriteStartLabel_, fastWriteStart_,
                                                    fastWriteLengthLabel_, fastWriteLength_}) {
    w->setEnabled(e.fastWriteArea);
  }
  idMode_->setEnabled(e.rs485IdMode);
  registersPerId_->setEnabled(e.registersPerId);
  adRegisterLabel_->setEnabled(e.adRegister);
  adRegister_->setEnabled(e.adRegister);
  daRegisterLabel_->setEnabled(e.daRegister);
  daRegister_->setEnabled(e.daRegister);
  canOpenGroup_->setEnabled(e.canOpenGroup);
  shareGroup_->setEnabled(e.shareGroup);
  slaveGroup_->setEnabled(e.slaveGroup);
  UpdateAnalogueHints();
}

void TSystemSetFor::UpdateAnalogueHints() {
  // The hints name registers of the protocol's first word kind: none before it is known.
  if (!ListsLoaded()) return;
  const bool chinese = Chinese();
  adMode_->setToolTip(ui::LineText(
      AdRegistersHint(adRegisterLabel_->text().toStdString(), adRegister_->value(), chinese)));
  daMode_->setToolTip(ui::LineText(
      DaRegistersHint(daRegisterLabel_->text().toStdString(), daRegister_->value(), chinese)));
}

void TSystemSetFor::FastReadKindChanged() {
  if (!ListsLoaded() || fastReadKind_->currentIndex() < 0) return;
  fastReadLabel_->setText(
      Text(FastReadCaption(fastReadKind_->currentText().toStdString(), Chinese())));
}

void TSystemSetFor::ShowFastReadKinds(const std::vector<std::string>& kinds, int position) {
  {
    const QSignalBlocker blocker(fastReadKind_);
    fastReadKind_->clear();
    for (const std::string& name : kinds) fastReadKind_->addItem(Text(name));
    SetIndex(fastReadKind_, position);
  }
  FastReadKindChanged();
}

void TSystemSetFor::Link1ProtocolChanged() {
  int protocol = -1;
  TakeNumber(links_[kLink1].protocol, protocol);
  if (!ListsLoaded() || protocol < 0) return;
  if (!KnownProtocol(protocol)) {
    // Kinds of no protocol the resources know: none to show, the stored kind stays.
    ShowFastReadKinds({}, -1);
    return;
  }
  // The program's lists change only on confirmation; these show what it will load.
  const Result<DeviceLists> chosen =
      LoadDeviceLists(DeviceResourcesPath(), protocol, Values().links[kLink2].protocol, *lists_);
  // Unreadable resources are reported when the choice is confirmed.
  if (!chosen || !chosen->Link1Known()) return;
  const int shown = fastReadKind_->currentIndex();
  ShowFastReadKinds(chosen->W_DeviceName,
                    FastReadKindFor(shown >= 0 ? shown : loaded_.fastReadKind, *chosen));
}

void TSystemSetFor::TypedTextEdited(QLineEdit* edit, const QString& text, TypedRule rule) {
  const TypedCheck check = rule(DigitsOnly(text.toStdString()));
  if (check.message) hooks_.desktop.Show(this, *check.message, QMessageBox::Information);
  if (Text(check.text) == text) return;
  // The replacement is selected, so the digits typed next take its place: after a caret
  // behind "0", typing 255 would give "025" and the last digit would not fit.
  edit->setText(Text(check.text));
  edit->selectAll();
}

void TSystemSetFor::SysFocusColClick(int which) {
  const auto at = static_cast<std::size_t>(which);
  if (const auto chosen = hooks_.desktop.ChooseColour(colours_[at], colourPanels_[at]))
    SetColour(which, *chosen);
}

// ---------------------------------------------------------------------------------------
// Confirm and apply

bool TSystemSetFor::ConfirmClick() {
  if (!WriteSettings()) return false;
  accept();
  return true;
}

bool TSystemSetFor::ApplyClick() {
  return WriteSettings();
}

bool TSystemSetFor::WriteSettings() {
  if (settings_ == nullptr || lists_ == nullptr) return false;
  WorkParameters values = Values();
  // A refusal comes before the question, which is asked only of what can be written.
  if (const std::optional<Refusal> refused = CheckConfirm(values)) {
    Refuse(*refused);
    return false;
  }
  if (!SmallerScreenAccepted(values)) return false;
  const ConfirmResult result =
      ConfirmWorkParameters(*settings_, values, *lists_, protocolNames_, Chinese());
  if (result.refused) {
    Refuse(*result.refused);
    return false;
  }
  if (!result.initialized.loaded) {
    hooks_.desktop.Show(this, Explained(kDeviceResourcesMessage, result.initialized.loaded.error()).Text(),
                QMessageBox::Warning);
  }
  FillProtocolLists(values);
  hooks_.desktop.ShowStatus(1, Text(result.initialized.status.model));
  hooks_.desktop.ShowStatus(2, Text(result.initialized.status.link));
  if (hooks_.refreshKeyNames) hooks_.refreshKeyNames();
  loaded_ = values;
  RefreshFromLists(values);
  SetValues(values);
  if (hooks_.enableSave) hooks_.enableSave();
  return true;
}

void TSystemSetFor::Refuse(const Refusal& refusal) {
  hooks_.desktop.Show(this, refusal.message, QMessageBox::Warning);
  pages_->setCurrentIndex(0);
  QWidget* focus = refusal.focus == RefusalFocus::Link2Port
                       ? static_cast<QWidget*>(links_[kLink2].port)
                       : static_cast<QWidget*>(extension_);
  focus->setFocus();
}

bool TSystemSetFor::SmallerScreenAccepted(const WorkParameters& values) {
  if (project_ == nullptr) return true;
  const editor::MovedElements moved = ElementsMovedByModelChange(*project_, values.model);
  if (moved.elements == 0) return true;
  if (hooks_.desktop.AskYesNo(this, SmallerScreenQuestion(moved))) return true;
  // No: nothing is written and the dialog stays open, showing the project's model again.
  const QSignalBlocker blocker(model_);
  SetIndex(model_, ReadWorkParameters(*settings_).model);
  pages_->setCurrentIndex(0);
  model_->setFocus();
  return false;
}

// ---------------------------------------------------------------------------------------

TSystemSetFor* WorkParametersForm(QWidget* parent) {
  if (parent != nullptr) {
    if (auto* form = parent->findChild<TSystemSetFor*>(QString(), Qt::FindDirectChildrenOnly))
      return form;
  }
  return new TSystemSetFor(parent);
}

bool ShowWorkParameters(QWidget* parent, model::ProjectImage& image, DeviceLists& lists,
                        const SettingsDialogHooks& hooks) {
  TSystemSetFor* form = WorkParametersForm(parent);
  form->SetHooks(hooks);
  const bool confirmed = form->ShowWorkParameters(image, lists);
  if (parent == nullptr) delete form;
  return confirmed;
}

}  // namespace dravik::params
