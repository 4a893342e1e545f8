#pragma once
// A project that carries something of everything the text form holds: every element kind
// (page 1), a crowded page (page 2), Chinese and undecodable texts, alarm texts, an
// unnamed settings entry, state texts, a macro and two pictures.

#include <cmath>
#include <memory>

#include "all_kinds_page.h"
#include "elements/element_kind.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "platform/gbk.h"
#include "platform/image_codec.h"
#include "textform/project_document.h"

namespace dravik::textform::fixture {

inline std::vector<std::uint8_t> SmallBmp(std::uint8_t shade) {
  platform::RgbImage picture;
  picture.width = 4;
  picture.height = 3;
  picture.rgb.assign(4 * 3 * 3, shade);
  picture.rgb[0] = 255;
  return platform::EncodeBmp(picture);
}

// The first slot of `page` holding `kind`.
inline int SlotOf(const model::PageRecord& page, int kind) {
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (page.ElemKind[slot] == kind) return slot;
  }
  return -1;
}

inline std::unique_ptr<ProjectContent> RichProject() {
  auto project = std::make_unique<ProjectContent>();
  model::ProjectImage& image = project->image;
  model::InitializeNewProject(image);
  bench::FillAllKindsPage(image, 1);
  bench::FillMixedPage(image, 2);
  model::PageRecord& settings = image.Settings();
  using namespace model::settings;
  model::At(settings, kSuperPassword) = platform::Utf8ToGbk("密码");
  model::At(settings, kAlarmCount) = 2;
  settings.ElemTextA[kAlarmTextFirst] = platform::Utf8ToGbk("温度过高");
  settings.ElemTextB[kAlarmTextFirst] = "Too hot";
  settings.ElemTextB[kAlarmTextFirst + 1] = "Door open";
  settings.ElemLongC[70] = 1234;  // an entry no name covers
  model::PageRecord& page = image.Page(1);
  // A text cut inside a double-byte character, as ShortString::Assign may leave one.
  const int text = SlotOf(page, elements::kKindText);
  page.ElemNameA[text] = std::string("\xC4\xE3\xBA", 3);
  page.PageStrings[model::kPageKeyJumpFirst + 3] = "7";
  const int dynamic = SlotOf(image.Page(2), elements::kKindDynamicText);
  image.Page(2).DynTextStates[*model::TextEntry(dynamic, 1, 2)] = platform::Utf8ToGbk("状态二");

  project->macro[0].OPt = 34;  // a comment row
  project->macro[0].Comment = platform::Utf8ToGbk("开始");
  project->macro[1].OPt = 1;
  project->macro[1].A1t = 1;
  project->macro[1].A1v = 100;
  project->macro[1].A2v = 7;

  pictures::PictureRecord first;
  first.id = 0;
  first.fileName = "zero.bmp";
  first.note = "zero.bmp";
  first.ext = ".bmp";
  first.pic = SmallBmp(10);
  pictures::PictureRecord second = first;
  second.id = 5;
  second.fileName = "五.bmp";
  second.note = "five";
  second.pic = SmallBmp(200);
  project->pictures = {first, second};
  return project;
}

}  // namespace dravik::textform::fixture
