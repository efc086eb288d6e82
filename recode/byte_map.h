// One byte for one through a 256-byte map, as tr does, in vector registers where the processor
// has the instructions for it.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace recode {

// The ways to apply a map, from the slowest; each needs the instructions of those before it.
enum class ByteMapWay { Plain, Ssse3, Avx2 };

// A vector lookup covers 16 byte values at a time: one row for every 16 values (one high nibble)
// that a map changes, with what each of them changes by (an exclusive or).
struct ByteMapRow {
    alignas(16) std::array<char, 16> changes;
    alignas(16) std::array<char, 16> highNibble;  // the row's, in every byte
};

class ByteMap {
  public:
    explicit ByteMap(const std::array<char, 256>& bytes);

    // Maps `length` bytes from `from` to `to`, which must not overlap, in the fastest way.
    void apply(const char* from, std::size_t length, char* to) const {
        apply(FastestWay(), from, length, to);
    }
    // The same in a given way, which must be no faster than FastestWay().
    void apply(ByteMapWay way, const char* from, std::size_t length, char* to) const;

    // The fastest way this processor has and the program may use.
    static ByteMapWay FastestWay();

  private:
    std::array<char, 256> bytes_;
    std::vector<ByteMapRow> changedRows_;
};

}  // namespace recode
