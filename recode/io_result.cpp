#include "recode/io_result.h"

#include "platform/system_file.h"

namespace recode {
namespace {

thread_local IoResult pendingResult = 0;

}  // namespace

IoResult takeIoResult() {
    const IoResult code = pendingResult;
    pendingResult = 0;
    return code;
}

void storeIoResult(IoResult code) {
    pendingResult = code;
}

std::string describeIoFailure(IoFailure failure) {
    if (!failure.engines) {
        return platform::describeError(failure.code);
    }
    switch (failure.code) {
        case kClosedWhileNotOpen:
            return "file closed while not open";
        case kUsedWhileNotOpen:
            return "file used while not open";
        case kUnknownFileType:
            return "file of an unknown type";
        default:
            return "engine failure " + std::to_string(failure.code);
    }
}

}  // namespace recode
