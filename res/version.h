/* The program's version, in one place for the version resource and the command-line companion.
   Plain #defines, since the resource compiler reads this file too. */
#pragma once

#define LETTERMILL_VERSION_NUMBERS 0, 1, 0, 0
#define LETTERMILL_FILE_VERSION "0.1.0.0"
#define LETTERMILL_PRODUCT_VERSION "0.41"
#define LETTERMILL_PRODUCT_NAME "Lettermill"
