#pragma once
// A check that an action throws an exception of the program's own classes with a given
// message. Another exception type goes on to the test framework, which fails the test.
#include <gtest/gtest.h>

#include "base/Text.h"

template <class E, class F>
void ExpectThrowWithMessage(F&& action, const Text& message) {
  try {
    action();
    ADD_FAILURE() << "no exception; expected \"" << message << "\"";
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}
