// What a fuzz target does when the engine and its oracle disagree: say what differed and abort,
// which libFuzzer records as a finding and the corpus replay as a failed test.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

inline void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

}  // namespace fuzzing
