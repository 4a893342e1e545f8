// dravik-panel-emu: the panel (or its boot loader) on a pseudo-terminal, for trying the
// download and firmware commands by hand or from scripts. Prints the device to open on
// the first line of its output and runs until SIGINT or SIGTERM; then writes what the
// panel received (--out) and a summary to stderr.

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "comm/firmware_session.h"
#include "emulators/boot_loader_emulator.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"

namespace {

void Usage(std::FILE* out) {
  std::fprintf(
      out,
      "usage: dravik-panel-emu [--probe-baud N]... [--modbus-baud N] [--wire-time]\n"
      "                        [--silent] [--no-ack] [--boot-loader] [--out FILE] [--help]\n"
      "  --probe-baud N   answer the probe only at N baud (repeatable; default: any)\n"
      "  --modbus-baud N  take Modbus frames only at N baud (default 115200, 0 = any)\n"
      "  --wire-time      take and send each byte after its time on the wire\n"
      "  --silent         answer nothing\n"
      "  --no-ack         never confirm a block\n"
      "  --boot-loader    be the STM32 boot loader instead of the panel\n"
      "  --out FILE       at exit, write the rebuilt image (whole 2,048-byte blocks)\n"
      "                   or, with --boot-loader, the flash up to the last byte written\n");
}

}  // namespace

int main(int argc, char** argv) {
  dravik::test::PanelOptions panel;
  dravik::test::BootLoaderOptions boot;
  dravik::test::EmulatedLineOptions lineOptions;
  bool bootLoader = false;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) {
        Usage(stderr);
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--probe-baud") {
      panel.probeBauds.insert(static_cast<std::uint32_t>(std::strtoul(value(), nullptr, 10)));
    } else if (arg == "--modbus-baud") {
      panel.modbusBaud = static_cast<std::uint32_t>(std::strtoul(value(), nullptr, 10));
    } else if (arg == "--wire-time") {
      lineOptions.wireTime = true;
    } else if (arg == "--silent") {
      panel.silent = true;
      boot.silent = true;
    } else if (arg == "--no-ack") {
      panel.acknowledge = false;
    } else if (arg == "--boot-loader") {
      bootLoader = true;
    } else if (arg == "--out") {
      out = value();
    } else if (arg == "--help" || arg == "-h") {
      Usage(stdout);
      return 0;
    } else {
      Usage(stderr);
      return 2;
    }
  }

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before the emulator thread starts

  std::unique_ptr<dravik::test::ByteEmulator> emulator;
  dravik::test::PanelEmulator* panelEmulator = nullptr;
  dravik::test::BootLoaderEmulator* bootEmulator = nullptr;
  if (bootLoader) {
    auto e = std::make_unique<dravik::test::BootLoaderEmulator>(boot);
    bootEmulator = e.get();
    emulator = std::move(e);
  } else {
    auto e = std::make_unique<dravik::test::PanelEmulator>(panel);
    panelEmulator = e.get();
    emulator = std::move(e);
  }
  dravik::test::EmulatedLine line(*emulator, lineOptions);
  if (!line.ok()) {
    std::fprintf(stderr, "dravik-panel-emu: cannot create a pseudo-terminal: %s\n",
                 std::strerror(errno));
    return 1;
  }
  std::printf("%s\n", line.SlavePath().c_str());
  std::fflush(stdout);

  int received = 0;
  sigwait(&signals, &received);

  std::lock_guard lock(line.Mutex());
  dravik::test::Bytes result;
  if (panelEmulator != nullptr) {
    result = panelEmulator->Image();
    std::fprintf(stderr, "probes answered: %d, synchronisations: %zu, blocks: %zu\n",
                 panelEmulator->ProbesAnswered(), panelEmulator->Syncs().size(),
                 panelEmulator->Blocks().size());
  } else {
    std::size_t end = 0;
    for (const auto& command : bootEmulator->Commands()) {
      // Write Memory: 31 CE, address (4) + checksum, count, data, checksum.
      if (command.size() < 8 || command[0] != dravik::comm::kBootCmdWriteMemory) continue;
      const std::uint32_t address = static_cast<std::uint32_t>(command[2] << 24 | command[3] << 16 |
                                                               command[4] << 8 | command[5]);
      end = std::max<std::size_t>(end, address - dravik::comm::kFlashBase + command[7] + 1u);
    }
    result.assign(bootEmulator->Flash().begin(),
                  bootEmulator->Flash().begin() + static_cast<long>(end));
    std::fprintf(stderr, "syncs: %d, commands: %zu, flash bytes written up to: %zu\n",
                 bootEmulator->Syncs(), bootEmulator->Commands().size(), end);
  }
  if (!out.empty()) {
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(result.data()),
               static_cast<std::streamsize>(result.size()));
    if (!file) {
      std::fprintf(stderr, "dravik-panel-emu: cannot write %s\n", out.c_str());
      return 1;
    }
  }
  return 0;
}
