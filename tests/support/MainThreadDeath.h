#pragma once
#include <thread>

#include <gtest/gtest.h>

#include "platform/foundation/MainThread.h"

// Expects `statement`, run on a worker thread, to abort the program with the main-thread
// report whose subject starts with `subject` (a regular expression). The death test runs in a
// fresh copy of the test program ("threadsafe" style), so worker threads and servers of the
// test do not matter. Release builds, which log instead of aborting, skip the test.
#define EXPECT_ABORTS_OFF_THE_MAIN_THREAD(statement, subject)                                           \
    do {                                                                                                \
        if (foundation::mainThreadPolicy() != foundation::MainThreadPolicy::Abort)                      \
            GTEST_SKIP() << "this build logs main-thread violations instead of aborting";               \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                                 \
        EXPECT_DEATH(std::thread([&] { statement; }).join(), "main thread violation: " subject);        \
    } while (0)
