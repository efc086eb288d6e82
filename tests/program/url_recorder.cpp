// Stands in for the browser and the mail program in the tests: appends the URL the desktop shell
// hands it, as one line, to the record file it is given.
// usage: url_recorder RECORD-FILE URL
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    std::FILE* record = std::fopen(argv[1], "ab");
    if (record == nullptr) {
        return 1;
    }
    std::fprintf(record, "%s\n", argv[2]);
    return std::fclose(record) == 0 ? 0 : 1;
}
