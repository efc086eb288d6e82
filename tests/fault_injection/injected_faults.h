// Faults on demand in the system layer of the test build: the Nth call of a kind fails with a
// chosen system code, before it reaches the system (a failing close still releases the
// descriptor first, as close() on Linux does).
#pragma once

#include "platform/system_file.h"

namespace fault_injection {

// Opens and creates, including the duplicates of the standard streams, count as opens.
enum class Call { Open, Read, Write, Close };

// Counts calls afresh from now on, and makes the `nth` one of `call` (from 1) fail with `code`.
void FailNth(Call call, int nth, platform::ErrorCode code);
// Counts calls afresh from now on, and fails none.
void FailNone();

// The calls of a kind since the last FailNth or FailNone, and whether the fault has fired.
int CallsSoFar(Call call);
bool FaultFired();

// Called by the test build's system layer before each call of a kind: the code to fail it with,
// or 0 to let it through.
platform::ErrorCode InjectedFault(Call call);

}  // namespace fault_injection
