// The whole pass of the main dialog over a fuzzer's table and input, checked against the
// reference: how it ends, what the output holds, and that the files it reads stay as they were.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "fuzz/reference.h"
#include "support/support.h"

namespace fuzzing {

inline void CheckPass(const std::string& table, const std::string& input, std::size_t blockSize) {
    static const lm::TempDir dir;
    const std::array<std::string, 3> names = {dir / "input.txt", dir / "table.tab",
                                              dir / "output.txt"};
    lm::Write(names[0], input);
    lm::Write(names[1], table);
    lm::Write(names[2], "left from before");
    recode::PassFiles files(blockSize);
    const std::string log = lm::RunPass(files, names);

    const std::optional<std::string> expected = ReferenceRecoding(table, input);
    Check(
        log == lm::LogOfPass(std::string(lm::kNamesRead) + (expected ? "" : "Bad file: Table 0|")),
        "the pass ended otherwise than the reference");
    Check(lm::Read(names[2]) == expected.value_or("left from before"), "output differs");
    Check(lm::Read(names[0]) == input && lm::Read(names[1]) == table, "a read file changed");
}

}  // namespace fuzzing
