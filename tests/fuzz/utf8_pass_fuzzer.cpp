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

#include "fuzz/pass_check.h"

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

    fuzzing::CheckPass(table, input, blockSize);
    return 0;
}
