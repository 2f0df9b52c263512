// Working memory allocated through the host's handle suite, lazily, 64-byte aligned.
#pragma once

#include <cstdint>

#include "base/after_effects/ae_sdk.h"
#include "util/memory.h"
#include "util/memory_2d.h"

namespace nb {

// size bytes, allocated on the first data() call by the thread that makes the call; freed with the block.
// Not thread-safe until data() has been called once.
class Memory_Cpu_AE_Lazy : public Memory_Cpu {
public:
    // Throws Exception_Assert for size < 0. touch: commit every page on allocation (see ae::allocate).
    Memory_Cpu_AE_Lazy(const SPBasicSuite* basic, bool touch, int64_t size);
    ~Memory_Cpu_AE_Lazy() override;
    Memory_Cpu_AE_Lazy(const Memory_Cpu_AE_Lazy&) = delete;
    Memory_Cpu_AE_Lazy& operator=(const Memory_Cpu_AE_Lazy&) = delete;

    // Throws std::bad_alloc when the host has no memory, Exception_Ae_Suite without a handle suite.
    void* data() override;
    int64_t size() const override { return size_; }

private:
    const SPBasicSuite* basic_;
    bool touch_;
    void* data_ = nullptr;
    int64_t size_;
};

// width bytes by height rows; each row starts 64-byte aligned (row_bytes is width rounded up to 64).
class Memory_2d_Cpu_AE_Lazy : public Memory_2d_Cpu {
public:
    // Throws Exception_Assert for a negative width or height. touch as for Memory_Cpu_AE_Lazy.
    Memory_2d_Cpu_AE_Lazy(const SPBasicSuite* basic, bool touch, int64_t width, int64_t height);
    ~Memory_2d_Cpu_AE_Lazy() override;
    Memory_2d_Cpu_AE_Lazy(const Memory_2d_Cpu_AE_Lazy&) = delete;
    Memory_2d_Cpu_AE_Lazy& operator=(const Memory_2d_Cpu_AE_Lazy&) = delete;

    void* data() override;
    int64_t width() const override { return width_; }
    int64_t height() const override { return height_; }
    int64_t row_bytes() const override { return row_bytes_; }

private:
    const SPBasicSuite* basic_;
    bool touch_;
    void* data_ = nullptr;
    int64_t width_;
    int64_t height_;
    int64_t row_bytes_;
};

}  // namespace nb
