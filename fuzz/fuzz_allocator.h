// The text engine's memory for the fuzz programs: storage blocks are kept for
// the next run instead of going back to the system (AddressSanitizer maps and
// unmaps every block otherwise, which costs more than the run itself), and
// allocations can be made to fail, to drive the out-of-memory paths. A kept
// block is poisoned, so a use after its release is still reported. Opening
// scans on two threads, so every call holds a lock.
#pragma once

#include "text/storage.h"

#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace stx::fuzz {

class FuzzAllocator final : public BlockAllocator {
  public:
    // The next `grants` allocations succeed and the ones after them fail;
    // a negative count lets all succeed.
    void FailAfter(long grants) {
        std::lock_guard lock(mutex_);
        grants_ = grants;
    }
    long Failures() {
        std::lock_guard lock(mutex_);
        return failures_;
    }

    void* Allocate(size_t size) override {
        std::lock_guard lock(mutex_);
        if (grants_ >= 0 && grants_-- == 0) {
            grants_ = 0;
            ++failures_;
            return nullptr;
        }
        void* block = nullptr;
        if (size == kBlockSize && !kept_.empty()) {
            block = kept_.back();
            kept_.pop_back();
            ASAN_UNPOISON_MEMORY_REGION(block, size);
        } else {
            block = std::malloc(size);
        }
        if (block) sizes_[block] = size;
        return block;
    }

    void Free(void* block) override {
        if (!block) return;
        std::lock_guard lock(mutex_);
        const auto it = sizes_.find(block);
        if (it == sizes_.end()) std::abort(); // not ours, or freed twice
        const size_t size = it->second;
        sizes_.erase(it);
        if (size == kBlockSize && kept_.size() < kMaxKept) {
            ASAN_POISON_MEMORY_REGION(block, size);
            kept_.push_back(block);
        } else {
            std::free(block);
        }
    }

  private:
    static constexpr size_t kMaxKept = 32;
    std::mutex mutex_;
    long grants_ = -1;
    long failures_ = 0;
    std::unordered_map<void*, size_t> sizes_;
    std::vector<void*> kept_;
};

// One allocator for the whole process, so kept blocks serve every run.
inline FuzzAllocator& Allocator() {
    static FuzzAllocator* allocator = new FuzzAllocator;
    return *allocator;
}

} // namespace stx::fuzz
