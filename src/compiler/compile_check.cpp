#include "compiler/compile_check.h"

#include <algorithm>
#include <optional>

#include "elements/element_fields.h"
#include "elements/element_operands.h"
#include "elements/kind_name_table.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::compiler {

const Bilingual kKeyboardLedMessage{"设定下键盘按键 & 指示灯 ID 错误 !",
                                    "Setting the keyboard keys & indicator ID error!"};

namespace {

using model::PageRecord;

constexpr std::size_t kCaptionLimit = 41;  // bytes of "number:name" shown per row
constexpr int kKeyboardFirst = 10;         // settings ElemWordA[10..17]: keys, LEDs,
constexpr int kKeyboardLast = 17;          // and the fast-write area

std::int32_t ListNumber(const std::vector<std::string>& list, std::size_t index) {
  return params::ListNumber(params::ListEntry(list, index));
}

// The limits are 16-bit register numbers; a value beyond that range is taken as its end
// rather than wrapped, so that a generous maximum never turns into a small one.
std::int32_t RegisterLimit(std::int32_t value) {
  return std::clamp<std::int32_t>(value, 0, 0xFFFF);
}

class ElementCheck {
 public:
  ElementCheck(const PageRecord& page, int slot, const LinkLimits& limits)
      : p_(page), s_(slot), limits_(limits) {}

  std::optional<CheckFailure> Run() {
    namespace el = elements;
    // clang-format off
    switch (el::ElementFields(p_, s_).kind()) {
      case el::kKindRegister: CheckRegister(); break;
      case el::kKindLamp: case el::kKindBitButton: case el::kKindBitSwitch: CheckBitOperand(); break;
      case el::kKindBarGraph: CheckBarGraph(); break;
      case el::kKindDynamicText: case el::kKindAsciiChinese: case el::kKindRegisterText:
        CheckLinkWordText(); break;
      case el::kKindRectangle: case el::kKindRectangleVariant1: case el::kKindRectangleVariant2:
      case el::kKindRectangleVariant3: case el::kKindRectangleVariant4: case el::kKindEllipse:
        CheckMovingShape(); break;
      default: break;  // texts, charts, pictures, keys, clock and drawing need no register
    }
    // clang-format on
    return failure_;
  }

 private:
  void Fail(CheckFailure failure) { failure_ = failure; }
  void Above(std::int64_t value, std::int32_t max, CheckFailure failure) {
    if (value > max) Fail(failure);
  }

  // The index of the element's register kind in its link's list. Every kind checked here
  // names one; the link itself is not judged (see StartCheck).
  int DeviceKind() const { return elements::DeviceSelectorOf(p_, s_)->Device(); }

  // False (and the kind message) when the kind index is not one of the link's kinds.
  bool KindExists(int kind, int highest) {
    if (kind > highest) {
      Fail(CheckFailure::kKindIndex);
      return false;
    }
    return true;
  }

  void CheckRegister() {
    const elements::RegisterElement reg(p_, s_);
    const int kind = DeviceKind();
    if (!KindExists(kind, limits_.highestWordKind)) return;
    const std::int32_t max = limits_.wordMax[kind];
    Above(reg.registerNumber(), max, CheckFailure::kRegisterNumber);
    // Both limits are registers when the element reads them indirectly.
    if (reg.indirectLimits() == 1) {
      Above(reg.upperLimit(), max, CheckFailure::kIndirectUpperLimit);
      Above(reg.lowerLimit(), max, CheckFailure::kIndirectLowerLimit);
    }
    Above(reg.keyRegister(), max, CheckFailure::kKeyRegister);
  }

  void CheckBitOperand() {
    const elements::OperandElement element(p_, s_);
    const elements::OperandByte operand = element.operand();
    const int kind = DeviceKind();
    if (!KindExists(kind, limits_.highestBitKind)) return;
    Above(element.registerNumber(), limits_.bitMax[kind], CheckFailure::kRegisterNumber);
    const int bits = limits_.bitCount[kind];
    if (bits != 0 && operand.bitOrType > bits) Fail(CheckFailure::kBitNumber);
  }

  void CheckBarGraph() {
    const elements::BarGraphElement bar(p_, s_);
    const int kind = DeviceKind();
    if (!KindExists(kind, limits_.highestWordKind)) return;
    const std::int32_t max = limits_.wordMax[kind];
    Above(bar.registerNumber(), max, CheckFailure::kRegisterNumber);
    if (bar.fullScaleIndirect() != 0) {
      Above(bar.fullScaleRegister(), max, CheckFailure::kFullScaleRegister);
    }
    if (bar.zeroIndirect() != 0) Above(bar.zeroRegister(), max, CheckFailure::kZeroRegister);
  }

  void CheckLinkWordText() {
    const elements::LinkWordElement text(p_, s_);
    const int kind = DeviceKind();
    if (!KindExists(kind, limits_.highestWordKind)) return;
    const std::int32_t max = limits_.wordMax[kind];
    Above(text.registerNumber(), max, CheckFailure::kRegisterNumber);
    Above(text.keyRegister(), max, CheckFailure::kKeyRegister);
  }

  void CheckMovingShape() {
    const elements::ShapeElement shape(p_, s_);
    const int kind = DeviceKind();
    if (!KindExists(kind, limits_.highestWordKind)) return;
    const std::int32_t max = limits_.wordMax[kind];
    if (shape.movesHorizontally() != 0) {
      Above(shape.horizontalRegister(), max, CheckFailure::kHorizontalRegister);
    }
    if (shape.movesVertically() != 0) {
      Above(shape.verticalRegister(), max, CheckFailure::kVerticalRegister);
    }
    if (shape.visibilityByRegister() != 0) {
      Above(shape.visibilityRegister(), max, CheckFailure::kVisibilityRegister);
    }
  }

  const PageRecord& p_;
  int s_;
  const LinkLimits& limits_;
  std::optional<CheckFailure> failure_;
};

bool ClampKeyboardSettings(PageRecord& settings, std::int32_t maxRegister) {
  bool changed = false;
  for (int i = kKeyboardFirst; i <= kKeyboardLast; ++i) {
    auto& entry = At(settings, model::settings::WordA{i});
    if (entry > maxRegister) {
      entry = static_cast<std::uint16_t>(maxRegister);
      changed = true;
    }
  }
  return changed;
}

// The rows for links whose tables the device resources do not have; the caption names
// the work parameters, where the table is chosen.
std::vector<CheckRow> UnknownTableRows(const params::DeviceLists& lists, bool isChinese) {
  const Bilingual caption{"系统设置", "System Setup"};
  std::vector<CheckRow> rows;
  auto add = [&](CheckFailure failure, int table, const char* chineseLink,
                 const char* englishLink) {
    rows.push_back({0, -1, 0, failure, caption.In(isChinese), isChinese ? chineseLink : englishLink,
                    CheckMessage(failure, table).In(isChinese)});
  };
  if (lists.unknownLink1Protocol) {
    add(CheckFailure::kUnknownLink1Protocol, *lists.unknownLink1Protocol, "连接1", "Link 1");
  }
  if (lists.unknownLink2Table) {
    add(CheckFailure::kUnknownLink2Table, *lists.unknownLink2Table, "连接2", "Link 2");
  }
  return rows;
}

std::string RowCaption(const PageRecord& page) {
  std::string caption(page.PageStrings[model::kPageNumberText].View());
  caption += ':';
  caption += page.PageStrings[model::kPageName].View();
  if (caption.size() > kCaptionLimit) caption.resize(kCaptionLimit);
  return platform::GbkToUtf8(caption);
}

}  // namespace

LinkLimits LinkLimits::FromLists(const params::DeviceLists& lists) {
  LinkLimits limits;
  limits.highestWordKind = static_cast<int>(lists.W_DeviceName.size()) - 1;
  limits.highestBitKind = static_cast<int>(lists.B_DeviceName.size()) - 1;
  for (std::size_t k = 0; k < 8; ++k) {
    limits.wordMax[k] = RegisterLimit(ListNumber(lists.W_DeviceMax, k));
    limits.bitMax[k] = RegisterLimit(ListNumber(lists.B_DeviceMax, k));
    limits.bitCount[k] = std::clamp<std::int32_t>(ListNumber(lists.B_DeviceBit, k), 0, 255);
  }
  return limits;
}

Bilingual CheckMessage(CheckFailure failure, int table) {
  const std::string n = std::to_string(table);
  if (failure == CheckFailure::kUnknownLink1Protocol) {
    return {"未知的PLC协议 " + n + " (连接1)", "unknown PLC protocol " + n + " (Link 1)"};
  }
  if (failure == CheckFailure::kUnknownLink2Table) {
    return {"未知的设备表 " + n + " (连接2)", "unknown device table " + n + " (Link 2)"};
  }
  static const Bilingual kMessages[] = {
      {"元件种类设置错误 ！", "Element type setting error!"},
      {"寄存器号设置错误 ！", "Register setting error!"},
      {"寄存器号.Bit错误 ！", "Register .Bit error!"},
      {"间接上限设置错误 ！", "Indirect superior limit setting error!"},
      {"间接下限设置错误 ！", "Indirect lower limit setting error!"},
      {"关键寄存器号错误 ！", "Key register number is wrong!"},
      {"满额度值间接错误 ！", "Full amount of indirect  value error!"},
      {"零额度值间接错误 ！", "Zero line of indirect  value error!"},
      {"水平移动寄存器错误 ！", "Level shift register error!"},
      {"垂直移动寄存器错误 ！", "Vertical shift register error!"},
      {"可见度控制寄存器错误 ！", "Visibility register error!"},
  };
  return kMessages[static_cast<int>(failure)];
}

Bilingual CheckSummaryLabel(std::size_t count) {
  const std::string n = std::to_string(count);
  return {"编译错误信息: " + n + " 条", "The compiler error messages: " + n + " Item"};
}

Bilingual CheckSummaryMessage(std::size_t count) {
  const std::string n = std::to_string(count);
  return {"总共找到 " + n + " 错误; 请参考编译错误信息栏修正错误。",
          "Find a total of " + n +
              " Mistake; please refer to compile error information column correction of errors."};
}

std::string CheckRowHint(const CheckRow& row) {
  return "Hint: " + row.message + " Please re-set...";
}

std::vector<CompilerMessage> CheckReport::Messages() const {
  std::vector<CompilerMessage> messages;
  if (keyboardClamped)
    messages.push_back({kCaptionDravik, MessageIcon::Error, kKeyboardLedMessage});
  if (Failed()) {
    messages.push_back({kCaptionDravik, MessageIcon::Error, CheckSummaryMessage(rows.size())});
  }
  return messages;
}

CheckReport StartCheck(model::ProjectImage& project, const params::DeviceLists& lists,
                       bool isChinese) {
  CheckReport report;
  report.rows = UnknownTableRows(lists, isChinese);
  if (report.Failed()) return report;

  const LinkLimits limits = LinkLimits::FromLists(lists);
  // The panel's own register area is the first word kind of Link 1.
  report.keyboardClamped = ClampKeyboardSettings(project.Settings(), limits.wordMax[0]);

  // An element whose link bit is set is judged by Link 1's limits as well; no dialog
  // sets that bit, and the register keeps its Float flag there.
  for (int number = 1; number <= model::kMaxPage; ++number) {
    if (!project.IsPageUsed(number)) continue;
    const PageRecord& page = project.Page(number);
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      const std::optional<CheckFailure> failure = ElementCheck(page, slot, limits).Run();
      if (!failure) continue;
      const int kind = page.ElemKind[slot];
      report.rows.push_back({number, slot, kind, *failure, RowCaption(page),
                             std::string(elements::KindNameOf(kind, isChinese)),
                             CheckMessage(*failure).In(isChinese)});
    }
  }
  return report;
}

}  // namespace dravik::compiler
