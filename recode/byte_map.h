// One byte for one through a 256-byte map, as tr does, in vector registers where the processor
// has the instructions for it.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace recode {

// The instruction sets a map can be applied with, from the slowest; each includes those before it.
enum class ByteMapInstructions { Plain, Ssse3, Avx2 };

// A vector lookup covers 16 byte values at a time: one row for every 16 values (one high nibble)
// that a map changes, with what each of them changes by (an exclusive or).
struct ByteMapRow {
    alignas(16) std::array<char, 16> changes;
    alignas(16) std::array<char, 16> highNibble;  // the row's, in every byte
};

class ByteMap {
  public:
    explicit ByteMap(const std::array<char, 256>& bytes);

    // Maps `length` bytes from `from` to `to`, which must not overlap, with the fastest
    // instructions.
    void apply(const char* from, std::size_t length, char* to) const {
        apply(FastestInstructions(), from, length, to);
    }
    // The same with the given instructions, no more than FastestInstructions().
    void apply(ByteMapInstructions instructions, const char* from, std::size_t length,
               char* to) const;

    // The fastest instructions this processor has and the program may use.
    static ByteMapInstructions FastestInstructions();

  private:
    std::array<char, 256> bytes_;
    std::vector<ByteMapRow> changedRows_;
};

}  // namespace recode
