// Arbitrary table and input bytes through the whole pass: the output file must be what the walk
// over every entry makes of the reference lines, whatever the block size; the per-key lookup and
// the line converter must answer as that walk does.
//
// Input layout: one byte choosing the block size (and, with its top bit, a long line for the
// converter), two bytes giving the table's length (little endian, cut to what is there), the
// table, then the input.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "recode/io_result.h"
#include "recode/line_converter.h"
#include "recode/recoding_pass.h"
#include "recode/translation_table.h"
#include "support/recording_dialog.h"
#include "support/reference_recoding.h"
#include "support/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;

constexpr std::size_t kBlockSizes[] = {1, 2, 3, 7, 128, 65536};
// Longer than the lines that the converter converts without measuring them first.
constexpr std::size_t kLongLine = 64 * 1024;

// The table as the pass loads it: the per-key lookup must answer every byte as the walk does,
// and the line converter must convert as the walk does, also a line long enough to be measured
// before it is converted, and a short one after it.
void CheckTableAgainstWalk(const std::string& tablePath, std::string_view inputBytes,
                           bool longLineToo) {
    recode::TextLineReader reader;
    reader.open(tablePath);
    recode::TranslationTable table(recode::CountTableLines(reader));
    reader.open(tablePath);
    recode::LoadTable(table, reader);
    reader.close();
    fuzzing::Check(recode::takeIoResult() == 0, "loading a plain table file failed");
    for (int c = 0; c < 256; ++c) {
        std::string fast;
        std::string walked;
        const auto key = static_cast<unsigned char>(c);
        const bool fastMatched = recode::AppendReplacements(table, key, fast);
        const bool walkMatched = testing_support::WalkEveryEntry(table.entries(), key, walked);
        fuzzing::Check(fastMatched == walkMatched && fast == walked,
                       "the lookup differs from the walk over every entry");
    }
    std::string longLine;
    while (longLineToo && !inputBytes.empty() && longLine.size() <= kLongLine) {
        longLine += inputBytes;
    }
    recode::LineConverter converter(table);
    for (const std::string_view line : {std::string_view(longLine), inputBytes}) {
        fuzzing::Check(
            converter.convert(line) == testing_support::ReferenceConversion(table.entries(), line),
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

    static const testing_support::TempDir dir;
    const std::string tablePath = dir.write("table.tab", std::string(tableBytes));
    const std::string inputPath = dir.write("input.txt", std::string(inputBytes));
    const std::string outputPath = dir.write("output.txt", "left from before");

    recode::PassFiles files(blockSize);
    testing_support::RecordingDialog dialog(inputPath, tablePath, outputPath);
    recode::RecodingPass(dialog, files);
    fuzzing::Check(recode::takeIoResult() == 0, "the pass left a result code pending");

    const std::optional<std::string> expected =
        testing_support::ReferenceRecoding(tableBytes, inputBytes);
    if (!expected) {
        fuzzing::Check(dialog.events == testing_support::EventsWithMessage("Bad file"),
                       "a table without entries was not refused");
        fuzzing::Check(ReadFileBytes(outputPath) == "left from before",
                       "a refused pass touched the output");
        return 0;
    }
    fuzzing::Check(dialog.events == testing_support::EventsOfAGoodPass(), "the pass failed");
    fuzzing::Check(ReadFileBytes(outputPath) == *expected, "the output differs from the walk");
    fuzzing::Check(ReadFileBytes(tablePath) == tableBytes, "the table file changed");
    fuzzing::Check(ReadFileBytes(inputPath) == inputBytes, "the input file changed");
    CheckTableAgainstWalk(tablePath, inputBytes, (data[0] & 0x80) != 0);
    return 0;
}
