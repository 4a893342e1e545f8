#pragma once
// The simulated panel: a device image running as the panel runs it. It keeps the current
// page, the registers, the clock, the trend samples, the alarms and the numeric entry in
// progress; the screen asks it what to show (`BuildScreen`) and hands it the keys and
// touches. Time is given to it (`Advance`), so tests and the headless run are exact.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "compiler/image_reader.h"
#include "model/page_record.h"
#include "platform/bilingual.h"
#include "platform/local_time.h"
#include "platform/result.h"
#include "sim/register_memory.h"

namespace dravik::sim {

// The panel's keys: the 22 rows of the page key table (F1..F5, F6 or CLR, the four
// arrows, the monitor or HOME key, the diagnosis or ALM key, 0..9), then Enter and Esc.
inline constexpr int kPageKeyCount = 22;
inline constexpr int kKeyEnter = 22;
inline constexpr int kKeyEscape = 23;
inline constexpr int kPanelKeyCount = 24;
inline constexpr int kLedCount = 32;
// The clock macro runs this often.
inline constexpr std::chrono::milliseconds kMacroPeriod{100};

// A trend chart's trace: the samples so far, oldest first, each as the fraction of the
// chart's height (0 at the zero value, 1 at full scale, clamped).
struct TrendTrace {
  int slot = 0;
  std::vector<double> samples;
  int capacity = 0;  // the chart's number of data points
};

// A bar graph's level: the fraction of the bar that is filled (0..1).
struct BarLevel {
  int slot = 0;
  double fraction = 0;
};

// A numeric entry in progress: the register field or dynamic text being set, what has
// been typed and the limits it will be checked against.
struct Entry {
  int slot = 0;
  std::string typed;  // ASCII: digits, an optional '-' and '.'
  std::int64_t lower = 0;
  std::int64_t upper = 0;
  int decimals = 0;
  // The pad asks for the super password before the element at `slot` may be used.
  bool password = false;
};

// What the screen shows at one moment.
struct Screen {
  int pageNumber = 0;
  int width = 0;
  int height = 0;
  // The current page rebuilt as slots for the page renderers, with the values of the
  // moment already in place: a register's text is its value in its format, a dynamic
  // text shows the state of its value, hidden elements are left out (kind 0). Texts are
  // GBK as in a project.
  std::unique_ptr<model::PageRecord> page;
  // The settings the renderers read: panel model and language.
  std::unique_ptr<model::PageRecord> settings;
  // Lamps and bit switches that are ON (the renderers' ON appearance).
  std::vector<int> onSlots;
  // Picture elements: slot and the index of the picture in the image's picture section
  // (nothing shown when the image has no such picture).
  std::vector<std::pair<int, int>> pictures;
  std::vector<TrendTrace> trends;
  std::vector<BarLevel> bars;
  std::optional<int> focusSlot;  // the entry field that has the focus
  std::optional<Entry> entry;    // the numeric pad is open
  std::vector<std::string> activeAlarms;  // GBK, in alarm order
  bool languageTwo = false;
};

struct SessionOptions {
  // The date and time the panel's clock starts from, read as UTC fields: by default the
  // machine's local time, as a panel set by its owner shows it; tests give a fixed one.
  std::function<std::chrono::system_clock::time_point()> now = [] {
    return platform::AsLocalWallClock(std::chrono::system_clock::now());
  };
};

class PanelSession {
 public:
  // Starts the panel on `image` (already read) with the register kinds of its Link 1
  // protocol; shows the initial page, or the first page when the image has no such page.
  static Result<PanelSession> Start(compiler::DecodedImage image, RegisterKinds kinds,
                                    SessionOptions options = {});

  PanelSession(PanelSession&&) noexcept;
  PanelSession& operator=(PanelSession&&) noexcept;
  ~PanelSession();

  const compiler::DecodedImage& Image() const;
  RegisterMemory& Memory();
  const RegisterMemory& Memory() const;

  int PageNumber() const;
  // Every page number the image holds, in its order.
  std::vector<int> PageNumbers() const;
  // Shows page `number`; refused (nothing changes) when the image has no such page.
  Status GoToPage(int number);

  // Lets `elapsed` pass: the clock moves, the macro runs once per 100 ms passed, trend
  // charts take their samples, a page change asked by the PLC register is followed.
  void Advance(std::chrono::milliseconds elapsed);
  // One run of the clock macro now (also what Advance does every 100 ms).
  void RunMacro();

  // A panel key pressed and released: page jumps through the page's key table, the
  // arrows move the entry focus, Enter opens or confirms the entry, Esc cancels it, the
  // digits type into an open entry. The key register mirrors the keys held down.
  void PressKey(int key);
  void ReleaseKey(int key);
  // A touch at a screen point and its release: function keys, bit switches (set, reset,
  // hold while touched, alternate), entry fields (open the numeric pad).
  void Touch(int x, int y);
  void ReleaseTouch();

  const std::optional<Entry>& PendingEntry() const;
  // Types `text` into the open entry (replacing what was typed) and confirms it: the
  // value is checked against the limits and written, or refused with the reason.
  Status ConfirmEntry(std::string_view text);
  void CancelEntry();
  // Replaces what has been typed into the open entry (the desktop's keyboard adds the
  // sign, the decimal point and Backspace, which the panel's keys lack).
  void EditEntry(std::string typed);

  // The LEDs as the LED registers drive them.
  std::array<bool, kLedCount> Leds() const;

  Screen BuildScreen() const;

  // The registers the current page shows or writes, the alarm bits and the page-change
  // register: what an on-line run must read from the PLC.
  std::vector<WordAddress> WordsInUse() const;
  std::vector<BitAddress> BitsInUse() const;
  // Called with every register the panel itself writes (entries, switches, macro,
  // key and page registers), so an on-line run can send it to the PLC.
  void OnWrite(std::function<void(const WordAddress&)> words,
               std::function<void(const BitAddress&)> bits);

 private:
  struct State;
  explicit PanelSession(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace dravik::sim
