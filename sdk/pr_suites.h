// Premiere's side of the effect interface: pixel formats, the pixel-format and utility suites.
#pragma once

#include "pf_effect_suites.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned int csSDK_uint32;
typedef int csSDK_int32;
typedef int64_t csSDK_int64;
typedef csSDK_int64 prInt64;
typedef csSDK_int32 prFieldType;
typedef csSDK_int32 PrTimelineID;
typedef prInt64 PrTime;
typedef struct {
    csSDK_int64 opaque[2];
} PrSDKString;
typedef csSDK_uint32 PF_TimeDisplay;

typedef csSDK_int32 prSuiteError;
#define suiteError_NoError ((prSuiteError)0x00000000)
#define suiteError_Fail ((prSuiteError)0x80000000)
#define suiteError_InvalidParms ((prSuiteError)0x80000001)

typedef A_long PrPixelFormat;
enum {
    PrPixelFormat_BGRA_4444_8u = MAKE_PIXEL_FORMAT_FOURCC('b', 'g', 'r', 'a'),
    PrPixelFormat_ARGB_4444_8u = MAKE_PIXEL_FORMAT_FOURCC('a', 'r', 'g', 'b'),
    PrPixelFormat_BGRA_4444_16u = MAKE_PIXEL_FORMAT_FOURCC('B', 'g', 'r', 'a'),
    PrPixelFormat_ARGB_4444_16u = MAKE_PIXEL_FORMAT_FOURCC('A', 'r', 'g', 'b'),
    PrPixelFormat_BGRA_4444_32f = MAKE_PIXEL_FORMAT_FOURCC('B', 'G', 'r', 'a'),
    PrPixelFormat_ARGB_4444_32f = MAKE_PIXEL_FORMAT_FOURCC('A', 'R', 'g', 'b'),
    PrPixelFormat_Invalid = MAKE_PIXEL_FORMAT_FOURCC('b', 'a', 'd', 'f'),
    PrPixelFormat_Any = 0
};

#define kPFPixelFormatSuite "PF Pixel Format Suite"
#define kPFPixelFormatSuiteVersion1 1

typedef struct PF_PixelFormatSuite {
    PF_Err (*AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PrPixelFormat pixelFormat);
    PF_Err (*ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);
    PF_Err (*NewWorldOfPixelFormat)(PF_ProgPtr effect_ref, A_u_long width, A_u_long height, PF_NewWorldFlags flags,
                                    PrPixelFormat pixelFormat, PF_EffectWorld* world);
    PF_Err (*DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
    PF_Err (*GetPixelFormat)(PF_EffectWorld* inWorld, PrPixelFormat* pixelFormat);
    PF_Err (*GetBlackForPixelFormat)(PrPixelFormat pixelFormat, void* pixelData);
    PF_Err (*GetWhiteForPixelFormat)(PrPixelFormat pixelFormat, void* pixelData);
    PF_Err (*ConvertColorToPixelFormattedData)(PrPixelFormat pixelFormat, float alpha, float red, float green,
                                               float blue, void* pixelData);
} PF_PixelFormatSuite;
typedef PF_PixelFormatSuite PF_PixelFormatSuite1;

#define kPFUtilitySuite "PF Utility Suite"
#define kPFUtilitySuiteVersion4 4

// The table has more functions; the plug-in calls none past EffectWantsCheckedOutFramesToMatchRenderPixelFormat.
typedef struct PF_UtilitySuite4 {
    PF_Err (*GetFilterInstanceID)(PF_ProgPtr effect_ref, A_long* outFilterInstanceID);
    PF_Err (*GetMediaTimecode)(PF_ProgPtr effect_ref, A_long* outCurrentFrame, PF_TimeDisplay* outTimeDisplay);
    PF_Err (*GetClipSpeed)(PF_ProgPtr effect_ref, double* speed);
    PF_Err (*GetClipDuration)(PF_ProgPtr effect_ref, A_long* frameDuration);
    PF_Err (*GetClipStart)(PF_ProgPtr effect_ref, A_long* frameDuration);
    PF_Err (*GetUnscaledClipDuration)(PF_ProgPtr effect_ref, A_long* frameDuration);
    PF_Err (*GetUnscaledClipStart)(PF_ProgPtr effect_ref, A_long* frameDuration);
    PF_Err (*GetTrackItemStart)(PF_ProgPtr effect_ref, A_long* frameDuration);
    PF_Err (*GetMediaFieldType)(PF_ProgPtr effect_ref, prFieldType* outFieldType);
    PF_Err (*GetMediaFrameRate)(PF_ProgPtr effect_ref, PrTime* outTicksPerFrame);
    PF_Err (*GetContainingTimelineID)(PF_ProgPtr effect_ref, PrTimelineID* outTimelineID);
    PF_Err (*GetClipName)(PF_ProgPtr effect_ref, PrSDKString* outSDKString);
    PF_Err (*EffectWantsCheckedOutFramesToMatchRenderPixelFormat)(PF_ProgPtr effect_ref);
} PF_UtilitySuite4;

#ifdef __cplusplus
}
#endif
