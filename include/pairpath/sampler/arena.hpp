// Memory handed out in large blocks, so that building the cover counts seldom asks the system
// for more and touches only the pages it uses. The blocks are whole huge pages, and where the
// system has huge pages it is asked to back them so: a build then takes a few hundred page
// faults rather than thousands, and its scattered reads miss the address cache less often.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace pairpath {

struct Arena {
    static constexpr std::size_t hugePage = std::size_t{2} << 20;
    static constexpr std::size_t blockSize = 2 * hugePage;
    struct Release {
        void operator()(std::uint8_t* block) const {
            ::operator delete (block, std::align_val_t{hugePage});
        }
    };
    // Left as they are until written: a page is touched only when a count lands on it.
    std::vector<std::unique_ptr<std::uint8_t, Release>> blocks;
    std::uint8_t* free = nullptr;
    std::size_t left = 0;

    // `bytes` bytes at a multiple of `alignment` (at most a huge page) from the block's start.
    std::uint8_t* take(std::size_t bytes, std::size_t alignment = 1) {
        const std::size_t skip = left % alignment; // blocks are whole huge pages
        if (bytes + skip <= left) {
            free += skip;
            left -= skip;
        } else {
            left = (std::max(bytes, blockSize) + hugePage - 1) / hugePage * hugePage;
            std::unique_ptr<std::uint8_t, Release> block(
                static_cast<std::uint8_t*>(::operator new (left, std::align_val_t{hugePage})));
#ifdef MADV_HUGEPAGE
            madvise(block.get(), left, MADV_HUGEPAGE); // only advice: without it pages are small
#endif
            free = block.get();
            blocks.push_back(std::move(block));
        }
        std::uint8_t* taken = free;
        free += bytes;
        left -= bytes;
        return taken;
    }

    // Everything taken from `from` on, which must lie in the last block, is free again.
    void giveBack(std::uint8_t* from) {
        left += std::size_t(free - from);
        free = from;
    }

    // `count` records, each set to T{}.
    template <typename T> T* make(std::size_t count) {
        auto* records = static_cast<T*>(static_cast<void*>(take(count * sizeof(T), alignof(T))));
        std::uninitialized_value_construct_n(records, count);
        return records;
    }
};

} // namespace pairpath
