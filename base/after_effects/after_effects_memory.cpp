// Lazy host-allocated blocks: nothing is asked of the host until the first data() call.
#include "base/after_effects/after_effects_memory.h"

#include <limits>
#include <new>

#include "base/after_effects/helper/ae_helper.h"
#include "base/exception.h"

namespace nb {
namespace {

// Destructors must not throw; a failed release has already logged itself and only leaks the block.
void release(void* data, const SPBasicSuite* basic) noexcept {
    if (data == nullptr) return;
    try {
        ae::free(data, basic);
    } catch (const Exception_Runtime&) {
    }
}

}  // namespace

Memory_Cpu_AE_Lazy::Memory_Cpu_AE_Lazy(const SPBasicSuite* basic, bool touch, int64_t size)
    : basic_(basic), touch_(touch), size_(size) {
    ASSERT(size >= 0);
}

Memory_Cpu_AE_Lazy::~Memory_Cpu_AE_Lazy() { release(data_, basic_); }

void* Memory_Cpu_AE_Lazy::data() {
    if (data_ == nullptr) data_ = ae::allocate(size_, basic_, touch_);
    return data_;
}

Memory_2d_Cpu_AE_Lazy::Memory_2d_Cpu_AE_Lazy(const SPBasicSuite* basic, bool touch, int64_t width, int64_t height)
    : basic_(basic), touch_(touch), width_(width), height_(height) {
    ASSERT(width >= 0 && height >= 0);
    // No host could hold such a block; refusing here keeps the rounding below free of overflow.
    if (width > std::numeric_limits<int64_t>::max() - ae::alignment) throw std::bad_alloc();
    row_bytes_ = (width + ae::alignment - 1) / ae::alignment * ae::alignment;
}

Memory_2d_Cpu_AE_Lazy::~Memory_2d_Cpu_AE_Lazy() { release(data_, basic_); }

void* Memory_2d_Cpu_AE_Lazy::data() {
    if (data_ != nullptr) return data_;
    if (height_ > 0 && row_bytes_ > std::numeric_limits<int64_t>::max() / height_) throw std::bad_alloc();
    data_ = ae::allocate(row_bytes_ * height_, basic_, touch_);
    return data_;
}

}  // namespace nb
