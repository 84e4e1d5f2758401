#pragma once

#include "store/Result.h"

#include <gtest/gtest.h>

namespace velumark {

// For ASSERT_TRUE and EXPECT_TRUE: a failure shows its message.
template <typename T>::testing::AssertionResult succeeded(const Result<T> &result)
{
    if (result)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "failed: " << result.message().toStdString();
}

} // namespace velumark
