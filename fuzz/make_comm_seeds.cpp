// Writes the seed scripts of the two protocol targets: the replies the emulated panel and
// boot loader give a whole download and a whole upgrade, recorded per write in the
// script form the targets read. Run by scripts/fuzz.sh --seeds; the output is kept in
// fuzz/corpus.
//
//   dravik-fuzz-comm-seeds <corpus folder>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "comm/download_session.h"
#include "comm/firmware_session.h"
#include "comm_session.h"
#include "emulators/boot_loader_emulator.h"
#include "emulators/panel_emulator.h"

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
  const bool ok =
      Write(corpus / "modbus_reply" / "download", Download("download", {})) &&
      Write(corpus / "modbus_reply" / "unconfirmed", Download("unconfirmed", unconfirmed)) &&
      Write(corpus / "boot_loader_reply" / "upgrade", Upgrade("upgrade", {})) &&
      Write(corpus / "boot_loader_reply" / "nack", Upgrade("nack", nack));
  return ok ? 0 : 1;
}
