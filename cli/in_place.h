// lettermill-recode --in-place: each file replaced by its recoded text, in batches, or left as
// it was and said why.
#pragma once

#include "cli/run.h"

namespace cli {

void RecodeInPlace(Run& run);

}  // namespace cli
