#pragma once
// How the project tools name a page: its name, and the page window's caption, the page's
// number text, ":" and its name. Both in UTF-8, for whoever shows them.

#include <string>

#include "model/page_record.h"
#include "platform/gbk.h"

namespace dravik::tools {

inline std::string PageNameOf(const model::PageRecord& page) {
  return platform::GbkToUtf8(page.PageStrings[model::kPageName].View());
}

inline std::string PageCaption(const model::PageRecord& page) {
  std::string caption(page.PageStrings[model::kPageNumberText].View());
  caption += ':';
  caption += page.PageStrings[model::kPageName].View();
  return platform::GbkToUtf8(caption);
}

}  // namespace dravik::tools
