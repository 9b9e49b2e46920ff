#pragma once

#include "support/TempDir.h"

#include <gtest/gtest.h>

// Skips the running GoogleTest test, with one line saying where the corpus was looked for, when the
// real-world corpus is not there. For a test body, SetUp or SetUpTestSuite.
#define VELMORA_REQUIRE_REAL_CORPUS()                                                                        \
    do {                                                                                                     \
        if (!testsupport::HaveRealCorpus()) {                                                                \
            GTEST_SKIP() << testsupport::RealCorpusMissing();                                                \
        }                                                                                                    \
    } while (false)
