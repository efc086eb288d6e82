// Every instruction set of the byte map this processor has, against the map itself: every byte
// value, every length up to a few vectors and more, at every alignment of a vector.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "recode/byte_map.h"

TEST(ByteMap, EveryWayMapsEveryByteAtEveryLengthAndAlignment) {
    // Rows of 16 values left alone, changed in part and changed throughout.
    std::array<char, 256> bytes;
    for (int b = 0; b < 256; ++b) {
        bytes[b] = static_cast<char>(b < 0x60 || (b < 0xA0 && b % 3 == 0) ? b : b * 167 + 13);
    }
    const recode::ByteMap map(bytes);
    std::string input;  // every byte value, twice
    for (int i = 0; i < 512; ++i) {
        input.push_back(static_cast<char>(i * 7));
    }
    for (const auto instructions :
         {recode::ByteMapInstructions::Plain, recode::ByteMapInstructions::Ssse3,
          recode::ByteMapInstructions::Avx2}) {
        if (instructions > recode::ByteMap::FastestInstructions()) {
            continue;
        }
        for (std::size_t from = 0; from < 32; ++from) {
            for (std::size_t length = 0; from + length <= input.size(); ++length) {
                std::string expected(length + 64, '-');
                std::string output = expected;
                for (std::size_t i = 0; i < length; ++i) {
                    expected[i + 31 - from] = bytes[static_cast<unsigned char>(input[from + i])];
                }
                map.apply(instructions, input.data() + from, length, output.data() + 31 - from);
                ASSERT_EQ(output, expected) << "instructions " << static_cast<int>(instructions)
                                            << ", from " << from << ", length " << length;
            }
        }
    }
}
