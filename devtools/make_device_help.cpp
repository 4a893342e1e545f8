// dravik-make-device-help: writes one help page "Device<n>.htm" per PLC protocol of the
// device-resource database, listing its register kinds, for the "?" buttons of the
// element dialogs. Usage: dravik-make-device-help QXRes.Dat OUTPUT_FOLDER

#include <cstdio>
#include <filesystem>
#include <string>

#include "params/device_resources.h"
#include "platform/files.h"

namespace {

using dravik::params::DeviceLists;

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string BitMeaning(const std::string& bitInfo) {
  const int bits = dravik::params::ListNumber(bitInfo);
  if (bits > 0) {
    return "bit of a word: <i>word</i>.<i>bit</i>, bits 0.." + std::to_string(bits) +
           " &mdash; 字内位，位号 0.." + std::to_string(bits);
  }
  if (bits < 0) return "plain bit, numbered in hexadecimal &mdash; 独立位（十六进制编号）";
  return "plain bit &mdash; 独立位";
}

std::string Page(int index, const std::string& protocol, const DeviceLists& lists) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"zh\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>" + Escape(protocol) + " &mdash; Dravik</title>\n"
      "<link rel=\"stylesheet\" href=\"style.css\">\n</head>\n<body>\n"
      "<p class=\"nav\"><a href=\"index.html\">Dravik 帮助 / Help</a> &rsaquo; "
      "<a href=\"devices.html\">PLC 协议 / Protocols</a></p>\n"
      "<h1>" + Escape(protocol) + "</h1>\n"
      "<p>协议编号 / protocol index: " + std::to_string(index) +
      ". 元件的寄存器种类取自下表；地址不得超过最大编号。Elements take their register kinds "
      "from the tables below; an address may not exceed the highest number. Elements can "
      "address the first eight kinds of each table.</p>\n";
  html += "<h2>字寄存器 / Word registers</h2>\n<table>\n<tr><th>#</th><th>种类 / Kind</th>"
          "<th>最大编号 / Highest number</th></tr>\n";
  for (std::size_t i = 0; i < lists.W_DeviceName.size(); ++i) {
    html += "<tr><td>" + std::to_string(i) + "</td><td>" + Escape(lists.W_DeviceName[i]) + "</td><td>" +
            Escape(dravik::params::ListEntry(lists.W_DeviceMax, i)) + "</td></tr>\n";
  }
  html += "</table>\n<h2>位寄存器 / Bit registers</h2>\n<table>\n<tr><th>#</th><th>种类 / Kind</th>"
          "<th>最大编号 / Highest number</th><th>编址 / Addressing</th></tr>\n";
  for (std::size_t i = 0; i < lists.B_DeviceName.size(); ++i) {
    html += "<tr><td>" + std::to_string(i) + "</td><td>" + Escape(lists.B_DeviceName[i]) + "</td><td>" +
            Escape(dravik::params::ListEntry(lists.B_DeviceMax, i)) + "</td><td>" +
            BitMeaning(dravik::params::ListEntry(lists.B_DeviceBit, i)) + "</td></tr>\n";
  }
  html += "</table>\n";
  if (!lists.W_DeviceName.empty()) {
    html += "<p>面板自身寄存器区 / The panel's own register area: <b>" + Escape(lists.W_DeviceName[0]) +
            "</b> 0.." + std::to_string(lists.MaxReg) + ".</p>\n";
  }
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dravik-make-device-help QXRes.Dat OUTPUT_FOLDER\n");
    return 2;
  }
  const std::filesystem::path database = argv[1];
  const std::filesystem::path folder = argv[2];
  auto sort = dravik::params::LoadDeviceSort(database);
  if (!sort) {
    std::fprintf(stderr, "%s\n", sort.message().c_str());
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::string index =
      "<!DOCTYPE html>\n<html lang=\"zh\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>PLC 协议 / Protocols &mdash; Dravik</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n"
      "</head>\n<body>\n<p class=\"nav\"><a href=\"index.html\">Dravik 帮助 / Help</a></p>\n"
      "<h1>PLC 协议 / Protocols</h1>\n<ul>\n";
  for (int i = 0; i < static_cast<int>(sort->size()); ++i) {
    auto lists = dravik::params::LoadDeviceLists(database, i, i);
    if (!lists) {
      std::fprintf(stderr, "%s\n", lists.message().c_str());
      return 1;
    }
    const std::string name = "Device" + std::to_string(i) + ".htm";
    const std::string html = Page(i, (*sort)[static_cast<std::size_t>(i)], *lists);
    const dravik::Status written = dravik::platform::WriteFileAtomic(
        folder / name, std::span(reinterpret_cast<const std::uint8_t*>(html.data()), html.size()));
    if (!written) {
      std::fprintf(stderr, "%s\n", written.message().c_str());
      return 1;
    }
    index += "<li><a href=\"" + name + "\">" + Escape((*sort)[static_cast<std::size_t>(i)]) + "</a></li>\n";
  }
  index += "</ul>\n</body>\n</html>\n";
  const dravik::Status written = dravik::platform::WriteFileAtomic(
      folder / "devices.html", std::span(reinterpret_cast<const std::uint8_t*>(index.data()), index.size()));
  if (!written) {
    std::fprintf(stderr, "%s\n", written.message().c_str());
    return 1;
  }
  return 0;
}
