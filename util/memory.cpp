#include "util/memory.h"

#include <cstring>
#include <utility>

#include "base/exception.h"

namespace nb {

void Memory_Cpu::copy_from(const void* source, int64_t bytes) {
    ASSERT(bytes >= 0);
    if (source == data()) return;
    std::memmove(data(), source, static_cast<size_t>(bytes));
}

void Memory_Cpu::copy_to(void* destination, int64_t bytes) {
    ASSERT(bytes >= 0);
    if (destination == data()) return;
    std::memmove(destination, data(), static_cast<size_t>(bytes));
}

Mapped_Memory::Mapped_Memory(std::shared_ptr<Memory_Cpu> cpu, std::shared_ptr<Memory> device)
    : _mem_cpu(std::move(cpu)), _mem_device(std::move(device)) {}

void* Mapped_Memory::data_cpu() { return _mem_cpu->data(); }
void* Mapped_Memory::data_device() { return _mem_device->data(); }
int64_t Mapped_Memory::size() const { return _mem_cpu->size(); }

void Mapped_Memory::upload() {
    ASSERT(_mem_cpu->size() == _mem_device->size(), "mapped memory only supports same sized memory chunks");
    _mem_device->copy_from(_mem_cpu->data(), _mem_cpu->size());
}

void Mapped_Memory::download() {
    ASSERT(_mem_cpu->size() == _mem_device->size(), "mapped memory only supports same sized memory chunks");
    _mem_device->copy_to(_mem_cpu->data(), _mem_cpu->size());
}

}  // namespace nb
