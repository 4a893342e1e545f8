#include "sim/panel_session.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "compiler/date_time_expansion.h"
#include "editor/page_geometry.h"
#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "model/settings_page.h"
#include "sim/image_slots.h"
#include "sim/macro_runner.h"
#include "sim/value_format.h"

namespace dravik::sim {

namespace {

namespace el = elements;
namespace field = compiler::image_field;
using Clock = std::chrono::system_clock;
using model::PageRecord;

// Rows of the page key table.
constexpr int kKeyUp = 6;
constexpr int kKeyDown = 7;
constexpr int kKeyLeft = 8;
constexpr int kKeyRight = 9;
constexpr int kKeyDigitZero = 12;
constexpr int kKeysWithRegisterOffset = 20;
constexpr int kLastPageNumber = 240;
// Panel functions of the function key.
constexpr int kFunctionLanguage = 3;
constexpr int kFunctionPasswordLogin = 6;
// Function key flags.
constexpr int kKeyFlagPassword = 2;
constexpr int kKeyFlagJump = 4;
constexpr int kKeyFlagFunction = 8;

const Error kNoSuchPage{Bilingual{"没有这个画面", "There is no such page"}};
const Error kWrongPassword{Bilingual{"密码错误", "Wrong password"}};
const Error kNoEntryOpen{Bilingual{"没有正在输入的数值", "No entry is open"}};

WordAddress PanelWord(std::uint32_t number) {
  return {0, 0, number};
}

struct TrendState {
  std::vector<double> samples;
  std::chrono::milliseconds sinceSample{0};
};

struct PageState {
  const compiler::ImagePage* image = nullptr;
  RebuiltPage rebuilt;
};

// The panel clock's fields as the clock registers name them.
struct ClockReading {
  int year, month, day, hour, minute, second;
};

ClockReading ReadClock(Clock::time_point at) {
  const auto days = std::chrono::floor<std::chrono::days>(at);
  const std::chrono::year_month_day date{days};
  const std::chrono::hh_mm_ss time{std::chrono::floor<std::chrono::seconds>(at - days)};
  return {static_cast<int>(date.year()),
          static_cast<int>(unsigned(date.month())),
          static_cast<int>(unsigned(date.day())),
          static_cast<int>(time.hours().count()),
          static_cast<int>(time.minutes().count()),
          static_cast<int>(time.seconds().count())};
}

Clock::time_point MakeClock(const ClockReading& c, Clock::duration subSecond) {
  const std::chrono::year_month_day date{std::chrono::year{c.year},
                                         std::chrono::month{static_cast<unsigned>(c.month)},
                                         std::chrono::day{static_cast<unsigned>(c.day)}};
  // A day beyond the month's end moves into the next month, as the calendar counts on.
  const std::chrono::sys_days days{date.year() / date.month() / std::chrono::day{1}};
  return days + std::chrono::days{c.day - 1} + std::chrono::hours{c.hour} +
         std::chrono::minutes{c.minute} + std::chrono::seconds{c.second} + subSecond;
}

int* ClockPart(ClockReading& reading, std::uint32_t registerNumber) {
  switch (registerNumber) {
    case compiler::kClockYear.registerNumber:
      return &reading.year;
    case compiler::kClockMonth.registerNumber:
      return &reading.month;
    case compiler::kClockDay.registerNumber:
      return &reading.day;
    case compiler::kClockHour.registerNumber:
      return &reading.hour;
    case compiler::kClockMinute.registerNumber:
      return &reading.minute;
    case compiler::kClockSecond.registerNumber:
      return &reading.second;
    default:
      return nullptr;
  }
}

NumberFormat RegisterFormat(const PageRecord& p, int s) {
  const el::RegisterElement reg(p, s);
  NumberFormat format;
  format.isFloat = (reg.operandByte() & 0x80) != 0;
  format.is32 = format.isFloat || (reg.operandByte() & 0x0F) == 1;
  format.isSigned = format.isFloat || reg.isSigned() != 0;
  format.digits = reg.digitsAndDecimals() >> 8;
  format.decimals = reg.digitsAndDecimals() & 0x0F;
  format.leadingZeros = (reg.options() & 1) != 0;
  return format;
}

WordAddress RegisterWord(const PageRecord& p, int s) {
  const el::RegisterElement reg(p, s);
  return {0, static_cast<std::uint8_t>((reg.operandByte() >> 4) & 7), reg.registerNumber()};
}

template <class Element>
BitAddress OperandBit(const Element& e) {
  const el::OperandByte operand = e.operand();
  return {static_cast<std::uint8_t>(operand.link), static_cast<std::uint8_t>(operand.registerKind),
          e.registerNumber(), static_cast<std::uint8_t>(operand.bitOrType)};
}

template <class Element>
WordAddress LinkWordAddress(const Element& e) {
  const el::LinkWord link = e.linkWord();
  return {static_cast<std::uint8_t>(link.link), static_cast<std::uint8_t>(link.registerKind),
          e.registerNumber()};
}

// The password level an element asks for: its format word's level, or 1 when only its
// password flag is set.
int PasswordLevel(const PageRecord& p, int s) {
  const int kind = p.ElemKind[s];
  int level = 0;
  bool flag = false;
  switch (kind) {
    case el::kKindRegister:
      level = p.ElemWordC[s] & 0x0F;
      flag = (p.ElemWordD[s] & 2) != 0;
      break;
    case el::kKindDynamicText:
      level = p.ElemWordC[s] & 0x0F;
      flag = (p.ElemWordD[s] & 2) != 0;
      break;
    case el::kKindFunctionKey:
      level = p.ElemWordC[s] & 0x0F;
      flag = (p.ElemWordD[s] & kKeyFlagPassword) != 0;
      break;
    case el::kKindBitSwitch:
      level = p.ElemWordC[s] & 0x0F;
      flag = p.ElemByteC[s] != 0;
      break;
    default:
      break;
  }
  return level > 0 ? level : (flag ? 1 : 0);
}

double Fraction(double value, double zero, double full) {
  if (full == zero) return 0;
  return std::clamp((value - zero) / (full - zero), 0.0, 1.0);
}

}  // namespace

struct PanelSession::State {
  compiler::DecodedImage image;
  RegisterMemory memory;
  SessionOptions options;
  int protocol = 0;
  std::vector<PageState> pages;
  std::map<int, int> pageIndex;  // page number -> index in `pages`
  int current = 0;
  Clock::time_point clock;
  std::chrono::milliseconds sinceMacro{0};
  std::map<int, TrendState> trends;  // by slot, for the current page
  std::optional<Entry> entry;
  std::optional<int> focus;
  std::optional<int> heldSwitch;
  std::set<int> heldKeySwitches;
  bool unlocked = false;
  bool languageTwo = false;
  std::function<void(const WordAddress&)> wordWritten;
  std::function<void(const BitAddress&)> bitWritten;

  const PageState& Current() const { return pages[static_cast<std::size_t>(current)]; }
  const PageRecord& Page() const { return *Current().rebuilt.page; }
  const compiler::ImageRecord* RecordOf(int slot) const {
    const int record = Current().rebuilt.recordOfSlot[static_cast<std::size_t>(slot)];
    return record < 0 ? nullptr : &Current().image->records[static_cast<std::size_t>(record)];
  }
  std::uint16_t Setting(const compiler::SettingsField& f) const { return image.Setting(f); }

  // ---- Writing registers (the panel's own writes reach an on-line PLC) ----

  void WriteWord(const WordAddress& address, std::uint16_t value) {
    memory.SetWord(address, value);
    if (wordWritten) wordWritten(address);
  }
  void WriteValue(const WordAddress& address, std::uint32_t value, bool is32) {
    if (!is32) return WriteWord(address, static_cast<std::uint16_t>(value));
    memory.SetDoubleWord(address, value);
    if (wordWritten) {
      wordWritten(address);
      wordWritten({address.link, address.kind, address.number + 1});
    }
  }
  void WriteBit(const BitAddress& address, bool on) {
    memory.SetBit(address, on);
    if (bitWritten) bitWritten(address);
  }
  // Bit `bit` of the register pair starting at `first` (keys, LEDs), in the panel area.
  void WritePairBit(std::uint32_t first, int bit, bool on) {
    const WordAddress word = PanelWord(first + static_cast<std::uint32_t>(bit / 16));
    std::uint16_t value = memory.Word(word);
    const auto mask = static_cast<std::uint16_t>(1u << (bit % 16));
    value =
        on ? static_cast<std::uint16_t>(value | mask) : static_cast<std::uint16_t>(value & ~mask);
    WriteWord(word, value);
  }

  // ---- Pages ----

  void ShowPage(int index) {
    if (index != current && current >= 0) LeaveFocus();
    // Pages are rebuilt when first shown: a start does not pay for all 240.
    PageState& shown = pages[static_cast<std::size_t>(index)];
    if (!shown.rebuilt.page) {
      shown.rebuilt = RebuildPage(*shown.image, protocol);
      ApplyRegisterOffset(shown);
    }
    current = index;
    trends.clear();
    entry.reset();
    focus.reset();
    heldSwitch.reset();
    if (Setting(field::kReportCurrentPage) != 0) {
      WriteWord(PanelWord(Setting(field::kPageReportRegister)),
                static_cast<std::uint16_t>(Current().image->number));
    }
  }
  // On the protocols with a page register offset, the page's elements address the PLC's
  // registers that far on; the panel's own registers (clock, keys, limits) stay.
  void ApplyRegisterOffset(PageState& shown) const {
    if (!compiler::ProtocolHasRegisterOffset(protocol)) return;
    const std::uint16_t offset = shown.image->RegisterOffset();
    if (offset == 0) return;
    PageRecord& p = *shown.rebuilt.page;
    for (int s = 0; s < model::kSlotCount; ++s) {
      const int record = shown.rebuilt.recordOfSlot[static_cast<std::size_t>(s)];
      if (record >= 0 && IsClockField(shown.image->records[static_cast<std::size_t>(record)])) {
        continue;
      }
      switch (p.ElemKind[s]) {
        case el::kKindRegister:
        case el::kKindLamp:
        case el::kKindTrendChart:
        case el::kKindBarGraph:
        case el::kKindPicture:
        case el::kKindDynamicText:
        case el::kKindAsciiChinese:
        case el::kKindBitSwitch:
          p.ElemWordA[s] = static_cast<std::uint16_t>(p.ElemWordA[s] + offset);
          break;
        default:
          break;
      }
    }
  }
  bool JumpTo(int number) {
    const auto found = pageIndex.find(number);
    if (found == pageIndex.end()) return false;
    ShowPage(found->second);
    return true;
  }

  // ---- Values ----

  std::uint32_t RegisterRaw(int s) const {
    const NumberFormat format = RegisterFormat(Page(), s);
    const WordAddress address = RegisterWord(Page(), s);
    return format.is32 ? memory.DoubleWord(address) : memory.Word(address);
  }
  const compiler::ImageRecord* ClockRecord(int s) const {
    const compiler::ImageRecord* record = RecordOf(s);
    return record != nullptr && IsClockField(*record) ? record : nullptr;
  }
  std::uint32_t ClockValue(std::uint32_t registerNumber) const {
    ClockReading reading = ReadClock(clock);
    const int* part = ClockPart(reading, registerNumber);
    return part != nullptr ? static_cast<std::uint32_t>(*part) : 0;
  }
  // The key register condition: nothing, "***" in place of the value, or hidden.
  enum class Masking { None, Asterisks, Hidden };
  Masking RegisterMasking(int s) const {
    const el::RegisterElement reg(Page(), s);
    const int condition = reg.keyCondition() >> 4;
    if (condition == 0) return Masking::None;
    const bool zero = memory.Word(PanelWord(reg.keyRegister())) == 0;
    const bool met = condition == 1 ? zero : !zero;
    if (!met) return Masking::None;
    return (reg.keyCondition() & 0x0F) != 0 ? Masking::Hidden : Masking::Asterisks;
  }

  // ---- Focus and entry ----

  bool TakesEntry(int s) const {
    const PageRecord& p = Page();
    switch (p.ElemKind[s]) {
      case el::kKindRegister:
        return p.ElemByteC[s] != 0 && RegisterMasking(s) == Masking::None;
      case el::kKindDynamicText:
        return p.ElemByteC[s] != 0;
      default:
        return false;
    }
  }
  std::vector<int> EntrySlots() const {
    std::vector<int> slots;
    for (int s = 0; s < model::kSlotCount; ++s) {
      if (Page().ElemKind[s] != 0 && TakesEntry(s)) slots.push_back(s);
    }
    return slots;
  }
  void LeaveFocus() {
    if (!focus) return;
    const PageRecord& p = Page();
    const int s = *focus;
    if (p.ElemKind[s] == el::kKindDynamicText && p.ElemByteD[s] != 0) {
      WriteWord(LinkWordAddress(el::DynamicTextElement(p, s)), 0);
    }
  }
  void MoveFocus(int step) {
    const std::vector<int> slots = EntrySlots();
    if (slots.empty()) return;
    int next = 0;
    if (focus) {
      const auto at = std::find(slots.begin(), slots.end(), *focus);
      const int index = at == slots.end() ? 0 : static_cast<int>(at - slots.begin());
      const int count = static_cast<int>(slots.size());
      next = ((index + step) % count + count) % count;
      if (slots[static_cast<std::size_t>(next)] != *focus) LeaveFocus();
    }
    focus = slots[static_cast<std::size_t>(next)];
  }
  bool NeedsPassword(int s) const { return !unlocked && PasswordLevel(Page(), s) > 0; }
  void AskPassword(int s) { entry = Entry{s, {}, 0, 65535, 0, true}; }
  void OpenEntry(int s) {
    if (NeedsPassword(s)) return AskPassword(s);
    const PageRecord& p = Page();
    if (p.ElemKind[s] != el::kKindDynamicText && p.ElemKind[s] != el::kKindRegister) return;
    if (focus && *focus != s) LeaveFocus();
    focus = s;
    Entry opened;
    opened.slot = s;
    if (p.ElemKind[s] == el::kKindDynamicText) {
      opened.upper = 65535;
    } else {
      const EntryLimits limits = Limits(s);
      opened.lower = static_cast<std::int64_t>(limits.lower);
      opened.upper = static_cast<std::int64_t>(limits.upper);
      opened.decimals = RegisterFormat(p, s).decimals;
    }
    entry = opened;
  }
  EntryLimits Limits(int s) const {
    const el::RegisterElement reg(Page(), s);
    const NumberFormat format = RegisterFormat(Page(), s);
    if (reg.indirectLimits() == 0) {
      return {static_cast<double>(reg.lowerLimit()), static_cast<double>(reg.upperLimit())};
    }
    const auto read = [&](std::int32_t number) {
      const WordAddress address = PanelWord(static_cast<std::uint32_t>(number));
      return RawNumber(format.is32 ? memory.DoubleWord(address) : memory.Word(address), format);
    };
    return {read(reg.lowerLimit()), read(reg.upperLimit())};
  }

  // ---- Touches ----

  void UseFunctionKey(int s) {
    const el::FunctionKeyElement key(Page(), s);
    const int flags = key.options();
    if ((flags & kKeyFlagJump) != 0) {
      JumpTo(key.jumpPage());
      return;
    }
    if ((flags & kKeyFlagFunction) == 0) return;
    switch (key.panelFunction()) {
      case kFunctionLanguage:
        languageTwo = !languageTwo;
        break;
      case kFunctionPasswordLogin:
        AskPassword(s);
        break;
      default:  // recipes, brightness and LCD inversion have no simulated counterpart
        break;
    }
  }
  void PressSwitch(int s) {
    const el::BitSwitchElement key(Page(), s);
    const BitAddress bit = OperandBit(key);
    switch (key.action()) {
      case 0:
        WriteBit(bit, true);
        break;
      case 1:
        WriteBit(bit, false);
        break;
      case 2:
        WriteBit(bit, true);
        heldSwitch = s;
        break;
      default:
        WriteBit(bit, !memory.Bit(bit));
        break;
    }
  }
  void ReleaseSwitch(int s) {
    const el::BitSwitchElement key(Page(), s);
    if (key.action() == 2) WriteBit(OperandBit(key), false);
  }
  // What a touch or its password's confirmation does with the element at `s`.
  void Use(int s, bool afterPassword) {
    const PageRecord& p = Page();
    const int kind = p.ElemKind[s];
    const bool functionLogin =
        kind == el::kKindFunctionKey &&
        (p.ElemWordD[s] & (kKeyFlagJump | kKeyFlagFunction)) == kKeyFlagFunction &&
        p.ElemWordE[s] == kFunctionPasswordLogin;
    if (!afterPassword && !functionLogin && NeedsPassword(s)) return AskPassword(s);
    switch (kind) {
      case el::kKindFunctionKey:
        if (afterPassword && functionLogin) {
          const int after = Setting(field::kPageAfterPassword);
          if (after != 0) JumpTo(after);
          return;
        }
        UseFunctionKey(s);
        break;
      case el::kKindBitSwitch:
        PressSwitch(s);
        if (afterPassword) {  // the touch is long over: a held switch lets go at once
          if (heldSwitch == s) ReleaseSwitch(s);
          heldSwitch.reset();
        }
        break;
      default:
        if (ClockRecord(s) != nullptr) {
          OpenClockEntry(s);
        } else if (TakesEntry(s)) {
          OpenEntry(s);
        }
        break;
    }
  }
  void OpenClockEntry(int s) {
    const compiler::ImageRecord* record = ClockRecord(s);
    if ((record->Number("packed").value_or(0) & 2) == 0) return;  // input not allowed
    focus = s;
    const std::int32_t upper = record->Find("upperLimit")->Signed();
    const std::uint32_t reg = record->Number("register").value_or(0);
    const bool fromOne =
        reg == compiler::kClockMonth.registerNumber || reg == compiler::kClockDay.registerNumber;
    const bool year = reg == compiler::kClockYear.registerNumber;
    entry = Entry{s, {}, year ? 2000 : (fromOne ? 1 : 0), upper, 0, false};
  }
  Status ConfirmClock(const Entry& open, std::string_view text) {
    NumberFormat format;
    format.digits = 4;
    auto value = ParseEntry(text, format,
                            {static_cast<double>(open.lower), static_cast<double>(open.upper)});
    if (!value) return value.error();
    ClockReading reading = ReadClock(clock);
    const auto subSecond = clock - std::chrono::floor<std::chrono::seconds>(clock);
    *ClockPart(reading, ClockRecord(open.slot)->Number("register").value_or(0)) =
        static_cast<int>(*value);
    clock = MakeClock(reading, subSecond);
    entry.reset();
    return Status::Ok();
  }
  Status Confirm(std::string_view text) {
    if (!entry) return kNoEntryOpen;
    const Entry open = *entry;
    if (open.password) {
      const std::uint16_t super = Setting(field::kSuperPassword);
      NumberFormat format;
      format.digits = 10;
      format.is32 = true;
      auto typed = ParseEntry(text, format, {0, 4294967295.0});
      if (!typed || *typed != super) return kWrongPassword;
      unlocked = true;
      entry.reset();
      Use(open.slot, true);
      return Status::Ok();
    }
    if (ClockRecord(open.slot) != nullptr) return ConfirmClock(open, text);
    const PageRecord& p = Page();
    if (p.ElemKind[open.slot] == el::kKindDynamicText) {
      NumberFormat format;
      format.digits = 5;
      auto value = ParseEntry(text, format, {0, 65535});
      if (!value) return value.error();
      WriteWord(LinkWordAddress(el::DynamicTextElement(p, open.slot)),
                static_cast<std::uint16_t>(*value));
    } else {
      const NumberFormat format = RegisterFormat(p, open.slot);
      auto value = ParseEntry(text, format, Limits(open.slot));
      if (!value) return value.error();
      WriteValue(RegisterWord(p, open.slot), *value, format.is32);
    }
    entry.reset();
    return Status::Ok();
  }

  // ---- Time ----

  void SampleTrends(std::chrono::milliseconds elapsed) {
    const PageRecord& p = Page();
    for (int s = 0; s < model::kSlotCount; ++s) {
      if (p.ElemKind[s] != el::kKindTrendChart) continue;
      const el::TrendChartElement chart(p, s);
      const std::chrono::milliseconds interval{
          std::max(1, static_cast<int>(chart.sampleSeconds())) * 1000};
      TrendState& trend = trends[s];
      trend.sinceSample += elapsed;
      const std::size_t capacity = std::max<std::size_t>(1, chart.dataPoints());
      while (trend.sinceSample >= interval) {
        trend.sinceSample -= interval;
        trend.samples.push_back(TrendFraction(s));
        if (trend.samples.size() > capacity) {
          trend.samples.erase(trend.samples.begin(),
                              trend.samples.end() - static_cast<std::ptrdiff_t>(capacity));
        }
      }
    }
  }
  double WordOperandValue(std::uint8_t operandByte, std::uint16_t number) const {
    const el::OperandByte operand = el::OperandByte::Unpack(operandByte);
    const WordAddress address{static_cast<std::uint8_t>(operand.link),
                              static_cast<std::uint8_t>(operand.registerKind), number};
    return operand.bitOrType == 1 ? static_cast<double>(memory.DoubleWord(address))
                                  : static_cast<double>(memory.Word(address));
  }
  double TrendFraction(int s) const {
    const el::TrendChartElement chart(Page(), s);
    return Fraction(WordOperandValue(chart.operandByte(), chart.registerNumber()),
                    chart.zeroValue(), chart.fullScale());
  }
  double BarFraction(int s) const {
    const el::BarGraphElement bar(Page(), s);
    const double full = bar.fullScaleIndirect() != 0
                            ? memory.Word(PanelWord(bar.fullScaleRegister()))
                            : static_cast<double>(bar.fullScale());
    const double zero = bar.zeroIndirect() != 0 ? memory.Word(PanelWord(bar.zeroRegister()))
                                                : static_cast<double>(bar.zeroValue());
    return Fraction(WordOperandValue(bar.operandByte(), bar.registerNumber()), zero, full);
  }
  void FollowPlcPage() {
    if (Setting(field::kFollowPageRegister) == 0) return;
    const int wanted = memory.Word(PanelWord(Setting(field::kPageSelectRegister)));
    if (wanted != 0 && wanted != Current().image->number) JumpTo(wanted);
  }

  // ---- The screen ----

  void ShowValue(PageRecord& page, int s) const;
  void ShowAlarms(Screen& screen) const;
  std::vector<BitAddress> AlarmBits() const;
};

void PanelSession::State::ShowValue(PageRecord& page, int s) const {
  const int kind = page.ElemKind[s];
  switch (kind) {
    case el::kKindRegister: {
      std::string text;
      if (const compiler::ImageRecord* clockField = ClockRecord(s)) {
        text = FormatValue(ClockValue(clockField->Number("register").value_or(0)),
                           RegisterFormat(page, s));
      } else {
        switch (RegisterMasking(s)) {
          case Masking::Hidden:
            page.ElemKind[s] = 0;
            return;
          case Masking::Asterisks:
            text = "***";
            break;
          case Masking::None:
            text = FormatValue(RegisterRaw(s), RegisterFormat(page, s));
            break;
        }
      }
      page.ElemTextA[s].Assign(text);
      page.ElemTextB[s].Assign(text);
      break;
    }
    case el::kKindDynamicText: {
      const compiler::ImageRecord* record = RecordOf(s);
      const std::uint16_t value = memory.Word(LinkWordAddress(el::DynamicTextElement(page, s)));
      std::string one;
      std::string two;
      for (std::size_t i = 0; record != nullptr && i < record->statesOne.size(); ++i) {
        if (record->statesOne[i].value != value) continue;
        one = record->statesOne[i].text;
        if (i < record->statesTwo.size()) two = record->statesTwo[i].text;
        break;
      }
      page.ElemTextA[s].Assign(one);
      page.ElemTextB[s].Assign(two);
      break;
    }
    case el::kKindAsciiChinese: {
      const el::AsciiChineseElement text(page, s);
      WordAddress address = LinkWordAddress(text);
      std::string shown;
      for (int i = 0; i < text.length(); ++i) {
        const std::uint16_t word = memory.Word(address);
        const char c = static_cast<char>(i % 2 == 0 ? word & 0xFF : word >> 8);
        if (c == 0) break;
        shown += c;
        if (i % 2 == 1) ++address.number;
      }
      page.ElemTextA[s].Assign(shown);
      page.ElemTextB[s].Assign(shown);
      break;
    }
    case el::kKindBitSwitch:
      // An invisible switch is touched where it stands but not drawn.
      if (page.ElemByteD[s] != 0) page.ElemKind[s] = 0;
      break;
    case el::kKindPicture: {
      const el::PictureElement picture(page, s);
      if (picture.visibilityByBit() != 0 && !memory.Bit(OperandBit(picture))) page.ElemKind[s] = 0;
      break;
    }
    case el::kKindRectangle:
    case el::kKindEllipse: {
      el::ShapeElement shape(page, s);
      if (shape.visibilityByRegister() != 0 &&
          memory.Word(PanelWord(shape.visibilityRegister())) == 0) {
        page.ElemKind[s] = 0;
        return;
      }
      // A moving shape is offset from its place by its registers' signed values.
      if (shape.movesHorizontally() != 0) {
        shape.left() = static_cast<std::uint16_t>(
            shape.left() + static_cast<std::int16_t>(memory.Word(
                               PanelWord(static_cast<std::uint32_t>(shape.horizontalRegister())))));
      }
      if (shape.movesVertically() != 0) {
        shape.top() = static_cast<std::uint16_t>(
            shape.top() + static_cast<std::int16_t>(memory.Word(
                              PanelWord(static_cast<std::uint32_t>(shape.verticalRegister())))));
      }
      break;
    }
    default:
      break;
  }
}

std::vector<BitAddress> PanelSession::State::AlarmBits() const {
  std::vector<BitAddress> bits;
  const std::uint32_t start = Setting(field::kAlarmStart);
  const bool wordBits = Setting(field::kAlarmKind) == 0;
  for (std::size_t i = 0; i < image.Alarms().size(); ++i) {
    const auto n = static_cast<std::uint32_t>(i);
    bits.push_back(wordBits ? BitAddress{0, 0, start + n / 16, static_cast<std::uint8_t>(n % 16)}
                            : BitAddress{0, 1, start + n, 0});
  }
  return bits;
}

void PanelSession::State::ShowAlarms(Screen& screen) const {
  const std::vector<BitAddress> bits = AlarmBits();
  for (std::size_t i = 0; i < bits.size(); ++i) {
    if (memory.Bit(bits[i])) screen.activeAlarms.push_back(image.Alarms()[i]);
  }
}

// ---- PanelSession ----

PanelSession::PanelSession(std::unique_ptr<State> state) : state_(std::move(state)) {}
PanelSession::PanelSession(PanelSession&&) noexcept = default;
PanelSession& PanelSession::operator=(PanelSession&&) noexcept = default;
PanelSession::~PanelSession() = default;

Result<PanelSession> PanelSession::Start(compiler::DecodedImage image, RegisterKinds kinds,
                                         SessionOptions options) {
  if (image.Pages().empty()) {
    return Error{Bilingual{"目标文件中没有画面", "The image holds no pages"}};
  }
  auto state = std::make_unique<State>();
  state->image = std::move(image);
  state->memory = RegisterMemory(std::move(kinds));
  state->options = std::move(options);
  state->protocol = state->Setting(field::kLink1Protocol);
  state->clock = state->options.now();
  state->languageTwo = state->Setting(field::kStartLanguage) == 1;
  for (const compiler::ImagePage& page : state->image.Pages()) {
    state->pageIndex.emplace(page.number, static_cast<int>(state->pages.size()));
    state->pages.push_back({&page, {}});
  }
  const auto initial = state->pageIndex.find(state->Setting(field::kInitialPage));
  state->current = -1;
  state->ShowPage(initial != state->pageIndex.end() ? initial->second : 0);
  return PanelSession(std::move(state));
}

const compiler::DecodedImage& PanelSession::Image() const {
  return state_->image;
}
RegisterMemory& PanelSession::Memory() {
  return state_->memory;
}
const RegisterMemory& PanelSession::Memory() const {
  return state_->memory;
}
int PanelSession::PageNumber() const {
  return state_->Current().image->number;
}

std::vector<int> PanelSession::PageNumbers() const {
  std::vector<int> numbers;
  for (const PageState& page : state_->pages) numbers.push_back(page.image->number);
  return numbers;
}

Status PanelSession::GoToPage(int number) {
  return state_->JumpTo(number) ? Status::Ok() : Status(kNoSuchPage);
}

void PanelSession::Advance(std::chrono::milliseconds elapsed) {
  State& s = *state_;
  s.clock += elapsed;
  s.sinceMacro += elapsed;
  while (s.sinceMacro >= kMacroPeriod) {
    s.sinceMacro -= kMacroPeriod;
    RunMacro();
  }
  s.SampleTrends(elapsed);
  s.FollowPlcPage();
}

void PanelSession::RunMacro() {
  RunClockMacro(state_->image.Macro(), state_->memory);
}

void PanelSession::PressKey(int key) {
  State& s = *state_;
  if (key < 0 || key >= kPanelKeyCount) return;
  s.WritePairBit(s.Setting(field::kKeyRegister), key, true);
  if (key == kKeyEscape) return CancelEntry();
  if (key == kKeyEnter) {
    if (s.entry) {
      (void)ConfirmEntry(s.entry->typed);  // a refused entry stays open to be corrected
    } else if (s.focus) {
      s.Use(*s.focus, false);
    }
    return;
  }
  if (s.entry && key >= kKeyDigitZero && key < kKeyDigitZero + 10) {
    s.entry->typed += static_cast<char>('0' + key - kKeyDigitZero);
    return;
  }
  const int keys =
      compiler::ProtocolHasRegisterOffset(s.protocol) ? kKeysWithRegisterOffset : kPageKeyCount;
  const int jump = key < keys ? s.Current().image->keyJumps[static_cast<std::size_t>(key)] : 0;
  // 250..255 call the panel's system screens, which the simulator does not have.
  if (jump >= 1 && jump <= kLastPageNumber && s.JumpTo(jump)) return;
  if (jump == 0) {
    if (key == kKeyUp || key == kKeyLeft) return s.MoveFocus(-1);
    if (key == kKeyDown || key == kKeyRight) return s.MoveFocus(1);
  }
  // A bit switch on a panel key acts as if touched.
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    const PageRecord& p = s.Page();
    if (p.ElemKind[slot] == el::kKindBitSwitch && p.ElemWordB[slot] == key) {
      s.Use(slot, false);
      s.heldKeySwitches.insert(slot);
    }
  }
}

void PanelSession::ReleaseKey(int key) {
  State& s = *state_;
  if (key < 0 || key >= kPanelKeyCount) return;
  s.WritePairBit(s.Setting(field::kKeyRegister), key, false);
  for (int slot : s.heldKeySwitches) {
    if (s.Page().ElemKind[slot] == el::kKindBitSwitch && s.Page().ElemWordB[slot] == key) {
      s.ReleaseSwitch(slot);
    }
  }
  s.heldKeySwitches.clear();
  s.heldSwitch.reset();
}

void PanelSession::Touch(int x, int y) {
  State& s = *state_;
  const PageRecord& p = s.Page();
  for (int slot = model::kSlotCount - 1; slot >= 0; --slot) {
    const int kind = p.ElemKind[slot];
    if (kind == 0) continue;
    const int left = static_cast<std::int16_t>(p.ElemLeft[slot]) - 5;
    const int top = static_cast<std::int16_t>(p.ElemTop[slot]) - 5;
    if (x < left || y < top || x >= left + p.ElemWidth[slot] || y >= top + p.ElemHeight[slot]) {
      continue;
    }
    if (kind != el::kKindFunctionKey && kind != el::kKindBitSwitch && !s.TakesEntry(slot) &&
        s.ClockRecord(slot) == nullptr) {
      continue;
    }
    s.Use(slot, false);
    return;
  }
}

void PanelSession::ReleaseTouch() {
  State& s = *state_;
  if (s.heldSwitch) s.ReleaseSwitch(*s.heldSwitch);
  s.heldSwitch.reset();
}

const std::optional<Entry>& PanelSession::PendingEntry() const {
  return state_->entry;
}

Status PanelSession::ConfirmEntry(std::string_view text) {
  if (state_->entry) state_->entry->typed = std::string(text);
  return state_->Confirm(text);
}

void PanelSession::CancelEntry() {
  state_->entry.reset();
}

void PanelSession::EditEntry(std::string typed) {
  if (state_->entry) state_->entry->typed = std::move(typed);
}

std::array<bool, kLedCount> PanelSession::Leds() const {
  std::array<bool, kLedCount> leds{};
  const std::uint32_t first = state_->Setting(field::kLedRegister);
  for (int i = 0; i < kLedCount; ++i) {
    const std::uint16_t word =
        state_->memory.Word(PanelWord(first + static_cast<std::uint32_t>(i / 16)));
    leds[static_cast<std::size_t>(i)] = ((word >> (i % 16)) & 1) != 0;
  }
  return leds;
}

Screen PanelSession::BuildScreen() const {
  const State& s = *state_;
  Screen screen;
  screen.pageNumber = s.Current().image->number;
  const int model = s.Setting(field::kPanelModel) & 0x3F;
  const editor::PageSize size = editor::ScreenSizeOfModel(model);
  screen.width = size.width;
  screen.height = size.height;
  screen.page = std::make_unique<PageRecord>(s.Page());
  screen.settings = std::make_unique<PageRecord>();
  model::At(*screen.settings, model::settings::kPanelModel) = static_cast<std::uint16_t>(model);
  model::At(*screen.settings, model::settings::kStartLanguage) = s.languageTwo ? 1 : 0;
  screen.languageTwo = s.languageTwo;

  PageRecord& page = *screen.page;
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    const int kind = page.ElemKind[slot];
    if (kind == 0) continue;
    s.ShowValue(page, slot);
    switch (page.ElemKind[slot]) {
      case el::kKindLamp:
        if (s.memory.Bit(OperandBit(el::LampElement(page, slot)))) screen.onSlots.push_back(slot);
        break;
      case el::kKindBitSwitch:
        if (s.memory.Bit(OperandBit(el::BitSwitchElement(page, slot)))) {
          screen.onSlots.push_back(slot);
        }
        break;
      case el::kKindPicture: {
        const int number = el::PictureElement(page, slot).pictureNumber();
        if (number < static_cast<int>(s.image.Pictures().size())) {
          screen.pictures.emplace_back(slot, number);
        }
        break;
      }
      case el::kKindBarGraph:
        screen.bars.push_back({slot, s.BarFraction(slot)});
        break;
      case el::kKindTrendChart: {
        TrendTrace trace;
        trace.slot = slot;
        trace.capacity = el::TrendChartElement(page, slot).dataPoints();
        const auto found = s.trends.find(slot);
        if (found != s.trends.end()) trace.samples = found->second.samples;
        screen.trends.push_back(std::move(trace));
        break;
      }
      default:
        break;
    }
  }
  screen.focusSlot = s.focus;
  screen.entry = s.entry;
  s.ShowAlarms(screen);
  return screen;
}

std::vector<WordAddress> PanelSession::WordsInUse() const {
  const State& s = *state_;
  const PageRecord& p = s.Page();
  std::set<WordAddress> words;
  const auto addValue = [&](WordAddress address, bool is32) {
    words.insert(address);
    if (is32) words.insert({address.link, address.kind, address.number + 1});
  };
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    switch (p.ElemKind[slot]) {
      case el::kKindRegister: {
        if (s.ClockRecord(slot) != nullptr) break;
        const el::RegisterElement reg(p, slot);
        addValue(RegisterWord(p, slot), RegisterFormat(p, slot).is32);
        if ((reg.keyCondition() >> 4) != 0) words.insert(PanelWord(reg.keyRegister()));
        if (reg.indirectLimits() != 0) {
          const bool is32 = RegisterFormat(p, slot).is32;
          addValue(PanelWord(static_cast<std::uint32_t>(reg.upperLimit())), is32);
          addValue(PanelWord(static_cast<std::uint32_t>(reg.lowerLimit())), is32);
        }
        break;
      }
      case el::kKindDynamicText:
        words.insert(LinkWordAddress(el::DynamicTextElement(p, slot)));
        break;
      case el::kKindAsciiChinese: {
        const el::AsciiChineseElement text(p, slot);
        WordAddress address = LinkWordAddress(text);
        for (int i = 0; i < (text.length() + 1) / 2; ++i, ++address.number) words.insert(address);
        break;
      }
      case el::kKindTrendChart:
      case el::kKindBarGraph: {
        const el::OperandByte operand = el::OperandByte::Unpack(p.ElemByteB[slot]);
        addValue({static_cast<std::uint8_t>(operand.link),
                  static_cast<std::uint8_t>(operand.registerKind), p.ElemWordA[slot]},
                 operand.bitOrType == 1);
        if (p.ElemKind[slot] == el::kKindBarGraph) {
          const el::BarGraphElement bar(p, slot);
          if (bar.fullScaleIndirect() != 0) words.insert(PanelWord(bar.fullScaleRegister()));
          if (bar.zeroIndirect() != 0) words.insert(PanelWord(bar.zeroRegister()));
        }
        break;
      }
      case el::kKindRectangle:
      case el::kKindEllipse: {
        const el::ShapeElement shape(p, slot);
        if (shape.visibilityByRegister() != 0) words.insert(PanelWord(shape.visibilityRegister()));
        if (shape.movesHorizontally() != 0) {
          words.insert(PanelWord(static_cast<std::uint32_t>(shape.horizontalRegister())));
        }
        if (shape.movesVertically() != 0) {
          words.insert(PanelWord(static_cast<std::uint32_t>(shape.verticalRegister())));
        }
        break;
      }
      default:
        break;
    }
  }
  if (s.Setting(field::kFollowPageRegister) != 0) {
    words.insert(PanelWord(s.Setting(field::kPageSelectRegister)));
  }
  const std::uint32_t leds = s.Setting(field::kLedRegister);
  words.insert(PanelWord(leds));
  words.insert(PanelWord(leds + 1));
  return {words.begin(), words.end()};
}

std::vector<BitAddress> PanelSession::BitsInUse() const {
  const State& s = *state_;
  const PageRecord& p = s.Page();
  std::set<BitAddress> bits;
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    switch (p.ElemKind[slot]) {
      case el::kKindLamp:
        bits.insert(OperandBit(el::LampElement(p, slot)));
        break;
      case el::kKindBitSwitch:
        bits.insert(OperandBit(el::BitSwitchElement(p, slot)));
        break;
      case el::kKindPicture: {
        const el::PictureElement picture(p, slot);
        if (picture.visibilityByBit() != 0) bits.insert(OperandBit(picture));
        break;
      }
      default:
        break;
    }
  }
  for (const BitAddress& bit : s.AlarmBits()) bits.insert(bit);
  return {bits.begin(), bits.end()};
}

void PanelSession::OnWrite(std::function<void(const WordAddress&)> words,
                           std::function<void(const BitAddress&)> bits) {
  state_->wordWritten = std::move(words);
  state_->bitWritten = std::move(bits);
}

}  // namespace dravik::sim
