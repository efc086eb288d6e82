/* The program's version and the texts of its version resource, in one place for the resource
   script and the command-line companion. Plain #defines, since the resource compiler reads this
   file too. ASCII only: the strings are shown as they are, in whatever code page the system has. */
#pragma once

#define LETTERMILL_VERSION_NUMBERS 0, 1, 0, 0
#define LETTERMILL_FILE_VERSION "0.1.0.0"
#define LETTERMILL_PRODUCT_VERSION "0.41"
#define LETTERMILL_PRODUCT_NAME "Lettermill"

#define LETTERMILL_COMPANY_NAME "The Lettermill Workshop"
#define LETTERMILL_FILE_DESCRIPTION "Recodes text files through a translation table"
#define LETTERMILL_INTERNAL_NAME "lettermill"
#define LETTERMILL_LEGAL_COPYRIGHT "Copyright (c) The Lettermill Workshop"
#define LETTERMILL_LEGAL_TRADEMARKS "No trademarks are claimed"
#define LETTERMILL_ORIGINAL_FILENAME "lettermill.exe"
#define LETTERMILL_COMMENTS "Byte by byte, line by line"
/* A host name without a scheme: the About box puts "http://" in front of it. */
#define LETTERMILL_WEB_HOST "lettermill.example.org"
