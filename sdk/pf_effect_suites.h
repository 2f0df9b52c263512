// Effect suites the plug-in acquires: world pixel formats, parameter UI updates, float colours,
// auxiliary channels and the GPU device.
#pragma once

#include "pf_effect_records.h"

#ifdef __cplusplus
extern "C" {
#endif

// Little-endian four-character codes: the first character is the lowest byte.
#define MAKE_PIXEL_FORMAT_FOURCC(ch0, ch1, ch2, ch3)                                              \
    ((A_u_long)(A_u_char)(ch0) | ((A_u_long)(A_u_char)(ch1) << 8) | ((A_u_long)(A_u_char)(ch2) << 16) | \
     ((A_u_long)(A_u_char)(ch3) << 24))

enum {
    PF_PixelFormat_ARGB32 = MAKE_PIXEL_FORMAT_FOURCC('a', 'r', 'g', 'b'),   // 8 bits, white 255
    PF_PixelFormat_ARGB64 = MAKE_PIXEL_FORMAT_FOURCC('a', 'e', '1', '6'),   // 16 bits, white 32768
    PF_PixelFormat_ARGB128 = MAKE_PIXEL_FORMAT_FOURCC('a', 'e', '3', '2'),  // float, white 1.0
    PF_PixelFormat_GPU_BGRA128 = MAKE_PIXEL_FORMAT_FOURCC('@', 'C', 'D', 'A'),
    PF_PixelFormat_BGRA32 = MAKE_PIXEL_FORMAT_FOURCC('b', 'g', 'r', 'a'),
    PF_PixelFormat_INVALID = MAKE_PIXEL_FORMAT_FOURCC('b', 'a', 'd', 'f')
};
typedef A_long PF_PixelFormat;

#define kPFWorldSuite "PF World Suite"
#define kPFWorldSuiteVersion2 2

typedef struct PF_WorldSuite2 {
    PF_Err (*PF_NewWorld)(PF_ProgPtr effect_ref, A_long widthL, A_long heightL, PF_Boolean clear_pixB,
                          PF_PixelFormat pixel_format, PF_EffectWorld* worldP);
    PF_Err (*PF_DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* worldP);
    PF_Err (*PF_GetPixelFormat)(const PF_EffectWorld* worldP, PF_PixelFormat* pixel_formatP);
} PF_WorldSuite2;

#define kPFParamUtilsSuite "PF Param Utils Suite"
#define kPFParamUtilsSuiteVersion1 2

// The table has more functions; the plug-in calls only the first.
typedef struct PF_ParamUtilsSuite1 {
    PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const PF_ParamDef* defP);
} PF_ParamUtilsSuite1;

#define kPFColorParamSuite "PF ColorParamSuite"
#define kPFColorParamSuiteVersion1 1

typedef struct PF_ColorParamSuite1 {
    PF_Err (*PF_GetFloatingPointColorFromColorDef)(PF_ProgPtr effect_ref, const PF_ParamDef* color_param_def,
                                                   PF_PixelFloat* floating_point_colorP);
} PF_ColorParamSuite1;

#define kPFChannelSuite1 "PF AE Channel Suite"
#define kPFChannelSuiteVersion1 1

typedef struct PF_ChannelSuite1 {
    PF_Err (*PF_GetLayerChannelCount)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, A_long* num_channelsPL);
    PF_Err (*PF_GetLayerChannelIndexedRefAndDesc)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                                  PF_ChannelIndex channel_index, PF_Boolean* foundPB,
                                                  PF_ChannelRef* channel_refP, PF_ChannelDesc* channel_descP);
    PF_Err (*PF_GetLayerChannelTypedRefAndDesc)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                                                PF_ChannelType channel_type, PF_Boolean* foundPB,
                                                PF_ChannelRef* channel_refP, PF_ChannelDesc* channel_descP);
    PF_Err (*PF_CheckoutLayerChannel)(PF_ProgPtr effect_ref, PF_ChannelRefPtr channel_refP, A_long what_time,
                                      A_long duration, A_u_long time_scale, PF_DataType data_type,
                                      PF_ChannelChunk* channel_chunkP);
    PF_Err (*PF_CheckinLayerChannel)(PF_ProgPtr effect_ref, PF_ChannelRefPtr channel_refP,
                                     PF_ChannelChunk* channel_chunkP);
} PF_ChannelSuite1;

#define kPFGPUDeviceSuite "PF GPU Device Suite"
#define kPFGPUDeviceSuiteVersion1 1

typedef struct {
    PF_GPU_Framework device_framework;
    PF_Boolean compatibleB;
    void* platformPV;
    void* devicePV;
    void* contextPV;
    void* command_queuePV;
    void* offscreen_opengl_contextPV;
    void* offscreen_opengl_devicePV;
} PF_GPUDeviceInfo;

typedef struct PF_GPUDeviceSuite1 {
    PF_Err (*GetDeviceCount)(PF_ProgPtr effect_ref, A_u_long* device_countP);
    PF_Err (*GetDeviceInfo)(PF_ProgPtr effect_ref, A_u_long device_index, PF_GPUDeviceInfo* device_infoP);
    PF_Err (*AcquireExclusiveDeviceAccess)(PF_ProgPtr effect_ref, A_u_long device_index);
    PF_Err (*ReleaseExclusiveDeviceAccess)(PF_ProgPtr effect_ref, A_u_long device_index);
    PF_Err (*AllocateDeviceMemory)(PF_ProgPtr effect_ref, A_u_long device_index, size_t size_bytes,
                                   void** memoryPP);
    PF_Err (*FreeDeviceMemory)(PF_ProgPtr effect_ref, A_u_long device_index, void* memoryP);
    PF_Err (*PurgeDeviceMemory)(PF_ProgPtr effect_ref, A_u_long device_index, size_t size_bytes,
                                size_t* bytes_purgedP0);
    PF_Err (*AllocateHostMemory)(PF_ProgPtr effect_ref, A_u_long device_index, size_t size_bytes,
                                 void** memoryPP);
    PF_Err (*FreeHostMemory)(PF_ProgPtr effect_ref, A_u_long device_index, void* memoryP);
    PF_Err (*PurgeHostMemory)(PF_ProgPtr effect_ref, A_u_long device_index, size_t bytes_to_purge,
                              size_t* bytes_purgedP0);
    PF_Err (*CreateGPUWorld)(PF_ProgPtr effect_ref, A_u_long device_index, A_long width, A_long height,
                             PF_RationalScale pixel_aspect_ratio, PF_Field field_type, PF_PixelFormat pixel_format,
                             PF_Boolean clear_pixB, PF_EffectWorld** worldPP);
    PF_Err (*DisposeGPUWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* worldP);
    PF_Err (*GetGPUWorldData)(PF_ProgPtr effect_ref, PF_EffectWorld* worldP, void** pixPP);
    PF_Err (*GetGPUWorldSize)(PF_ProgPtr effect_ref, PF_EffectWorld* worldP, size_t* size_in_bytesP);
    PF_Err (*GetGPUWorldDeviceIndex)(PF_ProgPtr effect_ref, PF_EffectWorld* worldP, A_u_long* device_indexP);
} PF_GPUDeviceSuite1;

#ifdef __cplusplus
}
#endif
