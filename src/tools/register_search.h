#pragma once
// The register search: every element of every used page that refers to one PLC address,
// a word or bit register of a link's device kind, or a station ID. The search window and
// `dravik-cli search` show its matches.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/project_image.h"
#include "params/device_resources.h"
#include "platform/bilingual.h"

namespace dravik::tools {

// The search window's categories: "Word 寄存器", "bit 寄存器", "其 它" (station IDs).
enum class SearchCategory { kWord, kBit, kOther };

// What the address field offers for a category, link and device kind.
struct AddressField {
  std::vector<std::string> devices;  // the device kinds to choose from ("ID" for kOther)
  int device = 0;                    // the chosen one: the one asked for, or the last
                                     // entry when the list has no such (-1: empty list)
  std::int64_t maximum = 0;          // the highest address of that device kind
  bool hexadecimal = false;          // bit kinds numbered in hexadecimal
  std::string hint;                  // "0 ~ 65000", "0 ~ 1FFF"
};
AddressField AddressFieldFor(const params::DeviceLists& lists, SearchCategory category, int link,
                             int device);

// An address typed into the field, completed: an empty text is 0 and a number above the
// maximum is the maximum. Nothing when the text holds a character the field refuses.
std::optional<std::int64_t> CompleteAddress(const AddressField& field, std::string_view text);

struct SearchQuery {
  SearchCategory category = SearchCategory::kWord;
  int link = 0;    // 0 Link 1, 1 Link 2; not used for station IDs
  int device = 0;  // index into the link's word or bit kinds; not used for station IDs
  std::int64_t address = 0;
};

struct SearchMatch {
  int page = 0;
  int slot = 0;
  int kind = 0;
  std::string pageName;  // UTF-8
  std::string caption;   // UTF-8: the page's number text, ":" and its name
  bool operator==(const SearchMatch&) const = default;
};

// The matching elements, pages and slots ascending; pages not in use are never searched.
std::vector<SearchMatch> RegisterSearch(const model::ProjectImage& project,
                                        const SearchQuery& query);

// The window caption after a search: "寄存器查找 -> 共计: 3 条".
Bilingual SearchCaption(std::size_t count);

}  // namespace dravik::tools
