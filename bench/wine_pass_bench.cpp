// The Windows program's pass, with its 128-byte blocks, against the floor its I/O design sets: a
// plain copy of the same file through 128-byte ReadFile and WriteFile calls. Both are timed in
// this one process, so Wine's start-up counts for neither.
//
// usage: wine_pass_bench INPUT TABLE OUTPUT [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "recode/recoding_pass.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

template <typename Work>
double Time(Work work) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

bool CopyIn128ByteBlocks(const std::string& from, const std::string& to) {
    HANDLE in = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE out = CreateFileA(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE;
    char block[128];
    DWORD got = 0;
    while (ok && ReadFile(in, block, sizeof block, &got, nullptr) && got > 0) {
        DWORD written = 0;
        ok = WriteFile(out, block, got, &written, nullptr) && written == got;
    }
    if (in != INVALID_HANDLE_VALUE) {
        CloseHandle(in);
    }
    if (out != INVALID_HANDLE_VALUE) {
        CloseHandle(out);
    }
    return ok;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: wine_pass_bench INPUT TABLE OUTPUT [RUNS]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::atoi(argv[4]) : 5;
    recode::PassFiles files;  // the Windows program's 128-byte blocks
    std::vector<double> passes;
    std::vector<double> copies;
    for (int run = 0; run < runs; ++run) {
        bool recoded = false;
        passes.push_back(Time([&] {
            recoded = recode::Recode({argv[1], argv[2], argv[3]}, files).done();
            files.close();
        }));
        bool copied = false;
        copies.push_back(Time([&] { copied = CopyIn128ByteBlocks(argv[1], argv[3]); }));
        if (!recoded || !copied) {
            std::fprintf(stderr, "wine_pass_bench: a pass or a copy failed\n");
            return 1;
        }
    }
    const double pass = Median(passes);
    const double copy = Median(copies);
    std::printf("pass %.3f s, 128-byte copy %.3f s, pass / copy %.2f (median of %d)\n", pass, copy,
                pass / copy, runs);
    return 0;
}
