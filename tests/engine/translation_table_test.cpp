#include "recode/translation_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "recode/io_result.h"
#include "recode/line_converter.h"
#include "support/reference_recoding.h"
#include "support/temp_dir.h"

namespace {

using recode::takeIoResult;
using recode::TranslationTable;
using testing_support::TempDir;

TranslationTable LoadTableFile(const std::string& path) {
    recode::TextLineReader reader;
    reader.open(path);
    const std::size_t count = recode::CountTableLines(reader);
    TranslationTable table(count);
    reader.open(path);
    recode::LoadTable(table, reader);
    reader.close();
    EXPECT_EQ(takeIoResult(), 0u);
    return table;
}

std::string Convert(const TranslationTable& table, const std::string& line) {
    return std::string(recode::LineConverter(table).convert(line));
}

struct EntryCase {
    std::string line;
    std::string replacement;
};

TEST(ReplacementOf, WhatLinesMean) {
    const EntryCase cases[] = {
        {"a=xyz", "xyz"}, {"a=", ""},       {"a", "a"},  {"abc", "abc"},
        {"ab=c", "c"},    {"a=b=c", "b=c"}, {"=x", "x"}, {"==", "="},
        {"==x", "=x"},    {"a= x ", " x "}, {"=", ""},   {" =_", "_"},
    };
    for (const EntryCase& c : cases) {
        EXPECT_EQ(recode::ReplacementOf(c.line), c.replacement) << "line " << c.line;
    }
}

TEST(ReplacementOf, CutAt65535Bytes) {
    const std::string replacement(70000, 'r');
    EXPECT_EQ(recode::ReplacementOf("a=" + replacement), replacement.substr(0, 65535));
    EXPECT_EQ(recode::ReplacementOf(std::string(70000, 'n')).size(), 65535u);
}

TEST(TranslationTable, WorkedExample) {
    TempDir dir;
    const std::string path = dir.write("t.tab", "a=1\r\nb=\r\nc\r\n\r\n==-\r\na=2\r\n =_\r\n");
    recode::TextLineReader reader;
    reader.open(path);
    EXPECT_EQ(recode::CountTableLines(reader), 6u);

    const TranslationTable table = LoadTableFile(path);
    EXPECT_EQ(table.entries(), (std::vector<std::string>{"a=1", "b=", "c", "==-", "a=2", " =_"}));
    EXPECT_EQ(Convert(table, "a b=c!"), "12 =-c!");
}

TEST(TranslationTable, CrLfAndLfFilesGiveTheSameTable) {
    TempDir dir;
    const TranslationTable crlf = LoadTableFile(dir.write("crlf.tab", "x=1\r\ny=22\r\n"));
    const TranslationTable lf = LoadTableFile(dir.write("lf.tab", "x=1\ny=22\n"));
    EXPECT_EQ(crlf.entries(), lf.entries());
}

TEST(TranslationTable, SingleBlankLineCountsButChangesNothing) {
    TempDir dir;
    const TranslationTable table = LoadTableFile(dir.write("t.tab", " \r\n"));
    EXPECT_EQ(table.capacity(), 1u);
    EXPECT_EQ(Convert(table, "any text\t!"), "any text\t!");
}

TEST(TranslationTable, KeysAreExactBytes) {
    TempDir dir;
    const TranslationTable table = LoadTableFile(dir.write("t.tab", "a=1\n\xe0=a\n"));
    EXPECT_EQ(Convert(table, "aA\xe0\xc0"), "1Aa\xc0");
}

TEST(TranslationTable, FullTableRefusesFurtherLines) {
    TranslationTable table(2);
    EXPECT_TRUE(table.store("a=1"));
    EXPECT_TRUE(table.store("a=2"));
    EXPECT_FALSE(table.store("a=3"));
    EXPECT_EQ(Convert(table, "a"), "12");
}

TEST(TranslationTable, EmptyOrCtrlZTableCountsNothing) {
    TempDir dir;
    for (const std::string& bytes : {std::string(), std::string("\r\n\n\r\n"),
                                     std::string("\x1a"
                                                 "a=b\r\n")}) {
        recode::TextLineReader reader;
        reader.open(dir.write("t.tab", bytes));
        EXPECT_EQ(recode::CountTableLines(reader), 0u);
    }
}

// The per-key lookup must give what the walk over every entry gives, for every byte.
TEST(AppendReplacements, SameAsWalkingEveryEntry) {
    std::mt19937 random(1957);
    for (int round = 0; round < 200; ++round) {
        const std::size_t size = 1 + random() % 40;
        TranslationTable table(size);
        for (std::size_t i = 0; i < size; ++i) {
            std::string line(1 + random() % 6, '\0');
            for (char& c : line) {
                // A small alphabet, so that keys repeat and "=" turns up often.
                c = "ab=\xe0\xff\x01 c"[random() % 8];
            }
            table.store(line);
        }
        for (int c = 0; c < 256; ++c) {
            std::string fast = "prefix";
            std::string walked = "prefix";
            const bool fastMatched =
                recode::AppendReplacements(table, static_cast<unsigned char>(c), fast);
            const bool walkMatched = testing_support::WalkEveryEntry(
                table.entries(), static_cast<unsigned char>(c), walked);
            ASSERT_EQ(fastMatched, walkMatched) << "byte " << c << " round " << round;
            ASSERT_EQ(fast, walked) << "byte " << c << " round " << round;
        }
    }
}

}  // namespace
