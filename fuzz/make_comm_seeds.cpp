// Writes the seed scripts of the two protocol targets: the replies the emulated panel and
// boot loader give a whole download and a whole upgrade, recorded per write in the
// script form the targets read. Run by scripts/fuzz.sh --seeds; the output is kept in
// fuzz/corpus.
//
//   dravik-fuzz-comm-seeds <corpus folder>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "comm/download_session.h"
#include "comm/firmware_session.h"
#include "comm_session.h"
#include "emulators/boot_loader_emulator.h"
#include "emulators/modbus_slave_emulator.h"
#include "emulators/panel_emulator.h"
#include "online_cycle.h"

using namespace dravik;
using namespace dravik::comm;
namespace fs = std::filesystem;

namespace {

test::LineInfo LineOf(const platform::SerialLineSettings& line) {
  const int parity = line.parity == platform::TComPortParity::ptNONE ? 0 : 1;
  const int stop = line.stopBits == platform::TComPortStopBits::sb1BITS ? 1 : 2;
  return {platform::BaudRateValue(line.baudRate),
          1 + platform::DataBitsValue(line.dataBits) + parity + stop};
}

// Runs `job` on a line the emulator answers and returns the replies it gave as a script;
// prints how the job ended (its last label), so a seed that no longer reaches its end is
// noticed.
template <class Job>
fuzz::Bytes Record(test::ByteEmulator& emulator, const char* name, Job job) {
  fuzz::ReplyScriptWriter script;
  fuzz::ScriptedLine line(
      [&](std::span<const std::uint8_t> written, const platform::SerialLineSettings& settings) {
        const fuzz::Bytes reply = emulator.Receive(written, LineOf(settings));
        script.Add(reply);
        return reply;
      });
  std::printf("%-24s %s\n", name, job(line).c_str());
  return script.Script();
}

fuzz::Bytes Download(const char* name, test::PanelOptions options) {
  test::PanelEmulator panel(std::move(options));
  return Record(panel, name, [](fuzz::ScriptedLine& line) {
    static RegisterMirror mirror;
    return DownloadSession(line.driver, line.clock, mirror,
                           fuzz::SampleImage(fuzz::kDownloadImageSize), TComPortNumber::pnCOM1)
        .Run()
        .label.english;
  });
}

fuzz::Bytes Upgrade(const char* name, test::BootLoaderOptions options) {
  test::BootLoaderEmulator bootLoader(options);
  return Record(bootLoader, name, [](fuzz::ScriptedLine& line) {
    return FirmwareSession(line.driver, line.clock, fuzz::SampleImage(fuzz::kFirmwareImageSize),
                           TComPortNumber::pnCOM1)
        .Run()
        .label.english;
  });
}

fuzz::Bytes OnlineCycle(const char* name, test::ModbusSlaveOptions options) {
  options.slave = fuzz::kOnlineSlave;
  test::ModbusSlaveEmulator plc(options);
  for (std::uint16_t address = 0; address < 16; ++address) {
    plc.Holding(address) = static_cast<std::uint16_t>(0x1111 * address);
    plc.Input(address) = static_cast<std::uint16_t>(address + 1);
    plc.SetCoil(address, address % 3 == 0);
    plc.SetDiscreteInput(address, address % 2 == 0);
  }
  fuzz::ReplyScriptWriter script;
  const sim::OnlineLine line = fuzz::OnlineLineSettings(std::chrono::milliseconds(2));
  fuzz::ScriptedPort port(
      [&](std::span<const std::uint8_t> written, const platform::SerialLineSettings& settings) {
        const fuzz::Bytes reply = plc.Receive(written, LineOf(settings));
        script.Add(reply);
        return reply;
      });
  (void)port.Open("/dev/scripted");
  (void)port.Configure(line.settings);
  sim::OnlineMaster master(port, fuzz::OnlineKinds(), line);
  std::map<sim::RegisterAddress, std::uint16_t> values;
  const Status cycled = master.Cycle(fuzz::OnlineWrites(), fuzz::OnlineReads(), values);
  std::printf("%-24s %s (%zu values)\n", name, cycled ? "read" : cycled.message(false).c_str(),
              values.size());
  return script.Script();
}

bool Write(const fs::path& file, const fuzz::Bytes& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const fs::path corpus = argv[1];
  test::PanelOptions unconfirmed;
  unconfirmed.acknowledge = false;
  test::BootLoaderOptions nack;
  nack.nackOnly = true;
  test::ModbusSlaveOptions badCrc;
  badCrc.corruptCrc = true;
  test::ModbusSlaveOptions shortTables;
  shortTables.tableSize = 0x2010;
  const bool ok =
      Write(corpus / "modbus_reply" / "download", Download("download", {})) &&
      Write(corpus / "modbus_reply" / "unconfirmed", Download("unconfirmed", unconfirmed)) &&
      Write(corpus / "boot_loader_reply" / "upgrade", Upgrade("upgrade", {})) &&
      Write(corpus / "boot_loader_reply" / "nack", Upgrade("nack", nack)) &&
      Write(corpus / "online_reply" / "cycle", OnlineCycle("cycle", {})) &&
      Write(corpus / "online_reply" / "bad_crc", OnlineCycle("bad_crc", badCrc)) &&
      Write(corpus / "online_reply" / "exception", OnlineCycle("exception", shortTables));
  return ok ? 0 : 1;
}
