// Function tables of the render suites; each function finds its effect through effect_ref.
#include "host/render_suites.h"

#include <array>
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

PF_Err premiere_pixel_format_of(PF_EffectWorld* world, PrPixelFormat* format) {
    const World_Format* found = Host_World::format_of(world);
    if (found == nullptr || format == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *format = found->premiere_format();
    return PF_Err_NONE;
}

// Of the world, utility and device suites only the functions an effect calls are offered; the other
// entries stay null. The headless host has no clips or timelines to answer questions about.

PF_Err wants_matching_frames(PF_ProgPtr effect_ref) {
    if (const PF_Err error = fault(effect_ref, "EffectWantsCheckedOutFramesToMatchRenderPixelFormat")) return error;
    records(effect_ref).frames_match_render_format = true;
    return PF_Err_NONE;
}

// GPU device suite: one emulated device whose worlds are the host's.

PF_Err device_info(PF_ProgPtr effect_ref, A_u_long index, PF_GPUDeviceInfo* info) {
    if (const PF_Err error = fault(effect_ref, "GetDeviceInfo")) return error;
    if (index != 0 || info == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *info = PF_GPUDeviceInfo{};
    info->device_framework = PF_GPU_Framework_NONE;
    info->compatibleB = false;
    return PF_Err_NONE;
}

PF_Err device_world_data(PF_ProgPtr effect_ref, PF_EffectWorld* world, void** data) {
    if (const PF_Err error = fault(effect_ref, "GetGPUWorldData")) return error;
    const World_Format* format = Host_World::format_of(world);
    if (format == nullptr || !format->device || data == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *data = world->data;
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

// Value-initialised tables: the entries not offered stay null.
template <int Slot>
Format_Tables format_table() {
    Format_Tables tables{};
    tables.world.PF_GetPixelFormat = Bound<Slot>::world_pixel_format;
    tables.pixel_format.AddSupportedPixelFormat = add_supported;
    tables.pixel_format.ClearSupportedPixelFormats = clear_supported;
    tables.pixel_format.GetPixelFormat = Bound<Slot>::premiere_pixel_format;
    return tables;
}

template <int... Slots>
std::array<Format_Tables, sizeof...(Slots)> format_tables(std::integer_sequence<int, Slots...>) {
    return {format_table<Slots>()...};
}

const std::array<Format_Tables, host_slot_count> format_suites =
    format_tables(std::make_integer_sequence<int, host_slot_count>());

PF_UtilitySuite4 utility_table() {
    PF_UtilitySuite4 utility{};
    utility.EffectWantsCheckedOutFramesToMatchRenderPixelFormat = wants_matching_frames;
    return utility;
}

PF_GPUDeviceSuite1 device_table() {
    PF_GPUDeviceSuite1 device{};
    device.GetDeviceInfo = device_info;
    device.GetGPUWorldData = device_world_data;
    return device;
}

const PF_UtilitySuite4 utility_suite = utility_table();
const PF_GPUDeviceSuite1 device_suite = device_table();

}  // namespace

void register_render_suites(Headless_Host& host) {
    const Format_Tables& formats = format_suites[static_cast<std::size_t>(host.slot())];
    host.register_suite(kPFWorldSuite, kPFWorldSuiteVersion2, &formats.world);
    host.register_suite(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, &formats.pixel_format);
    host.register_suite(kPFUtilitySuite, kPFUtilitySuiteVersion4, &utility_suite);
    host.register_suite(kPFGPUDeviceSuite, kPFGPUDeviceSuiteVersion1, &device_suite);
}

}  // namespace nb::host
