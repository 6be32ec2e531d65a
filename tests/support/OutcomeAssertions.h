#pragma once
// An Outcome in a test assertion: a failure prints its text.
//
//     ASSERT_TRUE(test::succeeded(readVdbFile(path, db)));

#include <gtest/gtest.h>

#include <string>

#include "core/Outcome.h"

namespace orma::test {

inline ::testing::AssertionResult succeeded(const Outcome& outcome) {
    if (outcome) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << outcome.text();
}

/// The text of an outcome that must be a failure; a success fails the test.
inline std::string failureText(const Outcome& outcome) {
    EXPECT_FALSE(outcome) << "succeeded where it had to fail";
    return outcome.text();
}

}  // namespace orma::test
