// Every way of the byte map this processor has, against the map itself: every byte value, every
// length up to a few vectors and more, at every alignment of a vector.
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
    for (const auto way :
         {recode::ByteMapWay::Plain, recode::ByteMapWay::Ssse3, recode::ByteMapWay::Avx2}) {
        if (way > recode::ByteMap::FastestWay()) {
            continue;
        }
        for (std::size_t from = 0; from < 32; ++from) {
            for (std::size_t length = 0; from + length <= input.size(); ++length) {
                std::string expected(length + 64, '-');
                std::string output = expected;
                for (std::size_t i = 0; i < length; ++i) {
                    expected[i + 31 - from] = bytes[static_cast<unsigned char>(input[from + i])];
                }
                map.apply(way, input.data() + from, length, output.data() + 31 - from);
                ASSERT_EQ(output, expected) << "way " << static_cast<int>(way) << ", from " << from
                                            << ", length " << length;
            }
        }
    }
}
