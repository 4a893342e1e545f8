#include "textform/project_diff.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

namespace dravik::textform {

namespace {

using Change = Difference::Change;

const JsonValue kNull;

const JsonValue& MemberOr(const JsonValue& object, std::string_view key) {
  const JsonValue* found = object.Find(key);
  return found != nullptr ? *found : kNull;
}

class Differ {
 public:
  std::vector<Difference> found;

  void Add(std::string where, Change change, JsonValue before, JsonValue after) {
    found.push_back({std::move(where), change, std::move(before), std::move(after)});
  }

  // Objects member by member, arrays item by item, anything else as a whole.
  void Values(const std::string& where, const JsonValue& before, const JsonValue& after) {
    if (before == after) return;
    if (before.IsObject() && after.IsObject()) {
      for (const JsonMember& member : before.members) {
        Values(Join(where, member.key), member.value, MemberOr(after, member.key));
      }
      for (const JsonMember& member : after.members) {
        if (before.Find(member.key) == nullptr) Values(Join(where, member.key), kNull, member.value);
      }
      return;
    }
    if (before.IsArray() && after.IsArray() && !IsTextPair(before)) {
      const std::size_t count = std::max(before.items.size(), after.items.size());
      for (std::size_t i = 0; i < count; ++i) {
        Values(where + "[" + std::to_string(i) + "]",
               i < before.items.size() ? before.items[i] : kNull,
               i < after.items.size() ? after.items[i] : kNull);
      }
      return;
    }
    Add(where, Change::Changed, before, after);
  }

  // Two objects member by member, leaving out the members named in `skip`.
  void ValuesExcept(const std::string& where, const JsonValue& before, const JsonValue& after,
                    std::initializer_list<std::string_view> skip) {
    const auto skipped = [skip](std::string_view key) {
      return std::find(skip.begin(), skip.end(), key) != skip.end();
    };
    for (const JsonMember& member : before.members) {
      if (!skipped(member.key)) Values(Join(where, member.key), member.value, MemberOr(after, member.key));
    }
    for (const JsonMember& member : after.members) {
      if (!skipped(member.key) && before.Find(member.key) == nullptr)
        Values(Join(where, member.key), kNull, member.value);
    }
  }

  void Pages(const JsonValue& before, const JsonValue& after) {
    const auto beforePages = ByNumber(before, "page");
    const auto afterPages = ByNumber(after, "page");
    for (const auto& [number, page] : beforePages) {
      const std::string where = "page " + std::to_string(number);
      auto other = afterPages.find(number);
      if (other == afterPages.end()) {
        Add(where, Change::Removed, MemberOr(*page, "name"), {});
      } else if (!(*page == *other->second)) {
        Page(where, *page, *other->second);
      }
    }
    for (const auto& [number, page] : afterPages) {
      if (beforePages.count(number) == 0)
        Add("page " + std::to_string(number), Change::Added, {}, MemberOr(*page, "name"));
    }
  }

  void PageSections(int number, const JsonValue& before, const JsonValue& after) {
    const std::string where = "page " + std::to_string(number);
    if (before.IsObject() && !after.IsObject()) {
      Add(where, Change::Removed, MemberOr(before, "name"), {});
    } else if (!before.IsObject() && after.IsObject()) {
      Add(where, Change::Added, {}, MemberOr(after, "name"));
    } else if (before.IsObject() && !(before == after)) {
      Page(where, before, after);
    }
  }

  void Macro(const JsonValue& before, const JsonValue& after) {
    const auto beforeRows = ByNumber(before, "row");
    const auto afterRows = ByNumber(after, "row");
    for (const auto& [number, row] : beforeRows) {
      const std::string where = "macro row " + std::to_string(number);
      auto other = afterRows.find(number);
      if (other == afterRows.end()) {
        Add(where, Change::Removed, RowText(*row), {});
      } else if (!(*row == *other->second)) {
        Add(where, Change::Changed, RowText(*row), RowText(*other->second));
        Values(where, WithoutText(*row), WithoutText(*other->second));
      }
    }
    for (const auto& [number, row] : afterRows) {
      if (beforeRows.count(number) == 0)
        Add("macro row " + std::to_string(number), Change::Added, {}, RowText(*row));
    }
  }

  void Pictures(const JsonValue& before, const JsonValue& after) {
    const auto beforeIds = ByNumber(before, "id");
    const auto afterIds = ByNumber(after, "id");
    for (const auto& [id, picture] : beforeIds) {
      const std::string where = "picture " + std::to_string(id);
      auto other = afterIds.find(id);
      if (other == afterIds.end()) {
        Add(where, Change::Removed, MemberOr(*picture, "name"), {});
      } else {
        // The digest stands for the bytes.
        Values(where, WithoutBytes(*picture), WithoutBytes(*other->second));
      }
    }
    for (const auto& [id, picture] : afterIds) {
      if (beforeIds.count(id) == 0)
        Add("picture " + std::to_string(id), Change::Added, {}, MemberOr(*picture, "name"));
    }
  }

 private:
  static std::string Join(const std::string& where, std::string_view key) {
    return where.empty() ? std::string(key) : where + " " + std::string(key);
  }

  // A short one-line array (an alarm's two texts, a macro operand) reads better whole.
  static bool IsTextPair(const JsonValue& value) { return value.oneLine && value.items.size() <= 2; }

  static std::map<std::int64_t, const JsonValue*> ByNumber(const JsonValue& list, std::string_view key) {
    std::map<std::int64_t, const JsonValue*> out;
    for (const JsonValue& item : list.items) {
      const JsonValue* number = item.Find(key);
      if (number != nullptr && number->IsNumber()) out.emplace(number->number, &item);
    }
    return out;
  }

  static JsonValue RowText(const JsonValue& row) { return MemberOr(row, "text"); }

  static JsonValue Without(const JsonValue& object, std::string_view key) {
    JsonValue out = JsonValue::Object();
    for (const JsonMember& member : object.members) {
      if (member.key != key) out.members.push_back(member);
    }
    return out;
  }
  static JsonValue WithoutText(const JsonValue& row) { return Without(Without(row, "text"), "row"); }
  static JsonValue WithoutBytes(const JsonValue& picture) { return Without(picture, "bytes"); }

  static std::string ElementName(const JsonValue& element) {
    const JsonValue& name = MemberOr(element, "kindName");
    if (name.IsString() && !name.text.empty()) return name.text;
    return "kind " + std::to_string(MemberOr(element, "kind").number);
  }

  static std::string SlotWhere(const std::string& page, std::int64_t slot, const JsonValue& element) {
    return page + " slot " + std::to_string(slot) + " " + ElementName(element);
  }

  // What an element is apart from where it sits.
  static std::string Content(const JsonValue& element) {
    return WriteCompactJson(Without(element, "slot"));
  }

  void Page(const std::string& where, const JsonValue& before, const JsonValue& after) {
    ValuesExcept(where, before, after, {"elements"});
    const auto beforeSlots = ByNumber(MemberOr(before, "elements"), "slot");
    const auto afterSlots = ByNumber(MemberOr(after, "elements"), "slot");
    std::vector<std::pair<std::int64_t, const JsonValue*>> removed, added;
    for (const auto& [slot, element] : beforeSlots) {
      auto other = afterSlots.find(slot);
      if (other != afterSlots.end() && MemberOr(*element, "kind") == MemberOr(*other->second, "kind")) {
        if (!(*element == *other->second)) {
          const std::string at = SlotWhere(where, slot, *element);
          ValuesExcept(at, *element, *other->second, {"slot", "kindName"});
        }
      } else {
        removed.emplace_back(slot, element);
      }
    }
    for (const auto& [slot, element] : afterSlots) {
      auto other = beforeSlots.find(slot);
      if (other == beforeSlots.end() || !(MemberOr(*element, "kind") == MemberOr(*other->second, "kind")))
        added.emplace_back(slot, element);
    }
    // An element that left one slot and turns up unchanged in another has moved.
    std::unordered_multimap<std::string, std::size_t> addedByContent;
    for (std::size_t i = 0; i < added.size(); ++i) addedByContent.emplace(Content(*added[i].second), i);
    std::vector<bool> matched(added.size(), false);
    for (const auto& [slot, element] : removed) {
      auto [first, last] = addedByContent.equal_range(Content(*element));
      bool moved = false;
      for (auto it = first; it != last && !moved; ++it) {
        if (matched[it->second]) continue;
        matched[it->second] = true;
        moved = true;
        Add(SlotWhere(where, slot, *element), Change::Moved, JsonValue::Number(slot),
            JsonValue::Number(added[it->second].first));
      }
      if (!moved) Add(SlotWhere(where, slot, *element), Change::Removed, JsonValue::String(ElementName(*element)), {});
    }
    for (std::size_t i = 0; i < added.size(); ++i) {
      if (!matched[i])
        Add(SlotWhere(where, added[i].first, *added[i].second), Change::Added, {},
            JsonValue::String(ElementName(*added[i].second)));
    }
  }
};

std::string_view ChangeName(Change change) {
  switch (change) {
    case Change::Added: return "added";
    case Change::Removed: return "removed";
    case Change::Moved: return "moved";
    case Change::Changed: return "changed";
  }
  return "changed";
}

}  // namespace

std::vector<Difference> DiffDocuments(const JsonValue& before, const JsonValue& after) {
  Differ differ;
  differ.Values("settings", MemberOr(before, "settings"), MemberOr(after, "settings"));
  differ.Pages(MemberOr(before, "pages"), MemberOr(after, "pages"));
  differ.Macro(MemberOr(before, "macro"), MemberOr(after, "macro"));
  differ.Pictures(MemberOr(before, "pictures"), MemberOr(after, "pictures"));
  return std::move(differ.found);
}

std::vector<Difference> DiffProjects(const ProjectContent& before, const ProjectContent& after,
                                     const DocumentOptions& options) {
  Differ differ;
  differ.Values("settings", SettingsSection(before.image.Settings()), SettingsSection(after.image.Settings()));
  for (int n = 1; n <= model::kMaxPage; ++n) {
    const bool inBefore = before.image.IsPageUsed(n), inAfter = after.image.IsPageUsed(n);
    if (!inBefore && !inAfter) continue;
    if (inBefore && inAfter &&
        std::memcmp(&before.image.Page(n), &after.image.Page(n), sizeof(model::PageRecord)) == 0)
      continue;
    differ.PageSections(n, inBefore ? PageSection(before.image.Page(n), n) : JsonValue(),
                        inAfter ? PageSection(after.image.Page(n), n) : JsonValue());
  }
  differ.Macro(MacroSection(before.macro, options.macroRegisterName),
               MacroSection(after.macro, options.macroRegisterName));
  differ.Pictures(PicturesSection(before.pictures), PicturesSection(after.pictures));
  return std::move(differ.found);
}

std::string DifferencesAsText(const std::vector<Difference>& differences) {
  std::string text;
  for (const Difference& difference : differences) {
    text += difference.where;
    text += ": ";
    switch (difference.change) {
      case Change::Changed:
        text += WriteCompactJson(difference.before) + " → " + WriteCompactJson(difference.after);
        break;
      case Change::Moved:
        text += "moved to slot " + WriteCompactJson(difference.after);
        break;
      case Change::Added:
        text += "added " + WriteCompactJson(difference.after);
        break;
      case Change::Removed:
        text += "removed " + WriteCompactJson(difference.before);
        break;
    }
    text += '\n';
  }
  return text;
}

std::string DifferencesAsJson(const std::vector<Difference>& differences) {
  JsonValue out = JsonValue::Object();
  out.Add("equal", JsonValue::Bool(differences.empty()));
  JsonValue& list = out.Add("differences", JsonValue::Array());
  for (const Difference& difference : differences) {
    JsonValue item = JsonValue::Object(true);
    item.Add("where", JsonValue::String(difference.where));
    item.Add("change", JsonValue::String(std::string(ChangeName(difference.change))));
    item.Add("before", difference.before);
    item.Add("after", difference.after);
    list.items.push_back(std::move(item));
  }
  return WriteJson(out);
}

}  // namespace dravik::textform
