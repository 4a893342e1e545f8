#pragma once
// The differences between two projects a person cares about, found on their text forms:
// pages added or removed, elements added, removed or moved to another slot, fields,
// settings, macro rows and pictures changed (old → new).

#include <string>
#include <vector>

#include "textform/json_value.h"
#include "textform/project_document.h"

namespace dravik::textform {

struct Difference {
  enum class Change { Added, Removed, Moved, Changed };
  std::string where;  // "page 3 slot 12 Register upperLimit", "settings initialPage"
  Change change = Change::Changed;
  JsonValue before;   // Changed: the old value; Removed: what was there; Moved: the old slot
  JsonValue after;    // Changed: the new value; Added: what is there; Moved: the new slot
};

// Both documents as ProjectToDocument makes them.
std::vector<Difference> DiffDocuments(const JsonValue& before, const JsonValue& after);
// The same on the projects themselves, a page at a time (pages whose records are the same
// byte for byte are passed over).
std::vector<Difference> DiffProjects(const ProjectContent& before, const ProjectContent& after,
                                     const DocumentOptions& options = {});

// One line per difference ("settings initialPage: 1 → 2").
std::string DifferencesAsText(const std::vector<Difference>& differences);
// {"equal": ..., "differences": [{"where", "change", "before", "after"}]} on one line each.
std::string DifferencesAsJson(const std::vector<Difference>& differences);

}  // namespace dravik::textform
