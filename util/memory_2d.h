// Two-dimensional memory blocks (width in bytes), host-buffer wrappers and mapped twins.
#pragma once

#include <cstdint>
#include <memory>

namespace nb {

class Memory_2d {
public:
    virtual ~Memory_2d() = default;
    virtual void* data() = 0;
    virtual int64_t width() const = 0;  // bytes per row that hold pixels
    virtual int64_t height() const = 0;
    virtual int64_t row_bytes() const = 0;
    virtual void copy_from(const void* source, int64_t width, int64_t height, int64_t row_bytes) = 0;
    virtual void copy_to(void* destination, int64_t width, int64_t height, int64_t row_bytes) = 0;
};

// A 2-D block in CPU memory. Only the trivial copy onto itself is supported.
class Memory_2d_Cpu : public Memory_2d {
public:
    void copy_from(const void* source, int64_t width, int64_t height, int64_t row_bytes) override;
    void copy_to(void* destination, int64_t width, int64_t height, int64_t row_bytes) override;
};

// Wraps memory owned elsewhere (a host buffer). A null pointer is accepted only for an empty size.
class Memory_2d_Unmananged : public Memory_2d_Cpu {
public:
    Memory_2d_Unmananged(void* data, int64_t width, int64_t height, int64_t row_bytes);
    void* data() override { return data_; }
    int64_t width() const override { return width_; }
    int64_t height() const override { return height_; }
    int64_t row_bytes() const override { return row_bytes_; }

private:
    void* data_;
    int64_t width_;
    int64_t height_;
    int64_t row_bytes_;
};

class Mapped_Memory_2d {
public:
    Mapped_Memory_2d(std::shared_ptr<Memory_2d_Cpu> cpu, std::shared_ptr<Memory_2d> device);
    virtual ~Mapped_Memory_2d() = default;
    virtual void* data_cpu();
    virtual void* data_device();
    virtual int64_t width() const;
    virtual int64_t height() const;
    virtual int64_t row_bytes() const;
    virtual int64_t row_bytes_device() const;
    virtual void upload();
    virtual void download();

private:
    std::shared_ptr<Memory_2d_Cpu> _mem_cpu;
    std::shared_ptr<Memory_2d> _mem_device;
};

}  // namespace nb
