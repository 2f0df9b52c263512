// Function tables of the render suites; each function finds its effect through effect_ref.
#include "host/render_suites.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <utility>

#include "host/effect_instance.h"
#include "host/headless_host.h"
#include "host/host_slots.h"
#include "host/host_world.h"

namespace nb::host {
namespace {

Effect_Records& records(PF_ProgPtr effect_ref) { return Effect_Instance::from(effect_ref).records(); }

PF_Err fault(PF_ProgPtr effect_ref, const char* name) {
    return Effect_Instance::from(effect_ref).host().faults().enter(name);
}

std::optional<World_Format> world_format_of(PF_PixelFormat format) {
    if (format == PF_PixelFormat_ARGB32) return World_Format{Pixel_Depth::bits_8, Channel_Order::argb, false};
    if (format == PF_PixelFormat_ARGB64) return World_Format{Pixel_Depth::bits_16, Channel_Order::argb, false};
    if (format == PF_PixelFormat_ARGB128) return World_Format{Pixel_Depth::bits_32, Channel_Order::argb, false};
    if (format == PF_PixelFormat_GPU_BGRA128) return World_Format{Pixel_Depth::bits_32, Channel_Order::bgra, true};
    return std::nullopt;
}

std::optional<World_Format> premiere_format_of(PrPixelFormat format) {
    for (const Pixel_Depth depth : {Pixel_Depth::bits_8, Pixel_Depth::bits_16, Pixel_Depth::bits_32}) {
        for (const Channel_Order order : {Channel_Order::argb, Channel_Order::bgra}) {
            const World_Format candidate{depth, order, false};
            if (candidate.premiere_format() == format) return candidate;
        }
    }
    return std::nullopt;
}

// The world lives in the effect's records until the plug-in disposes of it; the plug-in gets a copy of
// its record, which still leads back to it.
PF_Err make_world(PF_ProgPtr effect_ref, A_long width, A_long height, const std::optional<World_Format>& format,
                  PF_EffectWorld* world) {
    if (!format || world == nullptr || width < 0 || height < 0) return PF_Err_BAD_CALLBACK_PARAM;
    auto made = std::make_unique<Host_World>(width, height, *format);
    *world = *made->world();
    records(effect_ref).made_worlds[made->world()->data] = std::move(made);
    return PF_Err_NONE;
}

PF_Err dispose_world(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
    if (world == nullptr || records(effect_ref).made_worlds.erase(world->data) == 0) return PF_Err_BAD_CALLBACK_PARAM;
    *world = PF_EffectWorld{};
    return PF_Err_NONE;
}

// World suite.

PF_Err new_world(PF_ProgPtr effect_ref, A_long width, A_long height, PF_Boolean, PF_PixelFormat format,
                 PF_EffectWorld* world) {
    if (const PF_Err error = fault(effect_ref, "PF_NewWorld")) return error;
    return make_world(effect_ref, width, height, world_format_of(format), world);
}

PF_Err world_dispose(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
    if (const PF_Err error = fault(effect_ref, "PF_DisposeWorld")) return error;
    return dispose_world(effect_ref, world);
}

PF_Err world_pixel_format_of(const PF_EffectWorld* world, PF_PixelFormat* format) {
    const World_Format* found = Host_World::format_of(world);
    if (found == nullptr || format == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *format = found->world_suite_format();
    return PF_Err_NONE;
}

// Pixel format suite.

PF_Err add_supported(PF_ProgPtr effect_ref, PrPixelFormat format) {
    if (const PF_Err error = fault(effect_ref, "AddSupportedPixelFormat")) return error;
    records(effect_ref).supported_formats.push_back(format);
    return PF_Err_NONE;
}

PF_Err clear_supported(PF_ProgPtr effect_ref) {
    if (const PF_Err error = fault(effect_ref, "ClearSupportedPixelFormats")) return error;
    records(effect_ref).supported_formats.clear();
    ++records(effect_ref).format_clears;
    return PF_Err_NONE;
}

PF_Err new_world_of_format(PF_ProgPtr effect_ref, A_u_long width, A_u_long height, PF_NewWorldFlags,
                           PrPixelFormat format, PF_EffectWorld* world) {
    if (const PF_Err error = fault(effect_ref, "NewWorldOfPixelFormat")) return error;
    return make_world(effect_ref, static_cast<A_long>(width), static_cast<A_long>(height), premiere_format_of(format),
                      world);
}

PF_Err premiere_dispose(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
    if (const PF_Err error = fault(effect_ref, "DisposeWorld")) return error;
    return dispose_world(effect_ref, world);
}

PF_Err premiere_pixel_format_of(PF_EffectWorld* world, PrPixelFormat* format) {
    const World_Format* found = Host_World::format_of(world);
    if (found == nullptr || format == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *format = found->premiere_format();
    return PF_Err_NONE;
}

// Utility suite: the headless host has clips and timelines of no kind, so every question about them is
// answered with PF_Err_INVALID_CALLBACK.

PF_Err wants_matching_frames(PF_ProgPtr effect_ref) {
    if (const PF_Err error = fault(effect_ref, "EffectWantsCheckedOutFramesToMatchRenderPixelFormat")) return error;
    records(effect_ref).frames_match_render_format = true;
    return PF_Err_NONE;
}

PF_Err filter_instance_id(PF_ProgPtr effect_ref, A_long* id) {
    if (id == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    // Unique among the instances alive at a time, which is all the plug-in may rely on.
    *id = static_cast<A_long>(reinterpret_cast<std::uintptr_t>(effect_ref) >> 4);
    return PF_Err_NONE;
}

template <class... Arguments>
PF_Err no_timeline(PF_ProgPtr, Arguments...) {
    return PF_Err_INVALID_CALLBACK;
}

// GPU device suite: one emulated device whose memory is the host's.

PF_Err device_count(PF_ProgPtr effect_ref, A_u_long* count) {
    if (const PF_Err error = fault(effect_ref, "GetDeviceCount")) return error;
    if (count == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *count = 1;
    return PF_Err_NONE;
}

PF_Err device_info(PF_ProgPtr effect_ref, A_u_long index, PF_GPUDeviceInfo* info) {
    if (const PF_Err error = fault(effect_ref, "GetDeviceInfo")) return error;
    if (index != 0 || info == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *info = PF_GPUDeviceInfo{};
    info->device_framework = PF_GPU_Framework_NONE;
    info->compatibleB = false;
    return PF_Err_NONE;
}

PF_Err device_access(PF_ProgPtr, A_u_long index) { return index == 0 ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM; }

PF_Err allocate_memory(PF_ProgPtr, A_u_long index, size_t bytes, void** memory) {
    if (index != 0 || memory == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *memory = std::malloc(bytes > 0 ? bytes : 1);
    return *memory != nullptr ? PF_Err_NONE : PF_Err_OUT_OF_MEMORY;
}

PF_Err free_memory(PF_ProgPtr, A_u_long index, void* memory) {
    if (index != 0) return PF_Err_BAD_CALLBACK_PARAM;
    std::free(memory);
    return PF_Err_NONE;
}

PF_Err purge_memory(PF_ProgPtr, A_u_long index, size_t, size_t* purged) {
    if (index != 0) return PF_Err_BAD_CALLBACK_PARAM;
    if (purged != nullptr) *purged = 0;  // nothing is cached
    return PF_Err_NONE;
}

PF_Err create_device_world(PF_ProgPtr effect_ref, A_u_long index, A_long width, A_long height, PF_RationalScale,
                           PF_Field, PF_PixelFormat format, PF_Boolean, PF_EffectWorld** world) {
    if (const PF_Err error = fault(effect_ref, "CreateGPUWorld")) return error;
    if (index != 0 || world == nullptr || format != PF_PixelFormat_GPU_BGRA128 || width < 0 || height < 0)
        return PF_Err_BAD_CALLBACK_PARAM;
    auto made = std::make_unique<Host_World>(width, height, World_Format{Pixel_Depth::bits_32, Channel_Order::bgra, true});
    *world = made->world();
    records(effect_ref).made_worlds[made->world()->data] = std::move(made);
    return PF_Err_NONE;
}

PF_Err dispose_device_world(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
    if (world == nullptr || records(effect_ref).made_worlds.erase(world->data) == 0) return PF_Err_BAD_CALLBACK_PARAM;
    return PF_Err_NONE;
}

PF_Err device_world_data(PF_ProgPtr effect_ref, PF_EffectWorld* world, void** data) {
    if (const PF_Err error = fault(effect_ref, "GetGPUWorldData")) return error;
    const World_Format* format = Host_World::format_of(world);
    if (format == nullptr || !format->device || data == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *data = world->data;
    return PF_Err_NONE;
}

PF_Err device_world_size(PF_ProgPtr, PF_EffectWorld* world, size_t* bytes) {
    const World_Format* format = Host_World::format_of(world);
    if (format == nullptr || !format->device || bytes == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *bytes = static_cast<size_t>(world->rowbytes) * static_cast<size_t>(world->height);
    return PF_Err_NONE;
}

PF_Err device_world_index(PF_ProgPtr, PF_EffectWorld* world, A_u_long* index) {
    const World_Format* format = Host_World::format_of(world);
    if (format == nullptr || !format->device || index == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *index = 0;
    return PF_Err_NONE;
}

// The pixel-format queries get a world and nothing that leads to the host, so they are stamped out per
// host slot to reach its fault table.
template <int Slot>
struct Bound {
    static PF_Err world_pixel_format(const PF_EffectWorld* world, PF_PixelFormat* format) {
        if (const PF_Err error = host_in_slot(Slot)->faults().enter("PF_GetPixelFormat")) return error;
        return world_pixel_format_of(world, format);
    }
    static PF_Err premiere_pixel_format(PF_EffectWorld* world, PrPixelFormat* format) {
        if (const PF_Err error = host_in_slot(Slot)->faults().enter("GetPixelFormat")) return error;
        return premiere_pixel_format_of(world, format);
    }
};

struct Format_Tables {
    PF_WorldSuite2 world;
    PF_PixelFormatSuite1 pixel_format;
};

template <int... Slots>
std::array<Format_Tables, sizeof...(Slots)> format_tables(std::integer_sequence<int, Slots...>) {
    return {Format_Tables{
        PF_WorldSuite2{new_world, world_dispose, Bound<Slots>::world_pixel_format},
        PF_PixelFormatSuite1{add_supported, clear_supported, new_world_of_format, premiere_dispose,
                             Bound<Slots>::premiere_pixel_format, nullptr, nullptr, nullptr}}...};
}

const std::array<Format_Tables, host_slot_count> format_suites =
    format_tables(std::make_integer_sequence<int, host_slot_count>());

const PF_UtilitySuite4 utility_suite{filter_instance_id,
                                     no_timeline<A_long*, PF_TimeDisplay*>,
                                     no_timeline<double*>,
                                     no_timeline<A_long*>,
                                     no_timeline<A_long*>,
                                     no_timeline<A_long*>,
                                     no_timeline<A_long*>,
                                     no_timeline<A_long*>,
                                     no_timeline<prFieldType*>,
                                     no_timeline<PrTime*>,
                                     no_timeline<PrTimelineID*>,
                                     no_timeline<PrSDKString*>,
                                     wants_matching_frames};

const PF_GPUDeviceSuite1 device_suite{device_count,        device_info,          device_access,
                                      device_access,       allocate_memory,      free_memory,
                                      purge_memory,        allocate_memory,      free_memory,
                                      purge_memory,        create_device_world,  dispose_device_world,
                                      device_world_data,   device_world_size,    device_world_index};

}  // namespace

void register_render_suites(Headless_Host& host) {
    const Format_Tables& formats = format_suites[static_cast<std::size_t>(host.slot())];
    host.register_suite(kPFWorldSuite, kPFWorldSuiteVersion2, &formats.world);
    host.register_suite(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, &formats.pixel_format);
    host.register_suite(kPFUtilitySuite, kPFUtilitySuiteVersion4, &utility_suite);
    host.register_suite(kPFGPUDeviceSuite, kPFGPUDeviceSuiteVersion1, &device_suite);
}

}  // namespace nb::host
