#include "sim/online_master.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "comm/modbus_rtu.h"
#include "compiler/image_layout.h"
#include "compiler/image_reader.h"
#include "platform/serial_port_posix.h"
#include "tools/device_tables.h"

namespace dravik::sim {

namespace {

using platform::TComPortBaudRate;
using platform::TComPortDataBits;
using platform::TComPortParity;
using platform::TComPortStopBits;
using Frame = std::vector<std::uint8_t>;

// The FX-like map of the Modbus master's kinds, by name.
struct MapRow {
  std::string_view kind;
  bool bitKind;
  std::uint8_t readFunction;
  std::uint16_t base;
  bool writable;
};

constexpr std::array<MapRow, 13> kModbusMap{{
    {"4X", false, kFnReadHolding, 0, true},
    {"3X", false, kFnReadInput, 0, false},
    {"D", false, kFnReadHolding, 0, true},
    {"T", false, kFnReadHolding, 0xA000, true},
    {"C", false, kFnReadHolding, 0xC000, true},
    {"4X.b", true, kFnReadHolding, 0, true},
    {"0X", true, kFnReadCoils, 0, true},
    {"1X", true, kFnReadDiscreteInputs, 0, false},
    {"X", true, kFnReadDiscreteInputs, 0, false},
    {"Y", true, kFnReadCoils, 0, true},
    {"M", true, kFnReadCoils, 0x2000, true},
    {"S", true, kFnReadCoils, 0xE000, true},
    {"T", true, kFnReadCoils, 0xA000, true},
}};

// Link 1's line as the image stores it: list positions for speed and parity.
constexpr std::array kBaudRates{TComPortBaudRate::br9600, TComPortBaudRate::br19200,
                                TComPortBaudRate::br38400, TComPortBaudRate::br57600,
                                TComPortBaudRate::br115200};
constexpr std::array kParities{TComPortParity::ptNONE, TComPortParity::ptODD,
                               TComPortParity::ptEVEN};
// Data bits 6, 7, 8 and stop bits 1, 2.
constexpr std::array kDataBits{TComPortDataBits::db6BITS, TComPortDataBits::db7BITS,
                               TComPortDataBits::db8BITS};
constexpr std::array kStopBits{TComPortStopBits::sb1BITS, TComPortStopBits::sb2BITS};
// A reply time-out below this is shorter than a PLC's turn-around; the image's 0 means
// "not set".
constexpr std::chrono::milliseconds kShortestTimeout{50};

template <class Array>
auto Pick(const Array& values, int index, int fallback) {
  return index >= 0 && index < static_cast<int>(values.size())
             ? values[static_cast<std::size_t>(index)]
             : values[static_cast<std::size_t>(fallback)];
}

// An octal-digit address (X17) as the number it is (15); nothing when it has an 8 or 9.
std::optional<std::uint32_t> OctalValue(std::uint32_t digits) {
  std::uint32_t value = 0;
  std::uint32_t place = 1;
  for (; digits != 0; digits /= 10, place *= 8) {
    if (digits % 10 > 7) return std::nullopt;
    value += digits % 10 * place;
  }
  return value;
}

const MapRow* MapRowOf(std::string_view name, bool bitKind) {
  for (const MapRow& row : kModbusMap) {
    if (row.kind == name && row.bitKind == bitKind) return &row;
  }
  return nullptr;
}

std::uint8_t High(std::uint16_t value) {
  return static_cast<std::uint8_t>(value >> 8);
}
std::uint8_t Low(std::uint16_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint16_t WordAt(const Frame& frame, std::size_t offset) {
  return static_cast<std::uint16_t>(frame[offset] << 8 | frame[offset + 1]);
}

Frame RequestFrame(std::uint8_t slave, std::uint8_t function, std::uint16_t address,
                   std::uint16_t countOrValue) {
  return {slave, function, High(address), Low(address), High(countOrValue), Low(countOrValue)};
}

std::string Where(std::uint8_t function, std::uint16_t address) {
  return std::to_string(function) + ", " + std::to_string(address);
}

Status StatusOf(const Result<Frame>& reply) {
  return reply ? Status{} : Status(reply.error());
}

bool IsBitFunction(std::uint8_t function) {
  return function == kFnReadCoils || function == kFnReadDiscreteInputs;
}

}  // namespace

std::optional<ModbusPoint> ModbusPointOf(const RegisterKinds& kinds,
                                         const RegisterAddress& address) {
  if (const auto* word = std::get_if<WordAddress>(&address)) {
    const WordKind* kind = kinds.Word(word->link, word->kind);
    const MapRow* row = word->link == 0 && kind != nullptr ? MapRowOf(kind->name, false) : nullptr;
    if (row == nullptr || row->base + std::uint64_t{word->number} > 0xFFFF) return std::nullopt;
    return ModbusPoint{row->readFunction, static_cast<std::uint16_t>(row->base + word->number),
                       std::nullopt, row->writable};
  }
  const auto& bit = std::get<BitAddress>(address);
  const BitKind* kind = kinds.Bit(bit.link, bit.kind);
  const MapRow* row = bit.link == 0 && kind != nullptr ? MapRowOf(kind->name, true) : nullptr;
  if (row == nullptr) return std::nullopt;
  std::optional<std::uint32_t> number = bit.number;
  if (tools::OctalNumbered(kModbusRtuMasterProtocol, bit.kind, kind->bitInfo)) {
    number = OctalValue(bit.number);
  }
  if (!number || row->base + std::uint64_t{*number} > 0xFFFF) return std::nullopt;
  ModbusPoint point{row->readFunction, static_cast<std::uint16_t>(row->base + *number),
                    std::nullopt, row->writable};
  if (kind->InsideWords()) point.bit = static_cast<std::uint8_t>(bit.bit & 0x0F);
  return point;
}

std::vector<ReadRequest> PlanReads(const RegisterKinds& kinds,
                                   const std::vector<WordAddress>& words,
                                   const std::vector<BitAddress>& bits) {
  std::vector<std::pair<RegisterAddress, ModbusPoint>> points;
  auto add = [&](const RegisterAddress& address) {
    if (auto point = ModbusPointOf(kinds, address)) points.emplace_back(address, *point);
  };
  for (const WordAddress& word : words) add(word);
  for (const BitAddress& bit : bits) add(bit);
  std::sort(points.begin(), points.end(), [](const auto& a, const auto& b) {
    return std::tie(a.second.readFunction, a.second.address, a.first) <
           std::tie(b.second.readFunction, b.second.address, b.first);
  });

  std::vector<ReadRequest> plan;
  for (const auto& [address, point] : points) {
    const bool bitTable = point.IsBitTable();
    const int limit = bitTable ? kMaxReadBits : kMaxReadRegisters;
    const int gap = bitTable ? kBitGapFilled : kRegisterGapFilled;
    ReadRequest* last = plan.empty() ? nullptr : &plan.back();
    if (last != nullptr && last->function == point.readFunction) {
      const int end = last->start + last->count;  // one past the last address read
      const int spanned = point.address - last->start + 1;
      if (point.address < end) {
        last->targets.emplace_back(address, point);  // already read
        continue;
      }
      if (point.address - end <= gap && spanned <= limit) {
        last->count = static_cast<std::uint16_t>(spanned);
        last->targets.emplace_back(address, point);
        continue;
      }
    }
    plan.push_back({point.readFunction, point.address, 1, {{address, point}}});
  }
  return plan;
}

Status OnlineSupported(const compiler::DecodedImage& image) {
  if (image.Setting(compiler::image_field::kLink1Protocol) == kModbusRtuMasterProtocol) return {};
  return Error(Bilingual{"在线模拟需要 Modbus RTU Master 协议",
                         "On-line simulation needs the protocol Modbus RTU Master"});
}

OnlineLine LineOfImage(const compiler::DecodedImage& image) {
  namespace field = compiler::image_field;
  auto setting = [&image](const compiler::SettingsField& f) {
    return static_cast<int>(image.Setting(f));
  };
  OnlineLine line;
  // A position past a list (an image made elsewhere) takes the new project's setting.
  line.settings.baudRate = Pick(kBaudRates, setting(field::kLink1Baud), 3);
  line.settings.parity = Pick(kParities, setting(field::kLink1Parity), 2);
  // The image holds the data and stop bits as numbers (6 to 8, 1 or 2).
  line.settings.dataBits = Pick(kDataBits, setting(field::kLink1DataBits) - 6, 2);
  line.settings.stopBits = Pick(kStopBits, setting(field::kLink1StopBits) - 1, 0);
  line.slave = static_cast<std::uint8_t>(setting(field::kLink1ControllerId));
  line.timeout =
      std::max(kShortestTimeout, std::chrono::milliseconds(setting(field::kLink1Timeout)));
  return line;
}

OnlineMaster::OnlineMaster(platform::SerialPort& port, RegisterKinds kinds, OnlineLine line)
    : port_(port), kinds_(std::move(kinds)), line_(line) {}

Result<Frame> OnlineMaster::Transact(Frame request, std::size_t replyLength) {
  const std::uint8_t function = request[1];
  const std::uint16_t address = WordAt(request, 2);
  comm::AppendCrc(request);
  if (Status purged = port_.Purge(true, false); !purged) return purged.error();
  // The whole exchange gets the time-out plus the time both frames take on the wire.
  const auto deadline = std::chrono::steady_clock::now() + line_.timeout +
                        platform::WireTime(request.size() + replyLength, line_.settings);
  std::size_t sent = 0;
  while (sent < request.size()) {
    const Result<std::size_t> written = port_.Write(std::span(request).subspan(sent));
    if (!written) return written.error();
    sent += *written;
    if (sent < request.size()) {
      if (std::chrono::steady_clock::now() > deadline) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  Frame reply;
  std::array<std::uint8_t, 256> buffer{};
  constexpr std::size_t kExceptionLength = 5;
  while (reply.size() < replyLength) {
    if (reply.size() >= kExceptionLength && (reply[1] & 0x80) != 0) break;
    const Result<std::size_t> got = port_.Read(buffer);
    if (!got) return got.error();
    if (*got > 0) {
      reply.insert(reply.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(*got));
      continue;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      return Error(Bilingual{"PLC 没有回答 (站号 " + std::to_string(line_.slave) +
                                 ", 功能码、地址 " + Where(function, address) + ")",
                             "The PLC did not answer (slave " + std::to_string(line_.slave) +
                                 ", function and address " + Where(function, address) + ")"});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const std::size_t length = (reply[1] & 0x80) != 0 ? kExceptionLength : replyLength;
  reply.resize(length);
  const std::uint16_t crc = comm::Crc16Modbus(std::span(reply).first(length - 2));
  if (reply[length - 2] != Low(crc) || reply[length - 1] != High(crc)) {
    return Error(Bilingual{"PLC 的回答校验错误 (CRC), 功能码、地址 " + Where(function, address),
                           "The PLC's reply failed its CRC check (function and address " +
                               Where(function, address) + ")"});
  }
  if (reply[0] != line_.slave || (reply[1] & 0x7F) != function) {
    return Error(
        Bilingual{"PLC 的回答不属于这个请求 (功能码、地址 " + Where(function, address) + ")",
                  "The PLC's reply does not belong to the request (function and address " +
                      Where(function, address) + ")"});
  }
  if ((reply[1] & 0x80) != 0) {
    const std::string code = std::to_string(reply[2]);
    return Error(
        Bilingual{"PLC 拒绝了请求 (功能码、地址 " + Where(function, address) + "): 异常码 " + code,
                  "The PLC refused the request (function and address " + Where(function, address) +
                      "): exception " + code});
  }
  return reply;
}

Status OnlineMaster::Read(const ReadRequest& request,
                          std::map<RegisterAddress, std::uint16_t>& values) {
  const bool bits = IsBitFunction(request.function);
  const std::size_t dataBytes = bits ? (request.count + 7u) / 8u : 2u * request.count;
  const Result<Frame> reply = Transact(
      RequestFrame(line_.slave, request.function, request.start, request.count), 5 + dataBytes);
  if (!reply) return reply.error();
  if ((*reply)[2] != dataBytes) {
    return Error(Bilingual{
        "PLC 的回答长度不对 (功能码、地址 " + Where(request.function, request.start) + ")",
        "The PLC's reply has the wrong length (function and address " +
            Where(request.function, request.start) + ")"});
  }
  for (const auto& [address, point] : request.targets) {
    const std::size_t offset = point.address - request.start;
    std::uint16_t value = 0;
    if (bits) {
      value = ((*reply)[3 + offset / 8] >> (offset % 8)) & 1;
    } else {
      value = WordAt(*reply, 3 + 2 * offset);
      if (point.bit) value = (value >> *point.bit) & 1;
    }
    values[address] = value;
  }
  return {};
}

Status OnlineMaster::WriteRegisters(std::uint16_t start, const std::vector<std::uint16_t>& values) {
  if (values.size() == 1) {
    return StatusOf(Transact(RequestFrame(line_.slave, kFnWriteRegister, start, values[0]), 8));
  }
  Frame request = RequestFrame(line_.slave, kFnWriteRegisters, start,
                               static_cast<std::uint16_t>(values.size()));
  request.push_back(static_cast<std::uint8_t>(2 * values.size()));
  for (std::uint16_t value : values) {
    request.push_back(High(value));
    request.push_back(Low(value));
  }
  return StatusOf(Transact(std::move(request), 8));
}

Status OnlineMaster::Write(const PendingWrite& write) {
  const std::optional<ModbusPoint> point = ModbusPointOf(kinds_, write.address);
  if (!point) return {};  // Link 2 and kinds the PLC map lacks stay the simulator's own
  if (!point->writable) {
    return Error(Bilingual{
        "这个寄存器在 PLC 上只读 (功能码、地址 " + Where(point->readFunction, point->address) + ")",
        "This register is read-only on the PLC (function and address " +
            Where(point->readFunction, point->address) + ")"});
  }
  if (point->IsBitTable()) {
    return StatusOf(Transact(
        RequestFrame(line_.slave, kFnWriteCoil, point->address, write.value != 0 ? 0xFF00 : 0x0000),
        8));
  }
  if (!point->bit) return WriteRegisters(point->address, {write.value});
  // A bit of a holding register: the PLC's word as it is now, with that one bit changed.
  ReadRequest current{kFnReadHolding, point->address, 1, {}};
  const WordAddress scratch{0xFF, 0xFF, point->address};
  current.targets.emplace_back(scratch,
                               ModbusPoint{kFnReadHolding, point->address, std::nullopt, true});
  std::map<RegisterAddress, std::uint16_t> word;
  if (Status read = Read(current, word); !read) return read;
  const auto mask = static_cast<std::uint16_t>(1u << *point->bit);
  const std::uint16_t now = word[scratch];
  return WriteRegisters(point->address,
                        {static_cast<std::uint16_t>(write.value != 0 ? now | mask : now & ~mask)});
}

Status OnlineMaster::Cycle(const std::vector<PendingWrite>& writes,
                           const std::vector<ReadRequest>& reads,
                           std::map<RegisterAddress, std::uint16_t>& values,
                           std::size_t* writesTried) {
  if (writesTried != nullptr) *writesTried = writes.size();
  for (std::size_t i = 0; i < writes.size();) {
    // Words to neighbouring holding registers, in the order written (a double word's two
    // halves), go as one request.
    const std::optional<ModbusPoint> first = ModbusPointOf(kinds_, writes[i].address);
    const bool plainRegister = first && first->writable && !first->IsBitTable() && !first->bit;
    std::vector<std::uint16_t> run;
    if (plainRegister) {
      run.push_back(writes[i].value);
      while (i + run.size() < writes.size() && run.size() < kMaxWriteRegisters) {
        const auto next = ModbusPointOf(kinds_, writes[i + run.size()].address);
        if (!next || next->IsBitTable() || next->bit || !next->writable ||
            next->address != first->address + run.size()) {
          break;
        }
        run.push_back(writes[i + run.size()].value);
      }
    }
    const Status written = plainRegister ? WriteRegisters(first->address, run) : Write(writes[i]);
    i += std::max<std::size_t>(run.size(), 1);
    if (!written) {
      if (writesTried != nullptr) *writesTried = i;
      return written;
    }
  }
  for (const ReadRequest& request : reads) {
    if (Status read = Read(request, values); !read) return read;
  }
  return {};
}

void StoreValues(const std::map<RegisterAddress, std::uint16_t>& values, RegisterMemory& memory) {
  for (const auto& [address, value] : values) {
    if (const auto* word = std::get_if<WordAddress>(&address)) {
      memory.SetWord(*word, value);
    } else {
      memory.SetBit(std::get<BitAddress>(address), value != 0);
    }
  }
}

Result<std::unique_ptr<OnlineRunner>> OnlineRunner::Start(const std::string& device,
                                                          RegisterKinds kinds, OnlineLine line) {
  auto port = std::make_unique<platform::PosixSerialPort>();
  if (const std::optional<platform::PortOpenError> failed = port->Open(device)) {
    return Error(failed->Message());
  }
  if (Status configured = port->Configure(line.settings); !configured) return configured.error();
  return std::unique_ptr<OnlineRunner>(new OnlineRunner(std::move(port), std::move(kinds), line));
}

OnlineRunner::OnlineRunner(std::unique_ptr<platform::SerialPort> port, RegisterKinds kinds,
                           OnlineLine line)
    : port_(std::move(port)), master_(*port_, kinds, line), kinds_(std::move(kinds)) {
  thread_ = std::thread([this] { Loop(); });
}

OnlineRunner::~OnlineRunner() {
  Stop();
}

void OnlineRunner::Watch(const std::vector<WordAddress>& words,
                         const std::vector<BitAddress>& bits) {
  std::vector<ReadRequest> plan = PlanReads(kinds_, words, bits);
  std::lock_guard lock(mutex_);
  plan_ = std::move(plan);
  wake_.notify_all();
}

void OnlineRunner::QueueWrite(const WordAddress& address, std::uint16_t value) {
  std::lock_guard lock(mutex_);
  writes_.push_back({address, value});
  wake_.notify_all();
}

void OnlineRunner::QueueWrite(const BitAddress& address, bool on) {
  std::lock_guard lock(mutex_);
  writes_.push_back({address, static_cast<std::uint16_t>(on ? 1 : 0)});
  wake_.notify_all();
}

std::map<RegisterAddress, std::uint16_t> OnlineRunner::TakeValues() {
  std::lock_guard lock(mutex_);
  return std::exchange(values_, {});
}

std::optional<Bilingual> OnlineRunner::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

void OnlineRunner::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    wake_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

void OnlineRunner::Loop() {
  // A cycle with nothing to do waits this long for work; after a failure the line gets a
  // rest before the next try, so a missing PLC does not keep the line busy.
  constexpr std::chrono::milliseconds kIdle{20};
  constexpr std::chrono::milliseconds kAfterFailure{200};
  std::unique_lock lock(mutex_);
  while (!stop_) {
    std::vector<PendingWrite> writes = std::exchange(writes_, {});
    const std::vector<ReadRequest> plan = plan_;
    if (writes.empty() && plan.empty()) {
      wake_.wait_for(lock, kIdle);
      continue;
    }
    lock.unlock();
    std::map<RegisterAddress, std::uint16_t> values;
    std::size_t tried = 0;
    const Status status = master_.Cycle(writes, plan, values, &tried);
    lock.lock();
    // A write that failed is reported, not repeated; the ones behind it go next time.
    writes_.insert(writes_.begin(), writes.begin() + static_cast<std::ptrdiff_t>(tried),
                   writes.end());
    for (auto& [address, value] : values) values_[address] = value;
    lastError_ = status ? std::nullopt : std::optional<Bilingual>(status.error().Text());
    ++cycles_;
    if (!status) wake_.wait_for(lock, kAfterFailure, [this] { return stop_; });
  }
}

}  // namespace dravik::sim
