// Where lettermill-recode finds a table named without a folder ("-t win2utf8"): in the current
// folder, then in each folder of LETTERMILL_TABLES, then among the tables installed with the
// program, the first file of that name, or of that name with ".tab", wins.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The name to open for the table the user named: the first file the search finds, or the name
// itself when it holds a folder, is empty or is found nowhere (so that the message names what
// the user typed).
std::string FindTable(const std::string& name);

struct ListedTable {
    std::string name;  // as -t takes it, without ".tab"
    std::string description;
};

// Every table the search finds, each name once, as -t would reach it: the folders in the
// search's order, the names of each in byte order. Descriptions come from a file named
// descriptions.txt in the table's folder, one "NAME.tab DESCRIPTION" a line.
std::vector<ListedTable> ListTables();

// --list-tables: ListTables() on standard output, one "NAME  DESCRIPTION" a line, the
// descriptions in one column.
void PrintTableList();

}  // namespace cli
