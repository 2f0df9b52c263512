#include "util/memory_2d.h"

#include <new>
#include <utility>

#include "base/exception.h"

namespace nb {

void Memory_2d_Cpu::copy_from(const void* source, int64_t, int64_t, int64_t) {
    if (source == data()) return;
    ASSERT_INCOMPLETE;
}

void Memory_2d_Cpu::copy_to(void* destination, int64_t, int64_t, int64_t) {
    if (destination == data()) return;
    ASSERT_INCOMPLETE;
}

Memory_2d_Unmananged::Memory_2d_Unmananged(void* data, int64_t width, int64_t height, int64_t row_bytes)
    : data_(data), width_(width), height_(height), row_bytes_(row_bytes) {
    ASSERT(width >= 0 && height >= 0);
    if (data == nullptr && width * height >= 1) throw std::bad_alloc();
}

Mapped_Memory_2d::Mapped_Memory_2d(std::shared_ptr<Memory_2d_Cpu> cpu, std::shared_ptr<Memory_2d> device)
    : _mem_cpu(std::move(cpu)), _mem_device(std::move(device)) {}

void* Mapped_Memory_2d::data_cpu() { return _mem_cpu->data(); }
void* Mapped_Memory_2d::data_device() { return _mem_device->data(); }
int64_t Mapped_Memory_2d::width() const { return _mem_cpu->width(); }
int64_t Mapped_Memory_2d::height() const { return _mem_cpu->height(); }
int64_t Mapped_Memory_2d::row_bytes() const { return _mem_cpu->row_bytes(); }
int64_t Mapped_Memory_2d::row_bytes_device() const { return _mem_device->row_bytes(); }

void Mapped_Memory_2d::upload() {
    ASSERT(_mem_cpu->width() == _mem_device->width(), "mapped memory only supports same sized memory chunks");
    ASSERT(_mem_cpu->height() == _mem_device->height(), "mapped memory only supports same sized memory chunks");
    _mem_device->copy_from(_mem_cpu->data(), _mem_cpu->width(), _mem_cpu->height(), _mem_cpu->row_bytes());
}

void Mapped_Memory_2d::download() {
    ASSERT(_mem_cpu->width() == _mem_device->width(), "mapped memory only supports same sized memory chunks");
    ASSERT(_mem_cpu->height() == _mem_device->height(), "mapped memory only supports same sized memory chunks");
    _mem_device->copy_to(_mem_cpu->data(), _mem_cpu->width(), _mem_cpu->height(), _mem_cpu->row_bytes());
}

}  // namespace nb
