#pragma once
// For tests that need an X server: by hand without one they skip and say why; under
// scripts/test, which sets KESTRUM_REQUIRE_DISPLAY and runs them under Xvfb, a missing server
// is a failure, so they never skip unnoticed. Use in SetUp or at the top of a test.

#include <cstdlib>

#define KESTRUM_REQUIRE_X_DISPLAY(hasDisplay)                                                                \
    do                                                                                                       \
    {                                                                                                        \
        if (!(hasDisplay))                                                                                   \
        {                                                                                                    \
            if (std::getenv("KESTRUM_REQUIRE_DISPLAY"))                                                      \
                FAIL() << "no X server reachable (DISPLAY='"                                                 \
                       << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "")                             \
                       << "'), but one is required";                                                         \
            GTEST_SKIP() << "no X server reachable: run under xvfb-run to test the X11 editor";              \
        }                                                                                                    \
    } while (false)
