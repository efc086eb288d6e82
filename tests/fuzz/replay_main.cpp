// Replays a fuzz target's corpus without libFuzzer: every file named, and every file in every
// folder named, is handed to the target once. Any compiler builds it, so every test run
// replays the corpus.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsNamedBy(const std::filesystem::path& argument) {
    std::vector<std::filesystem::path> inputs;
    if (!std::filesystem::is_directory(argument)) {
        inputs.push_back(argument);
        return inputs;
    }
    for (const auto& entry : std::filesystem::directory_iterator(argument)) {
        if (entry.is_regular_file()) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::filesystem::path& input : InputsNamedBy(argv[i])) {
            // Named before it runs, so that the output of a failed test points at the input.
            std::fprintf(stderr, "replaying %s\n", input.string().c_str());
            const std::string bytes = lm::Read(input.string());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    // An empty or misnamed corpus must not pass for a replayed one.
    return replayed > 0 ? 0 : 1;
}
