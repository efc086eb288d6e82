// The engine's own codes are numbers that systems use too: a message must say whose code it is.
#include <gtest/gtest.h>

#include "platform/system_file.h"
#include "recode/io_result.h"

TEST(IoFailure, TheEnginesCodesAreNotTakenForTheSystemsOfTheSameNumber) {
    for (const recode::IoResult code :
         {recode::kClosedWhileNotOpen, recode::kUsedWhileNotOpen, recode::kUnknownFileType}) {
        EXPECT_EQ(recode::describeIoFailure(recode::IoFailure::System(code)),
                  platform::describeError(code));
        EXPECT_NE(recode::describeIoFailure(recode::IoFailure::Engines(code)),
                  platform::describeError(code));
    }
}
