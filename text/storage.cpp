#include "text/storage.h"

#include <cstdlib>
#include <cstring>

namespace stx {

namespace {

// Block header: size, next block, previous block (pointer-sized fields).
constexpr size_t kBlockNext = sizeof(size_t);
constexpr size_t kBlockPrev = sizeof(size_t) + sizeof(void*);
constexpr size_t kBlockData = sizeof(size_t) + 2 * sizeof(void*);
constexpr size_t kDataSize = kBlockSize - kBlockData;
// What a block is sure to hold for writing after its end reserves.
constexpr size_t kUsablePerBlock = kDataSize - kRecordReserve - kTokenReserve - 64;

unsigned char* NextOf(unsigned char* b) {
    unsigned char* n;
    std::memcpy(&n, b + kBlockNext, sizeof n);
    return n;
}
unsigned char* PrevOf(unsigned char* b) {
    unsigned char* n;
    std::memcpy(&n, b + kBlockPrev, sizeof n);
    return n;
}
void SetNext(unsigned char* b, unsigned char* n) {
    std::memcpy(b + kBlockNext, &n, sizeof n);
}
void SetPrev(unsigned char* b, unsigned char* n) {
    std::memcpy(b + kBlockPrev, &n, sizeof n);
}

class MallocAllocator final : public BlockAllocator {
  public:
    void* Allocate(size_t size) override { return std::malloc(size); }
    void Free(void* block) override { std::free(block); }
};

} // namespace

BlockAllocator& SystemBlockAllocator() {
    static MallocAllocator allocator;
    return allocator;
}

unsigned char* Storage::FirstData() const {
    return first_ ? first_ + kBlockData : nullptr;
}

void Storage::FreeAll() {
    unsigned char* b = first_;
    while (b) {
        unsigned char* n = NextOf(b);
        allocator_->Free(b);
        b = n;
    }
    first_ = current_ = last_ = end_ = limit_ = nullptr;
    blockCount_ = 0;
}

void Storage::Adopt(Storage& other) {
    FreeAll();
    allocator_ = other.allocator_;
    first_ = other.first_;
    current_ = other.current_;
    last_ = other.last_;
    end_ = other.end_;
    limit_ = other.limit_;
    blockCount_ = other.blockCount_;
    other.first_ = other.current_ = other.last_ = other.end_ = other.limit_ = nullptr;
    other.blockCount_ = 0;
}

unsigned char* Storage::AppendBlock() {
    auto* b = static_cast<unsigned char*>(allocator_->Allocate(kBlockSize));
    if (!b) return nullptr;
    size_t size = kBlockSize;
    std::memcpy(b, &size, sizeof size);
    SetNext(b, nullptr);
    SetPrev(b, last_);
    if (last_)
        SetNext(last_, b);
    else
        first_ = b;
    last_ = b;
    ++blockCount_;
    return b;
}

bool Storage::Init() {
    FreeAll();
    unsigned char* b = AppendBlock();
    if (!b) return false;
    current_ = b;
    end_ = b + kBlockData;
    limit_ = b + kBlockSize;
    return true;
}

bool Storage::Reserve(size_t bytes) {
    size_t room = Remaining() > kRecordReserve ? Remaining() - kTokenReserve - 64 : 0;
    for (unsigned char* b = NextOf(current_); b && room < bytes; b = NextOf(b))
        room += kUsablePerBlock;
    unsigned char* oldLast = last_;
    while (room < bytes) {
        if (!AppendBlock()) {
            // Give back what this call took; the document keeps its blocks.
            FreeAfter(oldLast);
            return false;
        }
        room += kUsablePerBlock;
    }
    return true;
}

void Storage::FreeAfter(unsigned char* keep) {
    unsigned char* b = NextOf(keep);
    SetNext(keep, nullptr);
    last_ = keep;
    while (b) {
        unsigned char* n = NextOf(b);
        allocator_->Free(b);
        --blockCount_;
        b = n;
    }
}

bool Storage::NextBlock() {
    unsigned char* n = NextOf(current_);
    if (!n) n = AppendBlock();
    if (!n) return false;
    current_ = n;
    end_ = n + kBlockData;
    limit_ = n + kBlockSize;
    return true;
}

void Storage::Rewind(unsigned char* p) {
    while (!(p >= current_ + kBlockData && p <= current_ + kBlockSize))
        current_ = PrevOf(current_);
    end_ = p;
    limit_ = current_ + kBlockSize;
}

void Storage::FreeBehind() {
    FreeAfter(current_);
}

} // namespace stx
