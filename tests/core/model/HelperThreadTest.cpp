#include "HelperThread.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>
#include <stdexcept>

namespace mb {
namespace {

std::vector<int> Cores(pthread_t thread) {
    cpu_set_t set;
    CPU_ZERO(&set);
    EXPECT_EQ(pthread_getaffinity_np(thread, sizeof set, &set), 0);
    std::vector<int> cores;
    for (int c = 0; c < CPU_SETSIZE; ++c)
        if (CPU_ISSET(c, &set)) cores.push_back(c);
    return cores;
}

TEST(HelperThread, RunsItsWorkElsewhereAndGivesTheCallerItsCoresBackWhenJoined) {
    const std::vector<int> before = Cores(pthread_self());
    std::vector<int> helperCores, callerCoresMeanwhile;
    {
        HelperThread helper([&] { helperCores = Cores(pthread_self()); });
        ASSERT_TRUE(helper.started());
        callerCoresMeanwhile = Cores(pthread_self());
        helper.join();
        EXPECT_FALSE(helperCores.empty()) << "the work ran";
        EXPECT_EQ(Cores(pthread_self()), before);
        helper.join(); // a second join returns at once
    }
    EXPECT_EQ(Cores(pthread_self()), before);
    if (!HelperThread::pays()) GTEST_SKIP() << "one core: nothing to spread";
    // While both run, each keeps to its own cores, so neither waits for the other's.
    ASSERT_EQ(callerCoresMeanwhile.size(), 1u);
    for (int core : helperCores)
        EXPECT_NE(core, callerCoresMeanwhile[0]);
}

TEST(HelperThread, WhatTheWorkThrowsIsKeptForTheCaller) {
    HelperThread helper([] { throw std::runtime_error("out of memory"); });
    ASSERT_TRUE(helper.started());
    helper.join();
    ASSERT_TRUE(helper.failure());
    EXPECT_THROW(std::rethrow_exception(helper.failure()), std::runtime_error);
}

} // namespace
} // namespace mb
