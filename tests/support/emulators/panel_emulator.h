#pragma once
// The panel as the download sees it: a Modbus RTU slave 255 that answers the probe with
// the signature at the serial settings it is configured for, takes image blocks from its
// data window, rebuilds the image and acknowledges each block. Faults on request.

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "emulators/emulated_line.h"

namespace dravik::test {

enum class PanelFault { None, Drop, Corrupt };

// One complete request the panel received (after its CRC was found good).
struct PanelRequest {
  enum Kind { Probe, Write, Read } kind = Probe;
  std::uint16_t start = 0;
  std::uint16_t count = 0;
  int index = 0;  // how many requests of this kind came before
  std::uint32_t baud = 0;
};

struct PanelOptions {
  std::set<std::uint32_t> probeBauds;  // the probe is answered at these rates (empty: any)
  std::uint32_t modbusBaud = 115200;   // Modbus frames are taken at this rate only (0: any)
  bool silent = false;                 // answers nothing at all
  bool acknowledge = true;             // reports each block taken (register 3900 = 0)
  // Decides per request: answer, drop the request unseen, or corrupt the reply.
  std::function<PanelFault(const PanelRequest&)> fault;
};

struct PanelBlock {
  std::uint16_t blockNumber = 0;
  std::uint16_t lastBlock = 0;
  std::uint16_t percent = 0;
  std::uint32_t baud = 0;
};

struct PanelSync {
  std::array<std::uint16_t, 10> header{};  // registers 3900 ... 3909 as received
  std::uint32_t baud = 0;
};

class PanelEmulator final : public ByteEmulator {
 public:
  explicit PanelEmulator(PanelOptions options = {});

  Bytes Receive(std::span<const std::uint8_t> bytes, const LineInfo& line) override;

  // The image as rebuilt from the blocks since the last synchronisation: block b fills
  // bytes (b - 51) * 2048 ... + 2047 with the whole data window (a short last block
  // carries the previous block's tail after the image's end).
  const Bytes& Image() const { return image_; }
  const std::vector<PanelBlock>& Blocks() const { return blocks_; }
  const std::vector<PanelSync>& Syncs() const { return syncs_; }
  const std::vector<Bytes>& WriteFrames() const { return writeFrames_; }
  const std::vector<std::uint32_t>& ProbeBauds() const { return probeBauds_; }
  int ProbesAnswered() const { return probesAnswered_; }
  std::uint16_t Register(std::uint16_t address) const { return registers_[address]; }

 private:
  void TakeByte(std::uint8_t byte, const LineInfo& line, Bytes& reply);
  void HandleFrame(const Bytes& frame, const LineInfo& line, Bytes& reply);
  PanelFault FaultFor(const PanelRequest& request) const;

  PanelOptions options_;
  std::vector<std::uint16_t> registers_ = std::vector<std::uint16_t>(65536, 0);
  Bytes pending_;
  int probeRun_ = 0;
  int probes_ = 0;
  int writes_ = 0;
  int reads_ = 0;
  int probesAnswered_ = 0;
  Bytes image_;
  std::vector<PanelBlock> blocks_;
  std::vector<PanelSync> syncs_;
  std::vector<Bytes> writeFrames_;
  std::vector<std::uint32_t> probeBauds_;
};

}  // namespace dravik::test
