// Stands in for the browser and the mail program: appends the URL it is handed, as a line, to
// the record file.  usage: url_recorder RECORD URL
#include <cstdio>

int main(int argc, char** argv) {
    std::FILE* record = argc == 3 ? std::fopen(argv[1], "ab") : nullptr;
    const bool written = record != nullptr && std::fprintf(record, "%s\n", argv[2]) > 0;
    return record != nullptr && std::fclose(record) == 0 && written ? 0 : 1;
}
