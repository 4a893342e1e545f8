#pragma once
// Pages for the editor's benchmark and for the documentation picture: one that shows
// every element kind under its name, and one crowded with 200 elements of mixed kinds.
// Elements are placed with the program's own placement write, so they start from the
// same defaults as elements placed in the editor.

#include "model/project_image.h"

namespace dravik::bench {

// Page `page` becomes an own-size 760 x 400 page showing all sixteen kinds, each below a
// text element naming it in both languages (language one Chinese, language two
// English). The picture element shows picture 0 of the library.
void FillAllKindsPage(model::ProjectImage& image, int page);

// Page `page` of the panel's screen size holding 200 elements of mixed kinds spread over
// it (dynamic texts in their slots 135..199, the other kinds around them).
void FillMixedPage(model::ProjectImage& image, int page);

}  // namespace dravik::bench
