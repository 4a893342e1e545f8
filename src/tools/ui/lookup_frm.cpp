#include "tools/ui/lookup_frm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

#include "elements/element_operands.h"
#include "elements/kind_name_table.h"
#include "tools/device_tables.h"
#include "ui/dialog_place.h"

namespace dravik::tools {

// The address takes decimal digits, and on bit kinds numbered in hexadecimal also A-F in
// either case; any other key is dropped, and so is pasted text holding one.
class AddressKeys : public QValidator {
 public:
  using QValidator::QValidator;
  bool hexadecimal = false;

  State validate(QString& text, int& /*position*/) const override {
    for (const QChar c : text) {
      const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
      const char lower = static_cast<char>(c.toLower().unicode());
      const bool hexDigit = c.unicode() < 0x80 && lower >= 'a' && lower <= 'f';
      if (!digit && !(hexadecimal && hexDigit)) return Invalid;
    }
    return Acceptable;
  }
};

namespace {

constexpr int kAddressLength = 5;
constexpr int kDistanceAboveCentre = 100;

// The categories as built in ("Word 寄存器", "bit 寄存器", "其 它"); the language files
// may name them otherwise, their order is the category.
constexpr const char* kCategories[] = {"Word 寄存器", "bit 寄存器", "其 它"};

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const params::DeviceLists& NoLists() {
  static const params::DeviceLists none;
  return none;
}

}  // namespace

TLookupFrm::TLookupFrm(QWidget* parent) : QDialog(parent) {
  // Object names are what the language files address.
  setObjectName(QStringLiteral("LookupFrm"));
  setWindowTitle(QStringLiteral("寄存器查找"));
  setModal(false);
  setSizeGripEnabled(true);

  category_ = new QComboBox(this);
  category_->setObjectName(QStringLiteral("ComboBox1"));
  for (const char* name : kCategories) category_->addItem(QString::fromUtf8(name));
  link_ = new QComboBox(this);
  link_->setObjectName(QStringLiteral("ComboBox9"));
  device_ = new QComboBox(this);
  device_->setObjectName(QStringLiteral("OrganSort"));
  device_->setMinimumContentsLength(6);
  device_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  address_ = new QLineEdit(QStringLiteral("0"), this);
  address_->setObjectName(QStringLiteral("Edit1"));
  address_->setMaxLength(kAddressLength);
  keys_ = new AddressKeys(address_);
  address_->setValidator(keys_);
  find_ = new QPushButton(QStringLiteral("查找(&F)"), this);
  find_->setObjectName(QStringLiteral("Button1"));
  // Enter in the address searches by itself; no button is the dialog's default.
  find_->setAutoDefault(false);
  // The links, the device kinds and the hint come from the work parameters at run time.
  for (QWidget* runtime : {static_cast<QWidget*>(link_), static_cast<QWidget*>(device_),
                           static_cast<QWidget*>(address_)}) {
    runtime->setProperty("dravikRuntimeText", true);
  }

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("ListView1"));
  list_->setProperty("dravikRuntimeText", true);
  list_->setColumnCount(3);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setColumnWidth(kLookupColumnPage, 260);
  list_->setColumnWidth(kLookupColumnKind, 120);
  list_->setColumnHidden(kLookupColumnSlot, true);
  SetTexts(true);

  connect(category_, &QComboBox::currentIndexChanged, this, &TLookupFrm::OrganSortChange);
  connect(link_, &QComboBox::currentIndexChanged, this, &TLookupFrm::OrganSortChange);
  connect(device_, &QComboBox::currentIndexChanged, this, &TLookupFrm::OrganSortChange);
  connect(address_, &QLineEdit::editingFinished, this, &TLookupFrm::CompleteAddressText);
  connect(address_, &QLineEdit::returnPressed, this, &TLookupFrm::Button1Click);
  connect(find_, &QPushButton::clicked, this, &TLookupFrm::Button1Click);
  connect(list_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { ListView1DblClick(list_->indexOfTopLevelItem(item)); });

  auto* controls = new QHBoxLayout;
  controls->addWidget(category_);
  controls->addWidget(link_);
  controls->addWidget(device_);
  controls->addWidget(address_);
  controls->addWidget(find_);
  controls->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(list_, 1);
  resize(480, 320);
}

void TLookupFrm::Attach(const model::ProjectImage& project, const params::DeviceLists& lists) {
  project_ = &project;
  lists_ = &lists;
}

void TLookupFrm::SetTexts(bool isChinese) {
  setWindowTitle(isChinese ? QStringLiteral("寄存器查找") : QStringLiteral("Search Register"));
  list_->setHeaderLabels(
      isChinese
          ? QStringList{QStringLiteral("所 在 画 面 名 称"), QStringLiteral(" 类  型"), QString()}
          : QStringList{QStringLiteral("The Window name"), QStringLiteral(" Type"), QString()});
  category_->setAccessibleName(isChinese ? QStringLiteral("类别") : QStringLiteral("Category"));
  link_->setAccessibleName(isChinese ? QStringLiteral("连接") : QStringLiteral("Link"));
  device_->setAccessibleName(isChinese ? QStringLiteral("寄存器种类") : QStringLiteral("Device"));
  address_->setAccessibleName(isChinese ? QStringLiteral("地址") : QStringLiteral("Address"));
  list_->setAccessibleName(isChinese ? QStringLiteral("查找结果")
                                     : QStringLiteral("Search results"));
}

void TLookupFrm::FillLinks() {
  const QSignalBlocker quiet(link_);
  link_->clear();
  const params::DeviceLists& lists = lists_ != nullptr ? *lists_ : NoLists();
  for (const std::string& name : lists.LinkUseCount) link_->addItem(QString::fromStdString(name));
  if (link_->count() == 0) link_->addItem(QStringLiteral("Link 1"));
  link_->setCurrentIndex(0);
}

void TLookupFrm::FormShow() {
  SetTexts(hooks_.Chinese());
  FillLinks();
  OrganSortChange();
  list_->clear();
  matches_.clear();
}

void TLookupFrm::ShowLookup() {
  FormShow();
  if (!placed_) {
    ui::PlaceAboveCentre(this, kDistanceAboveCentre);
    placed_ = true;
  }
  show();
  raise();
  activateWindow();
  address_->setFocus(Qt::OtherFocusReason);
  address_->selectAll();
}

SearchCategory TLookupFrm::Category() const {
  switch (category_->currentIndex()) {
    case 1:
      return SearchCategory::kBit;
    case 2:
      return SearchCategory::kOther;
    default:
      return SearchCategory::kWord;
  }
}

void TLookupFrm::OrganSortChange() {
  const params::DeviceLists& lists = lists_ != nullptr ? *lists_ : NoLists();
  const bool wasHexadecimal = field_.hexadecimal;
  // The kind chosen so far; the first one while none is.
  const int device = std::max(device_->currentIndex(), 0);
  field_ = AddressFieldFor(lists, Category(), std::max(link_->currentIndex(), 0), device);
  {
    const QSignalBlocker quiet(device_);
    device_->clear();
    for (const std::string& name : field_.devices) device_->addItem(QString::fromStdString(name));
    device_->setCurrentIndex(field_.device);
  }
  keys_->hexadecimal = field_.hexadecimal;
  // An address typed in the other number base would read as another number, or none.
  if (field_.hexadecimal || wasHexadecimal) address_->setText(QStringLiteral("0"));
  address_->setToolTip(QString::fromStdString(field_.hint));
}

void TLookupFrm::CompleteAddressText() {
  const std::string typed = address_->text().toStdString();
  const std::optional<std::int64_t> asTyped = ParseAddressNumber(typed, field_.hexadecimal);
  const std::int64_t completed = CompleteAddress(field_, typed).value_or(0);
  if (typed.empty() || asTyped != completed) {
    address_->setText(QString::fromStdString(AddressNumberText(completed, field_.hexadecimal)));
  }
}

void TLookupFrm::Button1Click() {
  CompleteAddressText();
  const bool isChinese = hooks_.Chinese();
  SearchQuery query;
  query.category = Category();
  query.link = link_->currentIndex() < 0 ? 0 : link_->currentIndex();
  query.device = field_.device;
  query.address =
      ParseAddressNumber(address_->text().toStdString(), field_.hexadecimal).value_or(0);
  matches_ = project_ != nullptr ? RegisterSearch(*project_, query) : std::vector<SearchMatch>{};

  list_->clear();
  QList<QTreeWidgetItem*> items;
  for (const SearchMatch& match : matches_) {
    auto* item = new QTreeWidgetItem;
    item->setIcon(kLookupColumnPage, rowIcon_);
    item->setText(kLookupColumnPage, QString::fromStdString(match.caption));
    item->setText(kLookupColumnKind, Utf8(elements::KindNameOf(match.kind, isChinese)));
    item->setText(kLookupColumnSlot, QString::number(match.slot));
    items << item;
  }
  list_->addTopLevelItems(items);
  setWindowTitle(QString::fromStdString(SearchCaption(matches_.size()).In(isChinese)));
}

void TLookupFrm::ListView1DblClick(int row) {
  if (row < 0 || row >= static_cast<int>(matches_.size())) return;
  const SearchMatch& match = matches_[static_cast<std::size_t>(row)];
  // The list is a snapshot: a page deleted since has nothing left to show.
  if (project_ != nullptr && !project_->IsPageUsed(match.page)) return;
  emit jumpRequested(match.page, match.slot);
}

}  // namespace dravik::tools
