// One-dimensional memory blocks and their mapped CPU/device twins.
#pragma once

#include <cstdint>
#include <memory>

namespace nb {

class Memory {
public:
    virtual ~Memory() = default;
    virtual void* data() = 0;
    virtual int64_t size() const = 0;
    virtual void copy_from(const void* source, int64_t bytes) = 0;
    virtual void copy_to(void* destination, int64_t bytes) = 0;
};

// A block in CPU memory.
class Memory_Cpu : public Memory {
public:
    // Overlap-safe copies; copying a block onto itself does nothing. Throws Exception_Assert for bytes < 0.
    void copy_from(const void* source, int64_t bytes) override;
    void copy_to(void* destination, int64_t bytes) override;
};

// A CPU block and its device twin. Here both twins are always the same block, so the device
// pointer equals the CPU pointer and upload/download copy nothing.
class Mapped_Memory {
public:
    Mapped_Memory(std::shared_ptr<Memory_Cpu> cpu, std::shared_ptr<Memory> device);
    virtual ~Mapped_Memory() = default;
    virtual void* data_cpu();
    virtual void* data_device();
    virtual int64_t size() const;
    virtual void upload();
    virtual void download();

private:
    std::shared_ptr<Memory_Cpu> _mem_cpu;
    std::shared_ptr<Memory> _mem_device;
};

}  // namespace nb
