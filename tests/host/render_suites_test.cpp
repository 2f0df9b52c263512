// The render suites: world formats, Premiere's negotiation records, worlds made for the plug-in, the device.
#include "host/render_suites.h"

#include <gtest/gtest.h>

#include "host/effect_instance.h"
#include "host/host_world.h"

namespace nb::host {
namespace {

template <class Suite>
const Suite* acquire(Headless_Host& host, const char* name, int32_t version) {
    const void* table = nullptr;
    EXPECT_EQ(host.acquire_suite(name, version, &table), kSPNoError) << name;
    return static_cast<const Suite*>(table);
}

struct RenderSuites : testing::Test {
    ~RenderSuites() override {
        for (auto [name, version] : std::initializer_list<std::pair<const char*, int32_t>>{
                 {kPFWorldSuite, 2}, {kPFPixelFormatSuite, 1}, {kPFUtilitySuite, 4}, {kPFGPUDeviceSuite, 1}})
            while (host.release_suite(name, version) == kSPNoError) {
            }
    }
    Headless_Host host{1};
    Effect_Instance effect{host};
    PF_ProgPtr ref = effect.in_data()->effect_ref;
};

TEST_F(RenderSuites, WorldsReportTheirFormatToBothSuites) {
    const auto* world_suite = acquire<PF_WorldSuite2>(host, kPFWorldSuite, kPFWorldSuiteVersion2);
    const auto* formats = acquire<PF_PixelFormatSuite1>(host, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    Host_World argb16(2, 2, World_Format{Pixel_Depth::bits_16, Channel_Order::argb, false});
    Host_World bgra32(2, 2, World_Format{Pixel_Depth::bits_32, Channel_Order::bgra, false});
    PF_PixelFormat ae = 0;
    ASSERT_EQ(world_suite->PF_GetPixelFormat(argb16.world(), &ae), PF_Err_NONE);
    EXPECT_EQ(ae, PF_PixelFormat_ARGB64);
    PrPixelFormat premiere = 0;
    PF_EffectWorld copy = *bgra32.world();  // the plug-in may hold a copy of the record
    ASSERT_EQ(formats->GetPixelFormat(&copy, &premiere), PF_Err_NONE);
    EXPECT_EQ(premiere, PrPixelFormat_BGRA_4444_32f);
    PF_EffectWorld foreign{};
    EXPECT_EQ(world_suite->PF_GetPixelFormat(&foreign, &ae), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(RenderSuites, ChosenFailuresReachEvenTheQueriesWithoutAnEffect) {
    const auto* world_suite = acquire<PF_WorldSuite2>(host, kPFWorldSuite, kPFWorldSuiteVersion2);
    const auto* formats = acquire<PF_PixelFormatSuite1>(host, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    Host_World world(1, 1, World_Format{});
    PF_PixelFormat ae = 0;
    PrPixelFormat premiere = 0;
    host.faults().inject("PF_GetPixelFormat", PF_Interrupt_CANCEL, 1);
    host.faults().inject("GetPixelFormat", PF_Err_INVALID_INDEX, 1);
    host.faults().inject("AddSupportedPixelFormat", PF_Err_OUT_OF_MEMORY, 1);
    EXPECT_EQ(world_suite->PF_GetPixelFormat(world.world(), &ae), PF_Interrupt_CANCEL);
    EXPECT_EQ(world_suite->PF_GetPixelFormat(world.world(), &ae), PF_Err_NONE) << "one failure was chosen";
    EXPECT_EQ(formats->GetPixelFormat(world.world(), &premiere), PF_Err_INVALID_INDEX);
    EXPECT_EQ(formats->AddSupportedPixelFormat(ref, PrPixelFormat_BGRA_4444_8u), PF_Err_OUT_OF_MEMORY);
    EXPECT_TRUE(effect.records().supported_formats.empty());

    Headless_Host other(1);  // another host's faults are its own
    const auto* other_suite = acquire<PF_WorldSuite2>(other, kPFWorldSuite, kPFWorldSuiteVersion2);
    host.faults().inject("PF_GetPixelFormat", PF_Interrupt_CANCEL, 1);
    EXPECT_EQ(other_suite->PF_GetPixelFormat(world.world(), &ae), PF_Err_NONE);
    other.release_suite(kPFWorldSuite, kPFWorldSuiteVersion2);
}

TEST_F(RenderSuites, PremiereNegotiationIsRecordedForTheEffect) {
    const auto* formats = acquire<PF_PixelFormatSuite1>(host, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    const auto* utility = acquire<PF_UtilitySuite4>(host, kPFUtilitySuite, kPFUtilitySuiteVersion4);
    EXPECT_EQ(formats->AddSupportedPixelFormat(ref, PrPixelFormat_BGRA_4444_8u), PF_Err_NONE);
    EXPECT_EQ(formats->ClearSupportedPixelFormats(ref), PF_Err_NONE);
    EXPECT_EQ(formats->AddSupportedPixelFormat(ref, PrPixelFormat_BGRA_4444_32f), PF_Err_NONE);
    EXPECT_EQ(utility->EffectWantsCheckedOutFramesToMatchRenderPixelFormat(ref), PF_Err_NONE);
    EXPECT_EQ(effect.records().supported_formats, std::vector<PrPixelFormat>{PrPixelFormat_BGRA_4444_32f});
    EXPECT_EQ(effect.records().format_clears, 1);
    EXPECT_TRUE(effect.records().frames_match_render_format);
    double speed = 0;
    EXPECT_EQ(utility->GetClipSpeed(ref, &speed), PF_Err_INVALID_CALLBACK) << "no clips in a headless host";
}

TEST_F(RenderSuites, WorldsMadeForThePluginLiveUntilDisposed) {
    const auto* world_suite = acquire<PF_WorldSuite2>(host, kPFWorldSuite, kPFWorldSuiteVersion2);
    const auto* formats = acquire<PF_PixelFormatSuite1>(host, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    PF_EffectWorld made{};
    ASSERT_EQ(world_suite->PF_NewWorld(ref, 3, 2, true, PF_PixelFormat_ARGB128, &made), PF_Err_NONE);
    EXPECT_EQ(made.width, 3);
    EXPECT_EQ(made.rowbytes, 3 * 16);
    PF_PixelFormat ae = 0;
    ASSERT_EQ(world_suite->PF_GetPixelFormat(&made, &ae), PF_Err_NONE);
    EXPECT_EQ(ae, PF_PixelFormat_ARGB128);
    EXPECT_EQ(effect.records().made_worlds.size(), 1u);
    EXPECT_EQ(world_suite->PF_DisposeWorld(ref, &made), PF_Err_NONE);
    EXPECT_TRUE(effect.records().made_worlds.empty());
    EXPECT_EQ(world_suite->PF_DisposeWorld(ref, &made), PF_Err_BAD_CALLBACK_PARAM) << "disposed twice";
    EXPECT_EQ(world_suite->PF_NewWorld(ref, 3, 2, true, PF_PixelFormat_BGRA32, &made), PF_Err_BAD_CALLBACK_PARAM);

    ASSERT_EQ(formats->NewWorldOfPixelFormat(ref, 2, 2, PF_NewWorldFlag_NONE, PrPixelFormat_BGRA_4444_16u, &made),
              PF_Err_NONE);
    PrPixelFormat premiere = 0;
    ASSERT_EQ(formats->GetPixelFormat(&made, &premiere), PF_Err_NONE);
    EXPECT_EQ(premiere, PrPixelFormat_BGRA_4444_16u);
    EXPECT_EQ(formats->DisposeWorld(ref, &made), PF_Err_NONE);
}

TEST_F(RenderSuites, TheEmulatedDeviceKnowsOnlyDeviceWorlds) {
    const auto* device = acquire<PF_GPUDeviceSuite1>(host, kPFGPUDeviceSuite, kPFGPUDeviceSuiteVersion1);
    A_u_long count = 0;
    ASSERT_EQ(device->GetDeviceCount(ref, &count), PF_Err_NONE);
    EXPECT_EQ(count, 1u);
    PF_GPUDeviceInfo info{};
    EXPECT_EQ(device->GetDeviceInfo(ref, 0, &info), PF_Err_NONE);
    EXPECT_EQ(device->GetDeviceInfo(ref, 1, &info), PF_Err_BAD_CALLBACK_PARAM);
    Host_World on_device(2, 2, World_Format{Pixel_Depth::bits_32, Channel_Order::bgra, true});
    Host_World in_memory(2, 2, World_Format{Pixel_Depth::bits_32, Channel_Order::argb, false});
    void* data = nullptr;
    EXPECT_EQ(device->GetGPUWorldData(ref, on_device.world(), &data), PF_Err_NONE);
    EXPECT_EQ(data, on_device.world()->data);
    EXPECT_EQ(device->GetGPUWorldData(ref, in_memory.world(), &data), PF_Err_BAD_CALLBACK_PARAM);
    PF_EffectWorld* made = nullptr;
    ASSERT_EQ(device->CreateGPUWorld(ref, 0, 4, 4, PF_RationalScale{1, 1}, PF_Field_FRAME, PF_PixelFormat_GPU_BGRA128,
                                     true, &made),
              PF_Err_NONE);
    size_t bytes = 0;
    EXPECT_EQ(device->GetGPUWorldSize(ref, made, &bytes), PF_Err_NONE);
    EXPECT_EQ(bytes, 4u * 4u * 16u);
    EXPECT_EQ(device->DisposeGPUWorld(ref, made), PF_Err_NONE);
    void* memory = nullptr;
    ASSERT_EQ(device->AllocateDeviceMemory(ref, 0, 64, &memory), PF_Err_NONE);
    EXPECT_EQ(device->FreeDeviceMemory(ref, 0, memory), PF_Err_NONE);
}

}  // namespace
}  // namespace nb::host
