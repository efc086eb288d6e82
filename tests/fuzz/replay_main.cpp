// Replays a fuzz target's corpus without libFuzzer: every file in every folder named is handed
// to the target once. Any compiler builds it, so every test run replays every corpus.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "support/support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const std::filesystem::path& input : inputs) {
        // Named before it runs, so that the output of a failed test points at the input.
        std::fprintf(stderr, "replaying %s\n", input.string().c_str());
        const std::string bytes = lm::Read(input.string());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    // An empty or misnamed corpus must not pass for a replayed one.
    return inputs.empty() ? 1 : 0;
}
