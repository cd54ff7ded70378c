#include <gtest/gtest.h>

#include "engine/system/OxException.h"

namespace {

using namespace Orvex::Exception;

TEST(OxException, MessagesAreTheEnginesOwnTexts) {
    EXPECT_EQ(OxRuntimeException("詳細").getMessage(), "詳細");
    EXPECT_EQ(OxRuntimeException("").getMessage(), "実行時例外（範囲外の数値が指定されている)");
    EXPECT_EQ(OxInterruptedException(kExceptionBaseMessage).getMessage(), "OxInterruptedException 例外");
    EXPECT_EQ(OxIllegalMonitorStateException(kExceptionBaseMessage).getMessage(),
              "OxIllegalMonitorStateException 例外");
    // Caught through the base, the most derived message is reported.
    const OxException& base = OxInterruptedException(kExceptionBaseMessage);
    EXPECT_EQ(base.getMessage(), "OxInterruptedException 例外");
    EXPECT_EQ(OxException("例外発生").getMessage(), "例外発生");
}

}  // namespace
