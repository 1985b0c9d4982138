// A path node that cannot be allocated ends the program with "Out of memory!" and status 1.
// This file replaces the allocation that path nodes use, so it is a test program of its own.

#include "pairpath.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <new>

namespace {
bool allocationsFail = false;
} // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (allocationsFail) return nullptr;
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace pairpath {
namespace {

TEST(OutOfMemory, NodeAllocationFailureEndsWithStatusOne) {
    Node* head = makenode(-1, nullptr);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->pos, -1);
    Paths paths{head};
    releasePaths(paths, 1);
    EXPECT_EXIT(
        {
            std::cout.rdbuf(std::cerr.rdbuf()); // the death test sees standard error only
            allocationsFail = true;
            makenode(12, nullptr);
        },
        ::testing::ExitedWithCode(1), "^Out of memory!\n$");
}

} // namespace
} // namespace pairpath
