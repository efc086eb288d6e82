#include "fault_injection/injected_faults.h"

#include <array>

namespace fault_injection {
namespace {

struct Plan {
    std::array<int, 4> calls{};
    Call failing = Call::Open;
    int nth = 0;  // 0: none
    platform::ErrorCode code = 0;
    bool fired = false;
};

Plan currentPlan;

int& countOf(Call call) {
    return currentPlan.calls[static_cast<std::size_t>(call)];
}

}  // namespace

void FailNth(Call call, int nth, platform::ErrorCode code) {
    currentPlan = Plan{{}, call, nth, code, false};
}

void FailNone() {
    currentPlan = Plan{};
}

int CallsSoFar(Call call) {
    return countOf(call);
}

bool FaultFired() {
    return currentPlan.fired;
}

platform::ErrorCode InjectedFault(Call call) {
    const int count = ++countOf(call);
    if (currentPlan.nth == 0 || call != currentPlan.failing || count != currentPlan.nth) {
        return 0;
    }
    currentPlan.fired = true;
    return currentPlan.code;
}

}  // namespace fault_injection
