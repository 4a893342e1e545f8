#pragma once
// A full project for benchmarks: 240 pages in use, 200 elements each, with varied values
// so that compression sees realistic data rather than runs of zeros.

#include "model/project_image.h"

namespace dravik::bench {

void FillFullProject(model::ProjectImage& image);

}  // namespace dravik::bench
