/* The names the main dialog proposes, which the command-line companion takes as its defaults
   too. Plain #defines, since the resource compiler reads this file too. */
#pragma once

#define LETTERMILL_DEFAULT_INPUT "input.txt"
#define LETTERMILL_DEFAULT_OUTPUT "output.txt"
#define LETTERMILL_DEFAULT_TABLE "win2trans.tab"
