#pragma once
// Scaling a decoded icon picture to another size. Area averaging on premultiplied alpha:
// each target pixel is the mean of the source area it covers, so shrinking averages whole
// blocks, growing by a whole factor repeats pixels exactly, and transparent pixels never
// bleed their hidden colour into visible ones.
#include "iconlib/IconPicture.h"

namespace gs {

// A straight-alpha picture of width x height (hasAlpha set, mask clear). Pixels the AND
// mask hides come out transparent; screen-inverting pixels cannot be scaled and become
// transparent too. Throws std::invalid_argument for an empty source or target size.
TIconPicture resamplePicture(const TIconPicture& source, int width, int height);

}  // namespace gs
