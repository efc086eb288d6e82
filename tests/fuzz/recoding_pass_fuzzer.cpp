// Arbitrary table and input bytes through the whole pass: the output file must be what the walk
// over every entry makes of the reference lines, whatever the block size.
//
// Input layout: one byte choosing the block size (and, with its top bit, a line of more than
// 64 KiB, far longer than any block, and a short one after it, both made of the input's bytes),
// two bytes giving the table's length (little endian, cut to what is there), the table, then the
// input.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz/pass_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    constexpr std::size_t kBlockSizes[] = {1, 2, 3, 7, 128, 65536};
    std::size_t blockSize = kBlockSizes[data[0] % std::size(kBlockSizes)];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::size_t tableLength = std::min<std::size_t>(data[1] | data[2] << 8, rest.size());
    const std::string table(rest.substr(0, tableLength));
    std::string input(rest.substr(tableLength));
    if ((data[0] & 0x80) != 0) {
        std::string piece = input;
        std::erase_if(piece, [](char c) { return c == '\n' || c == '\r' || c == '\x1a'; });
        std::string longLine;
        while (!piece.empty() && longLine.size() <= 64 * 1024) {
            longLine += piece;
        }
        input += "\n" + longLine + "\n" + piece;
        blockSize = 65536;  // a byte at a time, the long line would take too long
    }

    fuzzing::CheckPass(table, input, blockSize);
    return 0;
}
