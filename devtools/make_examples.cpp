// dravik-make-examples: builds the example projects shipped in data/examples from the
// core (placement defaults, project file, macro database, picture library), so they can
// be rebuilt whenever the formats move on. Usage: dravik-make-examples OUTPUT_FOLDER
//
// "茶叶整形机" (a tea-shaping machine) uses every element kind, an alarm list and a clock
// macro; "温度监控" is a small two-page project for a first look.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "elements/element_kind.h"
#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "macro/macro_database.h"
#include "macro/macro_row.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "pictures/picture_library.h"
#include "platform/files.h"
#include "platform/gbk.h"
#include "platform/image_codec.h"

namespace {

namespace fs = std::filesystem;
using namespace dravik;
using model::PageRecord;
namespace settings = model::settings;
namespace el = elements;

// Format word: border << 12 | font << 8 | alignment << 4.
constexpr std::uint16_t Format(int border, int font, int align) {
  return static_cast<std::uint16_t>(border << 12 | font << 8 | align << 4);
}
constexpr int kLeft = 0, kCentre = 1;
constexpr int kNoBorder = 0, kPlain = 1, kRaised = 2;

// Operand byte: link 1, register kind `kind`, bit number or data type `low`.
constexpr std::uint8_t Operand(int kind, int low) { return static_cast<std::uint8_t>(kind << 4 | low); }

// Register kinds of "Modbus RTU Master" (protocol 1), the PLC link of the examples.
constexpr int kWordD = 2;  // D, data registers of the PLC
constexpr int kBitX = 3;   // X, inputs
constexpr int kBitY = 4;   // Y, outputs
constexpr int kBitM = 5;   // M, internal relays

constexpr std::int32_t Rgb(int r, int g, int b) { return r | g << 8 | b << 16; }

template <class Field>
void Put(Field& field, std::string_view utf8) {
  field.Assign(platform::Utf8ToGbk(utf8));
}

class PageBuilder {
 public:
  PageBuilder(model::ProjectImage& image, int number, std::string_view name, std::int32_t background)
      : image_(image), page_(image.Page(number)), background_(background) {
    Put(page_.PageStrings[model::kPageName], name);
    page_.PageStrings[model::kPageNumberText] = std::to_string(number);
    page_.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
    page_.PageStrings[model::kPageBackColorText] = std::to_string(background);
    page_.PageStrings[model::kPageRegisterOffsetText] = "0";
  }

  // Places an element at page position (x, y) with the given size (0: its placement frame).
  int Place(int kind, int x, int y, int width = 0, int height = 0) {
    const el::GhostSize ghost =
        el::GhostSizeTable(kind, At(image_.Settings(), settings::kDefaultTextFont));
    el::Placement placement;
    placement.kind = kind;
    placement.x = x + 5;  // window coordinates
    placement.y = y + 5;
    placement.width = width > 0 ? width : ghost.width;
    placement.height = height > 0 ? height : ghost.height;
    placement.pageBackColor = background_;
    const std::optional<int> slot = el::PlaceElement(page_, image_.Settings(), placement);
    if (!slot) {
      std::fprintf(stderr, "no free slot for kind %d\n", kind);
      std::exit(1);
    }
    return *slot;
  }

  int Text(int x, int y, int w, int h, std::string_view zh, std::string_view en, int font,
           std::int32_t fore, std::int32_t back, std::uint16_t format) {
    const int s = Place(el::kKindText, x, y, w, h);
    Put(page_.ElemTextA[s], zh);
    Put(page_.ElemTextB[s], en);
    page_.ElemLongA[s] = back;
    page_.ElemLongB[s] = fore;
    page_.ElemWordC[s] = static_cast<std::uint16_t>(format | font << 8);
    return s;
  }

  int Register(int x, int y, int address, int digits, int decimals, bool input, int upper) {
    const int s = Place(el::kKindRegister, x, y, 16 * digits + 12, 26);
    page_.ElemWordA[s] = static_cast<std::uint16_t>(address);
    page_.ElemByteB[s] = Operand(kWordD, 0);
    page_.ElemByteC[s] = input ? 1 : 0;
    page_.ElemLongC[s] = upper;
    page_.ElemLongD[s] = 0;
    page_.ElemWordB[s] = static_cast<std::uint16_t>(digits << 8 | decimals);
    page_.ElemWordC[s] = Format(kRaised, 1, kCentre);
    std::string preview(static_cast<std::size_t>(digits - decimals), '8');
    if (decimals > 0) preview += "." + std::string(static_cast<std::size_t>(decimals), '8');
    Put(page_.ElemTextA[s], preview);
    return s;
  }

  int Lamp(int x, int y, int kind, int address, int shape, std::int32_t onColour) {
    const int s = Place(el::kKindLamp, x, y, 24, 24);
    page_.ElemWordA[s] = static_cast<std::uint16_t>(address);
    page_.ElemByteB[s] = Operand(kind, 0);
    page_.ElemLongA[s] = Rgb(90, 90, 90);
    page_.ElemLongB[s] = onColour;
    page_.ElemByteF[s] = static_cast<std::uint8_t>(shape);
    return s;
  }

  int FunctionKey(int x, int y, std::string_view zh, std::string_view en, int target) {
    const int s = Place(el::kKindFunctionKey, x, y, 100, 34);
    Put(page_.ElemTextA[s], zh);
    Put(page_.ElemTextB[s], en);
    page_.ElemLongA[s] = Rgb(40, 110, 60);
    page_.ElemLongB[s] = Rgb(255, 255, 255);
    page_.ElemWordC[s] = Format(kRaised, 0, kCentre);
    page_.ElemWordD[s] = 0x224;  // page jump
    page_.ElemLongD[s] = target;
    return s;
  }

  int BitSwitch(int x, int y, std::string_view zh, std::string_view en, int address, int action,
                int key) {
    const int s = Place(el::kKindBitSwitch, x, y, 100, 36);
    Put(page_.ElemTextA[s], zh);
    Put(page_.ElemNameA[s], en);
    Put(page_.ElemTextB[s], zh);
    Put(page_.ElemNameB[s], en);
    page_.ElemWordA[s] = static_cast<std::uint16_t>(address);
    page_.ElemByteB[s] = Operand(kBitM, 0);
    page_.ElemWordE[s] = static_cast<std::uint16_t>(action);
    page_.ElemWordB[s] = static_cast<std::uint16_t>(key);
    return s;
  }

  PageRecord& page() { return page_; }

  void KeyJump(int row, int target) { model::PageKeyJump(page_, row) = std::to_string(target); }

 private:
  model::ProjectImage& image_;
  PageRecord& page_;
  std::int32_t background_;
};

void PageKeys(PageBuilder& b) {
  // F1..F5 lead to the five pages on every page.
  for (int row = 0; row < 5; ++row) b.KeyJump(row, row + 1);
}

void Footer(PageBuilder& b, int current) {
  const char* zh[] = {"主画面", "参数", "趋势", "手动", "设备"};
  const char* en[] = {"Main", "Settings", "Trends", "Manual", "Machine"};
  for (int i = 0; i < 5; ++i) {
    if (i + 1 == current) continue;
    b.FunctionKey(8 + i * 94, 280, zh[i], en[i], i + 1);
  }
}

int Title(PageBuilder& b, std::string_view zh, std::string_view en) {
  return b.Text(0, 0, 480, 34, zh, en, 1, Rgb(255, 255, 255), Rgb(30, 80, 140), Format(kNoBorder, 0, kCentre));
}

void TeaMainPage(model::ProjectImage& image) {
  PageBuilder b(image, 1, "主画面", Rgb(236, 244, 236));
  PageKeys(b);
  Title(b, "茶叶整形机  TS-600", "Tea shaping machine TS-600");
  const int date = b.Place(el::kKindDate, 8, 40, 180, 28);
  b.page().ElemByteB[date] = 0;
  Put(b.page().ElemTextA[date], "YYYY-MM-DD");
  const int time = b.Place(el::kKindTime, 300, 40, 158, 28);
  b.page().ElemByteB[time] = 1;
  Put(b.page().ElemTextA[time], "HH:MM:SS");

  const int frame = b.Place(el::kKindRectangle, 8, 76, 464, 196);
  b.page().ElemLongB[frame] = Rgb(120, 140, 120);
  b.page().ElemWordE[frame] = 1;  // sunken

  const std::int32_t fore = Rgb(20, 40, 20), back = Rgb(236, 244, 236);
  // The units stand clear of the widest register, five digits from x 150 to 242.
  constexpr int kUnitX = 250;
  b.Text(20, 88, 120, 26, "锅体温度", "Pan temp.", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Register(150, 86, 100, 4, 1, false, 3000);
  b.Text(kUnitX, 88, 30, 26, "℃", "C", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Text(20, 122, 120, 26, "滚筒转速", "Drum speed", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Register(150, 120, 101, 4, 0, false, 120);
  b.Text(kUnitX, 122, 40, 26, "rpm", "rpm", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Text(20, 156, 120, 26, "本班产量", "Output", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Register(150, 154, 102, 5, 1, false, 65535);
  b.Text(kUnitX, 156, 40, 26, "kg", "kg", 0, fore, back, Format(kNoBorder, 0, kLeft));

  b.Text(300, 88, 80, 26, "运行", "Run", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Lamp(400, 88, kBitY, 0, 0, Rgb(0, 200, 0));
  b.Text(300, 122, 80, 26, "加热", "Heating", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Lamp(400, 122, kBitY, 1, 0, Rgb(255, 120, 0));
  b.Text(300, 156, 80, 26, "故障", "Fault", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Lamp(400, 156, kBitM, 100, 1, Rgb(230, 0, 0));

  const int bar = b.Place(el::kKindBarGraph, 440, 84, 20, 120);
  b.page().ElemWordA[bar] = 100;
  b.page().ElemByteB[bar] = Operand(kWordD, 0);
  b.page().ElemLongC[bar] = 3000;
  b.page().ElemLongB[bar] = Rgb(230, 60, 0);

  // State of the machine, chosen by D120.
  const int state = b.Place(el::kKindDynamicText, 20, 200, 250, 32);
  PageRecord& p = b.page();
  p.ElemWordA[state] = 120;
  p.ElemByteB[state] = 4;
  p.ElemWordC[state] = Format(kPlain, 0, kCentre);
  p.ElemLongA[state] = Rgb(255, 255, 220);
  p.ElemWordD[state] = static_cast<std::uint16_t>(kWordD << 8);  // link word: kind D, link 1
  const char* zh[] = {"停机", "预热", "整形", "冷却"};
  const char* en[] = {"Stopped", "Preheating", "Shaping", "Cooling"};
  for (int i = 0; i < 4; ++i) {
    char value[8];
    std::snprintf(value, sizeof value, "%04X", i);
    Put(p.DynTextStates[*model::TextEntry(state, 0, i)], std::string(zh[i]) + value);
    Put(p.DynTextStates[*model::TextEntry(state, 1, i)], std::string(en[i]) + value);
  }
  Put(p.ElemTextA[state], zh[0]);
  Put(p.ElemTextB[state], en[0]);
  Footer(b, 1);
}

void TeaSettingsPage(model::ProjectImage& image) {
  PageBuilder b(image, 2, "工艺参数", Rgb(240, 240, 248));
  PageKeys(b);
  Title(b, "工艺参数设定", "Process settings");
  const std::int32_t fore = Rgb(20, 20, 60), back = Rgb(240, 240, 248);
  struct Row {
    const char* zh;
    const char* en;
    int address;
    int digits, decimals, upper;
    const char* unit;
  } rows[] = {{"杀青温度", "Fixing temp.", 200, 4, 1, 3000, "℃"},
              {"揉捻时间", "Rolling time", 201, 4, 0, 3600, "s"},
              {"整形压力", "Shaping press.", 202, 4, 2, 1000, "MPa"},
              {"滚筒转速", "Drum speed", 203, 4, 0, 120, "rpm"},
              {"冷却时间", "Cooling time", 204, 4, 0, 1800, "s"}};
  int y = 44;
  for (const Row& r : rows) {
    b.Text(20, y + 2, 130, 26, r.zh, r.en, 0, fore, back, Format(kNoBorder, 0, kLeft));
    b.Register(160, y, r.address, r.digits, r.decimals, true, r.upper);
    b.Text(250, y + 2, 50, 26, r.unit, r.unit, 0, fore, back, Format(kNoBorder, 0, kLeft));
    y += 34;
  }
  b.Text(310, 46, 150, 26, "批次号", "Batch", 0, fore, back, Format(kNoBorder, 0, kLeft));
  const int batch = b.Place(el::kKindAsciiChinese, 310, 76, 160, 32);
  b.page().ElemWordA[batch] = 210;
  b.page().ElemByteB[batch] = 10;
  b.page().ElemWordD[batch] = static_cast<std::uint16_t>(kWordD << 8);
  Put(b.page().ElemTextA[batch], "LJ2024-001");
  Footer(b, 2);
}

void TeaTrendPage(model::ProjectImage& image) {
  PageBuilder b(image, 3, "温度趋势", Rgb(230, 236, 244));
  PageKeys(b);
  Title(b, "锅体温度趋势", "Pan temperature trend");
  const int trend = b.Place(el::kKindTrendChart, 40, 44, 400, 180);
  PageRecord& p = b.page();
  p.ElemWordA[trend] = 100;
  p.ElemByteB[trend] = Operand(kWordD, 0);
  p.ElemLongA[trend] = Rgb(0, 0, 0);
  p.ElemLongB[trend] = Rgb(0, 255, 0);
  p.ElemLongC[trend] = 3000;
  p.ElemWordB[trend] = 0x0806;
  p.ElemWordC[trend] = 60;
  p.ElemWordD[trend] = 5;
  p.ElemByteE[trend] = 1;
  const int scale = b.Place(el::kKindScale, 8, 44, 30, 180);
  p.ElemWordA[scale] = 6;
  p.ElemByteB[scale] = 5;
  p.ElemWordB[scale] = 2;  // ticks to the left of the chart
  const std::int32_t fore = Rgb(20, 20, 60), back = Rgb(230, 236, 244);
  b.Text(40, 232, 200, 26, "采样间隔 5 秒", "Sampled every 5 s", 0, fore, back, Format(kNoBorder, 0, kLeft));
  const int line = b.Place(el::kKindLine, 40, 262, 400, 2);
  p.ElemLongB[line] = Rgb(30, 80, 140);
  p.ElemWordC[line] = 2;
  Footer(b, 3);
}

void TeaManualPage(model::ProjectImage& image) {
  PageBuilder b(image, 4, "手动操作", Rgb(244, 240, 232));
  PageKeys(b);
  Title(b, "手动操作", "Manual operation");
  struct Switch {
    const char* zh;
    const char* en;
    int address, action;
  } switches[] = {{"加热", "Heater", 10, 3}, {"滚筒", "Drum", 11, 3}, {"风机", "Fan", 12, 3},
                  {"振动", "Vibrator", 13, 2}, {"复位", "Reset", 14, 0}};
  int y = 46;
  int key = 12;  // digit keys 0.. on the panel
  for (const Switch& s : switches) {
    b.BitSwitch(20, y, s.zh, s.en, s.address, s.action, key++);
    b.Lamp(140, y + 6, kBitM, s.address, 0, Rgb(0, 200, 0));
    y += 44;
  }
  const std::int32_t fore = Rgb(60, 40, 20), back = Rgb(244, 240, 232);
  b.Text(220, 50, 240, 26, "门限开关", "Door switch", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Lamp(420, 50, kBitX, 0, 1, Rgb(0, 160, 255));
  b.Text(220, 84, 240, 26, "急停", "Emergency stop", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Lamp(420, 84, kBitX, 1, 1, Rgb(230, 0, 0));
  Footer(b, 4);
}

platform::RgbImage TeaLeafPicture() {
  // A tea leaf on a light background, drawn from its outline so the example needs no file.
  platform::RgbImage image;
  image.width = 120;
  image.height = 90;
  image.rgb.assign(static_cast<std::size_t>(image.width * image.height * 3), 0);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const double u = (x - 60.0) / 52.0;
      const double v = (y - 45.0) / 26.0;
      const double leaf = u * u + (v - 0.35 * u * u) * (v - 0.35 * u * u) * 1.6;
      std::uint8_t r = 250, g = 248, bl = 235;
      if (leaf < 1.0) {
        const bool vein = std::abs(v - 0.35 * u * u) < 0.05 || std::abs(std::fmod(u * 5 + 10, 1.0) - 0.5) < 0.04;
        r = vein ? 170 : static_cast<std::uint8_t>(40 + 30 * leaf);
        g = vein ? 210 : static_cast<std::uint8_t>(130 + 40 * (1 - leaf));
        bl = vein ? 120 : 50;
      }
      const std::size_t at = image.PixelOffset(x, y);
      image.rgb[at] = r;
      image.rgb[at + 1] = g;
      image.rgb[at + 2] = bl;
    }
  }
  return image;
}

void TeaMachinePage(model::ProjectImage& image, int pictureId) {
  PageBuilder b(image, 5, "设备信息", Rgb(248, 248, 240));
  PageKeys(b);
  Title(b, "设备信息", "About the machine");
  const int picture = b.Place(el::kKindPicture, 20, 50, 120, 90);
  b.page().ElemWordE[picture] = static_cast<std::uint16_t>(pictureId);
  const int ellipse = b.Place(el::kKindEllipse, 170, 60, 70, 70);
  b.page().ElemLongB[ellipse] = Rgb(80, 150, 60);
  b.page().ElemWordD[ellipse] = 1;  // filled
  const std::int32_t fore = Rgb(40, 40, 20), back = Rgb(248, 248, 240);
  b.Text(260, 56, 210, 26, "型号: TS-600", "Model: TS-600", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Text(260, 86, 210, 26, "产能: 60 kg/h", "Capacity: 60 kg/h", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Text(260, 116, 210, 26, "电源: 380V 50Hz", "Supply: 380V 50Hz", 0, fore, back, Format(kNoBorder, 0, kLeft));
  const int line = b.Place(el::kKindLine, 20, 160, 440, 2);
  b.page().ElemLongB[line] = Rgb(120, 120, 120);
  b.Text(20, 176, 440, 26, "累计运行时间 (h)", "Running hours", 0, fore, back, Format(kNoBorder, 0, kLeft));
  b.Register(300, 174, 301, 5, 0, false, 65535);
  Footer(b, 5);
}

void TeaAlarms(model::ProjectImage& image) {
  PageRecord& s = image.Settings();
  const char* zh[] = {"杀青温度过高", "滚筒电机过载", "风机故障", "整形压力过低", "急停按钮按下", "门未关闭"};
  const char* en[] = {"Fixing temperature too high", "Drum motor overload", "Fan failure",
                      "Shaping pressure too low", "Emergency stop pressed", "Door open"};
  At(s, settings::kAlarmKind) = kBitM;
  At(s, settings::kAlarmStart) = 100;
  At(s, settings::kAlarmCount) = 6;
  for (int i = 0; i < 6; ++i) {
    Put(s.ElemTextA[settings::kAlarmTextFirst + i], zh[i]);
    Put(s.ElemTextB[settings::kAlarmTextFirst + i], en[i]);
  }
}

macro::MacroRow Row(int code, int a1t, int a1v, int a2t = 0, int a2v = 0, int a3t = 0, int a3v = 0) {
  macro::MacroRow row;
  row.OPt = static_cast<std::uint8_t>(code);
  row.A1t = static_cast<std::uint8_t>(a1t);
  row.A1v = static_cast<std::uint16_t>(a1v);
  row.A2t = static_cast<std::uint8_t>(a2t);
  row.A2v = static_cast<std::uint16_t>(a2v);
  row.A3t = static_cast<std::uint8_t>(a3t);
  row.A3v = static_cast<std::uint16_t>(a3v);
  return row;
}

bool WriteTeaMacro(const fs::path& project) {
  constexpr int kReg = macro::kKindRegister, kConst = 0;
  macro::MacroRows rows{};
  macro::MacroRow comment = Row(34, 0, 0);
  Put(comment.Comment, "运行计时：每100ms计一次，36000次为1小时");
  rows[0] = comment;
  rows[1] = Row(1, kReg, 300, kReg, 300, kConst, 1);      // 4X300 = 4X300 + 1
  rows[2] = Row(19, kReg, 300, kConst, 36000, kConst, 1);  // IF 4X300 < 36000 THEN GOTO LABEL 1
  rows[3] = Row(11, kReg, 300, kConst, 0);                 // 4X300 = 0 (one hour)
  rows[4] = Row(1, kReg, 301, kReg, 301, kConst, 1);      // 4X301 = 4X301 + 1 (hours)
  rows[5] = Row(26, kConst, 1);                            // LABEL 1
  rows[6] = Row(29, 0, 0);                                 // END
  const fs::path database = macro::MacroDatabasePath(project);
  if (Status made = macro::EnsureMacroDatabase(database, true); !made) {
    std::fprintf(stderr, "%s\n", made.message().c_str());
    return false;
  }
  if (Status saved = macro::ADOSaveFile(database, rows, true); !saved) {
    std::fprintf(stderr, "%s\n", saved.message().c_str());
    return false;
  }
  return true;
}

std::optional<int> AddTeaPicture(const fs::path& project, const fs::path& scratch) {
  const fs::path library = pictures::PictureLibraryPath(project);
  (void)platform::RemoveFileIfPresent(library);
  pictures::PictureLibrary pics(true);
  if (Status attached = pics.ADOConnected(project); !attached) {
    std::fprintf(stderr, "%s\n", attached.message().c_str());
    return std::nullopt;
  }
  const fs::path bmp = scratch / "茶叶.bmp";
  const std::vector<std::uint8_t> bytes = platform::EncodeBmp(TeaLeafPicture());
  if (Status written = platform::WriteFileAtomic(bmp, bytes); !written) {
    std::fprintf(stderr, "%s\n", written.message().c_str());
    return std::nullopt;
  }
  Result<int> id = pics.AddPicture(bmp);
  (void)platform::RemoveFileIfPresent(bmp);
  if (!id) {
    std::fprintf(stderr, "%s\n", id.message().c_str());
    return std::nullopt;
  }
  return *id;
}

void CommonSettings(model::ProjectImage& image, int panelModel, int protocol) {
  model::InitializeNewProject(image);
  PageRecord& s = image.Settings();
  At(s, settings::kPanelModel) = static_cast<std::uint16_t>(panelModel);
  At(s, settings::kLink1Protocol) = static_cast<std::uint16_t>(protocol);
  At(s, settings::kDefaultTextFont) = 0;
}

bool WriteProject(model::ProjectImage& image, const fs::path& file) {
  const Status written = model::WriteProjectFile(image, file);
  if (!written) std::fprintf(stderr, "%s\n", written.message().c_str());
  return written.ok();
}

bool TeaShapingMachine(const fs::path& folder) {
  const fs::path project = folder / "茶叶整形机.QX3";
  auto image = std::make_unique<model::ProjectImage>();
  CommonSettings(*image, 2, 1);  // VM30 480*320, Modbus RTU Master
  At(image->Settings(), settings::kClockMacroEnabled) = 1;
  const std::optional<int> picture = AddTeaPicture(project, folder);
  if (!picture || !WriteTeaMacro(project)) return false;
  TeaMainPage(*image);
  TeaSettingsPage(*image);
  TeaTrendPage(*image);
  TeaManualPage(*image);
  TeaMachinePage(*image, *picture);
  TeaAlarms(*image);
  return WriteProject(*image, project);
}

bool TemperatureMonitor(const fs::path& folder) {
  const fs::path project = folder / "温度监控.QX3";
  auto image = std::make_unique<model::ProjectImage>();
  CommonSettings(*image, 1, 1);  // VM20 320*240
  PageBuilder main(*image, 1, "温度", Rgb(255, 255, 255));
  main.Text(0, 0, 320, 30, "炉温监控", "Furnace temperature", 1, Rgb(255, 255, 255), Rgb(160, 40, 40),
            Format(kNoBorder, 0, kCentre));
  main.Text(20, 60, 120, 26, "当前温度", "Temperature", 0, 0, Rgb(255, 255, 255), Format(kNoBorder, 0, kLeft));
  main.Register(150, 58, 10, 4, 1, false, 12000);
  main.Text(20, 100, 120, 26, "设定温度", "Set point", 0, 0, Rgb(255, 255, 255), Format(kNoBorder, 0, kLeft));
  main.Register(150, 98, 11, 4, 1, true, 12000);
  main.FunctionKey(200, 190, "趋势", "Trend", 2);
  main.KeyJump(0, 2);
  PageBuilder trend(*image, 2, "趋势", Rgb(255, 255, 255));
  const int chart = trend.Place(el::kKindTrendChart, 10, 10, 300, 160);
  trend.page().ElemWordA[chart] = 10;
  trend.page().ElemByteB[chart] = Operand(kWordD, 0);
  trend.page().ElemLongC[chart] = 12000;
  trend.FunctionKey(200, 190, "返回", "Back", 1);
  trend.KeyJump(0, 1);
  return WriteProject(*image, project);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dravik-make-examples OUTPUT_FOLDER\n");
    return 2;
  }
  const fs::path folder = argv[1];
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), error.message().c_str());
    return 1;
  }
  if (!TeaShapingMachine(folder) || !TemperatureMonitor(folder)) return 1;
  return 0;
}
