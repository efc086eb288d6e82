// Arbitrary bytes through the whole pass on a table of UTF-8 characters: the output file must be
// what the reference makes of it, decoding byte by byte, whatever the block size; so every byte
// that is not part of a key character comes out as it went in, and a character that a block cuts
// is still found.
//
// Input layout: one byte choosing the block size, one giving the table's length (cut to what is
// there), the table without its byte-order mark, which the target puts first, then the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz/reference.h"
#include "support/support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    constexpr std::size_t kBlockSizes[] = {1, 2, 3, 7, 128, 65536};
    const std::size_t blockSize = kBlockSizes[data[0] % std::size(kBlockSizes)];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::size_t tableLength = std::min<std::size_t>(data[1], rest.size());
    const std::string table = "\xEF\xBB\xBF" + std::string(rest.substr(0, tableLength));
    const std::string input(rest.substr(tableLength));

    static const lm::TempDir dir;
    const std::array<std::string, 3> names = {dir / "input.txt", dir / "table.tab",
                                              dir / "output.txt"};
    lm::Write(names[0], input);
    lm::Write(names[1], table);
    lm::Write(names[2], "left from before");
    recode::PassFiles files(blockSize);
    const std::string log = lm::RunPass(files, names);

    const std::optional<std::string> expected = fuzzing::ReferenceRecoding(table, input);
    fuzzing::Check(
        log == lm::LogOfPass(std::string(lm::kNamesRead) + (expected ? "" : "Bad file: Table 0|")),
        "the pass ended otherwise than the reference");
    fuzzing::Check(lm::Read(names[2]) == expected.value_or("left from before"), "output differs");
    return 0;
}
