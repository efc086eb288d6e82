// Arbitrary table and input bytes through the whole pass: the output file must be what the walk
// over every entry makes of the reference lines, whatever the block size; the per-key lookup and
// the line converter must answer as that walk does.
//
// Input layout: one byte choosing the block size (and, with its top bit, a long line for the
// converter), two bytes giving the table's length (little endian, cut to what is there), the
// table, then the input.
#include <cstddef>
#include <cstdint>

#include "engine/support.h"
#include "fuzz/reference.h"
#include "recode/line_converter.h"
#include "recode/translation_table.h"

namespace {

constexpr std::size_t kBlockSizes[] = {1, 2, 3, 7, 128, 65536};
// Longer than the lines that the converter converts without measuring them first.
constexpr std::size_t kLongLine = 64 * 1024;

// The table as the pass loads it, checked against the walk over its entries, taken from the
// table's bytes: every key's lookup, a line long enough to be measured before it is converted,
// and a short one after it.
void CheckTableAgainstWalk(const std::string& tablePath, std::string_view tableBytes,
                           std::string_view inputBytes, bool longLineToo) {
    recode::TextLineReader reader;
    reader.open(tablePath);
    recode::TranslationTable table(recode::CountTableLines(reader));
    reader.open(tablePath);
    recode::LoadTable(table, reader);
    reader.close();
    fuzzing::Check(recode::takeIoResult() == 0, "loading a plain table file failed");
    const std::vector<std::string> entries = fuzzing::Entries(tableBytes);
    for (int c = 0; c < 256; ++c) {
        std::string fast;
        std::string walked;
        const auto key = static_cast<unsigned char>(c);
        fuzzing::Check(recode::AppendReplacements(table, key, fast) ==
                               fuzzing::WalkEveryEntry(entries, key, walked) &&
                           fast == walked,
                       "the lookup differs from the walk over every entry");
    }
    std::string longLine;
    while (longLineToo && !inputBytes.empty() && longLine.size() <= kLongLine) {
        longLine += inputBytes;
    }
    recode::LineConverter converter(table);
    for (const std::string_view line : {std::string_view(longLine), inputBytes}) {
        fuzzing::Check(converter.convert(line) == fuzzing::ReferenceConversion(entries, line),
                       "the converter differs from the walk over every entry");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::size_t blockSize = kBlockSizes[data[0] % std::size(kBlockSizes)];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::size_t tableLength = std::min<std::size_t>(data[1] | data[2] << 8, rest.size());
    const std::string_view tableBytes = rest.substr(0, tableLength);
    const std::string_view inputBytes = rest.substr(tableLength);

    static const lm::TempDir dir;
    const std::array<std::string, 3> names = {dir / "input.txt", dir / "table.tab",
                                              dir / "output.txt"};
    lm::Write(names[0], inputBytes);
    lm::Write(names[1], tableBytes);
    lm::Write(names[2], "left from before");
    recode::PassFiles files(blockSize);
    const std::string log = lm::RunPass(files, names);

    const std::optional<std::string> expected = fuzzing::ReferenceRecoding(tableBytes, inputBytes);
    fuzzing::Check(log == lm::LogOfPass(expected ? "" : "Bad file: Table 0|"),
                   "the pass ended otherwise than the walk");
    fuzzing::Check(lm::Read(names[2]) == expected.value_or("left from before"),
                   "the output differs from the walk");
    fuzzing::Check(lm::Read(names[0]) == inputBytes && lm::Read(names[1]) == tableBytes,
                   "the pass changed a file it reads");
    if (expected) {
        CheckTableAgainstWalk(names[1], tableBytes, inputBytes, (data[0] & 0x80) != 0);
    }
    return 0;
}
