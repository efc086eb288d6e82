// The engine's inner work without any I/O: the per-byte lookup and the conversion of lines.
#include <benchmark/benchmark.h>

#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recode/text_converter.h"
#include "recode/text_line_reader.h"
#include "recode/text_line_writer.h"
#include "recode/translation_table.h"

namespace {

recode::TranslationTable LoadTable(const std::string& path) {
    recode::TextLineReader reader;
    reader.open(path);
    recode::TranslationTable table(recode::CountTableLines(reader));
    reader.open(path);
    recode::LoadTable(table, reader);
    return table;
}

const recode::TranslationTable& Transliteration() {
    static const recode::TranslationTable table =
        LoadTable(LETTERMILL_SOURCE_DIR "/tables/win2trans.tab");
    return table;
}

const recode::TranslationTable& UpperCase() {
    static const recode::TranslationTable table = [] {
        recode::TranslationTable upper(26);
        for (char c = 'a'; c <= 'z'; ++c) {
            upper.store(std::string{c, '=', static_cast<char>(c - 'a' + 'A')});
        }
        return upper;
    }();
    return table;
}

// Lines of the four kinds: every byte mapped (Cyrillic), none mapped (ASCII digits), and a mix.
std::string MakeLine(std::size_t length, const std::string& alphabet) {
    std::string line;
    for (std::size_t i = 0; line.size() < length; ++i) {
        line.push_back(alphabet[i * 7 % alphabet.size()]);
    }
    return line;
}

const std::string kCyrillic =
    "\xe0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8\xe9\xea\xeb\xec\xed\xee\xef"
    "\xf0\xf1\xf2\xf3\xf4\xf5\xf6\xf7\xf8\xf9\xfa\xfb\xfc\xfd\xfe\xff";
const std::string kDigits = "0123456789";
const std::string kMixed = kCyrillic + " ,.abcdefghijklmnopqrstuvwxyz" + kDigits;

// Converts a text of range(0) bytes into blocks of range(1) bytes, as the pass does into the
// writer's block: output that runs past a block is carried over to the next one (the writer's
// system call left out); a replacement that does not fit, which the writer would take in pieces,
// is left out here.
void ConvertLines(benchmark::State& state, const recode::TranslationTable& table,
                  const std::string& alphabet) {
    const recode::TextConverter converter(table);
    const std::string line = MakeLine(static_cast<std::size_t>(state.range(0)), alphabet);
    const auto blockSize = static_cast<std::size_t>(state.range(1));
    std::vector<char> block(blockSize + recode::TextLineWriter::kOverrun);
    for (auto _ : state) {
        std::string_view rest = line;
        std::size_t used = 0;
        while (!rest.empty()) {
            const auto converted = converter.convertSome(rest, std::span(block).subspan(used));
            used += converted.made;
            rest.remove_prefix(converted.taken);
            if (used >= blockSize) {
                const std::size_t written = used / blockSize * blockSize;
                used -= written;
                std::memmove(block.data(), block.data() + written, used);
            }
            if (converted.taken == 0) {
                rest.remove_prefix(1);
            }
        }
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}

void BM_Transliterate_AllMapped(benchmark::State& state) {
    ConvertLines(state, Transliteration(), kCyrillic);
}
void BM_Transliterate_NoneMapped(benchmark::State& state) {
    ConvertLines(state, Transliteration(), kDigits);
}
void BM_Transliterate_Mixed(benchmark::State& state) {
    ConvertLines(state, Transliteration(), kMixed);
}
void BM_UpperCase_Mixed(benchmark::State& state) {
    ConvertLines(state, UpperCase(), kMixed);
}

// A line of prose and a long text into the command-line companion's 64 KiB blocks, and the long
// text into the Windows program's 128-byte blocks.
constexpr int kLine = 80;
constexpr int kLong = 64 << 10;
BENCHMARK(BM_Transliterate_AllMapped)
    ->Args({kLine, kLong})
    ->Args({kLong, kLong})
    ->Args({kLong, 128});
BENCHMARK(BM_Transliterate_NoneMapped)->Args({kLine, kLong})->Args({kLong, kLong});
BENCHMARK(BM_Transliterate_Mixed)->Args({kLine, kLong})->Args({kLong, kLong})->Args({kLong, 128});
BENCHMARK(BM_UpperCase_Mixed)->Args({kLine, kLong})->Args({kLong, kLong})->Args({kLong, 128});

void BM_AppendReplacements(benchmark::State& state) {
    const recode::TranslationTable& table = Transliteration();
    std::string out;
    for (auto _ : state) {
        out.clear();
        for (int c = 0x21; c < 256; ++c) {
            recode::AppendReplacements(table, static_cast<unsigned char>(c), out);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * (256 - 0x21));
}
BENCHMARK(BM_AppendReplacements);

void BM_BuildConverter(benchmark::State& state) {
    for (auto _ : state) {
        recode::TextConverter converter(Transliteration());
        benchmark::DoNotOptimize(&converter);
    }
}
BENCHMARK(BM_BuildConverter);

}  // namespace

BENCHMARK_MAIN();
