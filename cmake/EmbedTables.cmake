# Writes OUTPUT, a C++ fragment that defines each of TABLES (files of tables/) as a string_view
# constant kTable_<name without .tab> of the file's bytes, so that the engine carries the tables
# that --guess and -t auto name, byte for byte as shipped.
file(WRITE ${OUTPUT}.new "// Made by cmake/EmbedTables.cmake from tables/; do not edit.\n")
foreach(table IN LISTS TABLES)
    file(READ ${SOURCE}/${table} bytes HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${bytes}")
    string(REGEX REPLACE "\\.tab$" "" name ${table})
    file(APPEND ${OUTPUT}.new
         "inline constexpr char kTable_${name}[] = \"${escaped}\";\n")
endforeach()
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
