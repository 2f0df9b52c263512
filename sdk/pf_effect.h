// Core effect-interface types: error codes, command selectors, flags, pixels, rectangles and layer worlds.
#pragma once

#include "ae_sdk_types.h"

#ifdef __cplusplus
extern "C" {
#endif

// Version word packing: major high bits at 26, major low 3 bits at 19, minor at 15, bugfix at 11,
// stage at 9, build in the low 9 bits.
#define PF_Vers_BUILD_BITS 0x1ffL
#define PF_Vers_BUILD_SHIFT 0
#define PF_Vers_STAGE_BITS 0x3L
#define PF_Vers_STAGE_SHIFT 9
#define PF_Vers_BUGFIX_BITS 0xfL
#define PF_Vers_BUGFIX_SHIFT 11
#define PF_Vers_SUBVERS_BITS 0xfL
#define PF_Vers_SUBVERS_SHIFT 15
#define PF_Vers_VERS_BITS 0x7L
#define PF_Vers_VERS_SHIFT 19
#define PF_Vers_VERS_HIGH_BITS 0xfL
#define PF_Vers_VERS_HIGH_SHIFT 26
#define PF_Vers_VERS_LOW_SHIFT 3
#define PF_Vers_VERS_HIGH(vers) ((vers) >> PF_Vers_VERS_LOW_SHIFT)

#define PF_VERSION(vers, subvers, bugvers, stage, build)                                              \
    (A_u_long)(((((A_u_long)PF_Vers_VERS_HIGH(vers)) & PF_Vers_VERS_HIGH_BITS) << PF_Vers_VERS_HIGH_SHIFT) | \
               ((((A_u_long)(vers)) & PF_Vers_VERS_BITS) << PF_Vers_VERS_SHIFT) |                     \
               ((((A_u_long)(subvers)) & PF_Vers_SUBVERS_BITS) << PF_Vers_SUBVERS_SHIFT) |            \
               ((((A_u_long)(bugvers)) & PF_Vers_BUGFIX_BITS) << PF_Vers_BUGFIX_SHIFT) |              \
               ((((A_u_long)(stage)) & PF_Vers_STAGE_BITS) << PF_Vers_STAGE_SHIFT) |                  \
               ((((A_u_long)(build)) & PF_Vers_BUILD_BITS) << PF_Vers_BUILD_SHIFT))

enum { PF_Stage_DEVELOP = 0, PF_Stage_ALPHA = 1, PF_Stage_BETA = 2, PF_Stage_RELEASE = 3 };
typedef A_long PF_Stage;

#define PF_AE_PLUG_IN_VERSION 13
#define PF_AE_PLUG_IN_SUBVERS 28
#define PF_MAX_EFFECT_NAME_LEN 31
#define PF_MAX_EFFECT_PARAM_NAME_LEN 31
#define PF_MAX_PARAM_DESCRIPTION_LEN 31
#define PF_MAX_PARAM_VALUE_LEN 31
#define PF_MAX_EFFECT_MSG_LEN 255
#define PF_FIRST_ERR 512
#define PF_MAX_CHAN8 255
#define PF_HALF_CHAN8 128
#define PF_MAX_CHAN16 32768
#define PF_HALF_CHAN16 16384

enum {
    PF_Err_NONE = 0,
    PF_Err_OUT_OF_MEMORY = 4,
    PF_Err_INTERNAL_STRUCT_DAMAGED = PF_FIRST_ERR,  // 512
    PF_Err_INVALID_INDEX = 513,
    PF_Err_UNRECOGNIZED_PARAM_TYPE = 514,
    PF_Err_INVALID_CALLBACK = 515,
    PF_Err_BAD_CALLBACK_PARAM = 516,
    PF_Interrupt_CANCEL = 517,  // the user cancelled
    PF_Err_CANNOT_PARSE_KEYFRAME_TEXT = 518
};
typedef A_long PF_Err;

// Selector numbers are fixed by the interface; the order must never change.
enum {
    PF_Cmd_ABOUT = 0,
    PF_Cmd_GLOBAL_SETUP = 1,
    PF_Cmd_UNUSED_0 = 2,
    PF_Cmd_GLOBAL_SETDOWN = 3,
    PF_Cmd_PARAMS_SETUP = 4,
    PF_Cmd_SEQUENCE_SETUP = 5,
    PF_Cmd_SEQUENCE_RESETUP = 6,
    PF_Cmd_SEQUENCE_FLATTEN = 7,
    PF_Cmd_SEQUENCE_SETDOWN = 8,
    PF_Cmd_DO_DIALOG = 9,
    PF_Cmd_FRAME_SETUP = 10,
    PF_Cmd_RENDER = 11,
    PF_Cmd_FRAME_SETDOWN = 12,
    PF_Cmd_USER_CHANGED_PARAM = 13,
    PF_Cmd_UPDATE_PARAMS_UI = 14,
    PF_Cmd_EVENT = 15,
    PF_Cmd_GET_EXTERNAL_DEPENDENCIES = 16,
    PF_Cmd_COMPLETELY_GENERAL = 17,
    PF_Cmd_QUERY_DYNAMIC_FLAGS = 18,
    PF_Cmd_AUDIO_RENDER = 19,
    PF_Cmd_AUDIO_SETUP = 20,
    PF_Cmd_AUDIO_SETDOWN = 21,
    PF_Cmd_ARBITRARY_CALLBACK = 22,
    PF_Cmd_SMART_PRE_RENDER = 23,
    PF_Cmd_SMART_RENDER = 24,
    PF_Cmd_RESERVED1 = 25,
    PF_Cmd_RESERVED2 = 26,
    PF_Cmd_RESERVED3 = 27,
    PF_Cmd_GET_FLATTENED_SEQUENCE_DATA = 28,
    PF_Cmd_TRANSLATE_PARAMS_TO_PREFS = 29,
    PF_Cmd_RESERVED4 = 30,
    PF_Cmd_SMART_RENDER_GPU = 31,
    PF_Cmd_GPU_DEVICE_SETUP = 32,
    PF_Cmd_GPU_DEVICE_SETDOWN = 33,
    PF_Cmd_NUM_CMDS
};
typedef A_long PF_Cmd;

enum { PF_Quality_DRAWING_AUDIO = -1, PF_Quality_LO = 0, PF_Quality_HI = 1 };
typedef A_long PF_Quality;

enum { PF_MF_Alpha_PREMUL = 0, PF_MF_Alpha_STRAIGHT = 1 };
typedef A_long PF_ModeFlags;

enum { PF_Field_FRAME = 0, PF_Field_UPPER = 1, PF_Field_LOWER = 2 };
typedef A_long PF_Field;

enum { PF_WorldFlag_DEEP = 1L << 0, PF_WorldFlag_WRITEABLE = 1L << 1 };
typedef A_long PF_WorldFlags;

enum {
    PF_OutFlag_NONE = 0,
    PF_OutFlag_KEEP_RESOURCE_OPEN = 1L << 0,
    PF_OutFlag_WIDE_TIME_INPUT = 1L << 1,
    PF_OutFlag_NON_PARAM_VARY = 1L << 2,
    PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING = 1L << 4,
    PF_OutFlag_I_DO_DIALOG = 1L << 5,
    PF_OutFlag_USE_OUTPUT_EXTENT = 1L << 6,
    PF_OutFlag_SEND_DO_DIALOG = 1L << 7,
    PF_OutFlag_DISPLAY_ERROR_MESSAGE = 1L << 8,
    PF_OutFlag_I_EXPAND_BUFFER = 1L << 9,
    PF_OutFlag_PIX_INDEPENDENT = 1L << 10,
    PF_OutFlag_I_WRITE_INPUT_BUFFER = 1L << 11,
    PF_OutFlag_I_SHRINK_BUFFER = 1L << 12,
    PF_OutFlag_WORKS_IN_PLACE = 1L << 13,
    PF_OutFlag_CUSTOM_UI = 1L << 15,
    PF_OutFlag_REFRESH_UI = 1L << 17,
    PF_OutFlag_NOP_RENDER = 1L << 18,
    PF_OutFlag_I_USE_SHUTTER_ANGLE = 1L << 19,
    PF_OutFlag_I_USE_AUDIO = 1L << 20,
    PF_OutFlag_I_AM_OBSOLETE = 1L << 21,
    PF_OutFlag_FORCE_RERENDER = 1L << 22,
    PF_OutFlag_PiPL_OVERRIDES_OUTDATA_OUTFLAGS = 1L << 23,
    PF_OutFlag_I_HAVE_EXTERNAL_DEPENDENCIES = 1L << 24,
    PF_OutFlag_DEEP_COLOR_AWARE = 1L << 25,
    PF_OutFlag_SEND_UPDATE_PARAMS_UI = 1L << 26,
    PF_OutFlag_AUDIO_FLOAT_ONLY = 1L << 27,
    PF_OutFlag_AUDIO_IIR = 1L << 28,
    PF_OutFlag_I_SYNTHESIZE_AUDIO = 1L << 29,
    PF_OutFlag_AUDIO_EFFECT_TOO = 1L << 30,
    PF_OutFlag_AUDIO_EFFECT_ONLY = (A_long)(1UL << 31)
};
typedef A_long PF_OutFlags;

enum {
    PF_OutFlag2_NONE = 0,
    PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS = 1L << 0,
    PF_OutFlag2_I_USE_3D_CAMERA = 1L << 1,
    PF_OutFlag2_I_USE_3D_LIGHTS = 1L << 2,
    PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG = 1L << 3,
    PF_OutFlag2_I_AM_THREADSAFE = 1L << 4,
    PF_OutFlag2_CAN_COMBINE_WITH_DESTINATION = 1L << 5,
    PF_OutFlag2_DOESNT_NEED_EMPTY_PIXELS = 1L << 6,
    PF_OutFlag2_REVEALS_ZERO_ALPHA = 1L << 7,
    PF_OutFlag2_PRESERVES_FULLY_OPAQUE_PIXELS = 1L << 8,
    PF_OutFlag2_SUPPORTS_SMART_RENDER = 1L << 10,
    PF_OutFlag2_FLOAT_COLOR_AWARE = 1L << 12,
    PF_OutFlag2_I_USE_COLORSPACE_ENUMERATION = 1L << 13,
    PF_OutFlag2_I_AM_DEPRECATED = 1L << 14,
    PF_OutFlag2_PPRO_DO_NOT_CLONE_SEQUENCE_DATA_FOR_RENDER = 1L << 15,
    PF_OutFlag2_AUTOMATIC_WIDE_TIME_INPUT = 1L << 17,
    PF_OutFlag2_I_USE_TIMECODE = 1L << 18,
    PF_OutFlag2_DEPENDS_ON_UNREFERENCED_MASKS = 1L << 19,
    PF_OutFlag2_OUTPUT_IS_WATERMARKED = 1L << 20,
    PF_OutFlag2_I_MIX_GUID_DEPENDENCIES = 1L << 21,
    PF_OutFlag2_AE13_5_THREADSAFE = 1L << 22,
    PF_OutFlag2_SUPPORTS_GET_FLATTENED_SEQUENCE_DATA = 1L << 23,
    PF_OutFlag2_CUSTOM_UI_ASYNC_MANAGER = 1L << 24,
    PF_OutFlag2_SUPPORTS_GPU_RENDER_F32 = 1L << 25,
    PF_OutFlag2_SUPPORTS_THREADED_RENDERING = 1L << 27,
    PF_OutFlag2_MUTABLE_RENDER_SEQUENCE_DATA_SLOWER = 1L << 28
};
typedef A_long PF_OutFlags2;

enum { PF_InFlag_NONE = 0, PF_InFlag_PROJECT_IS_RENDER_ONLY = 1L << 0 };
typedef A_long PF_InFlags;

// Opaque reference to one effect instance; passed back with every callback.
struct PF_ProgressInfo;
typedef struct PF_ProgressInfo* PF_ProgPtr;
typedef struct _PF_LayerAudio* PF_LayerAudio;
typedef void* PF_SndSamplePtr;

typedef A_long PF_ParamValue;
typedef A_long PF_ParamIndex;
typedef A_u_long PF_UFixed;
typedef A_long PF_Fixed;  // 16.16 fixed point
typedef A_char PF_Boolean;
typedef void** PF_Handle;

typedef struct {
    A_short major;
    A_short minor;
} PF_SpecVersion;

typedef struct {
    A_long h, v;
} PF_Point;

typedef struct {
    A_long left, top, right, bottom;
} PF_LRect;
typedef PF_LRect PF_Rect;
typedef PF_Rect PF_UnionableRect;

typedef struct {
    A_long num;
    A_u_long den;
} PF_RationalScale;

typedef struct {
    PF_Fixed x, y;
} PF_FixedPoint;

typedef A_long PF_TransferMode;
typedef PF_TransferMode PF_XferMode;

typedef struct {
    A_u_char alpha, red, green, blue;
} PF_Pixel;
typedef PF_Pixel PF_Pixel8;
typedef PF_Pixel PF_UnionablePixel;

typedef struct {
    A_u_short alpha, red, green, blue;
} PF_Pixel16;

typedef A_FpShort PF_FpShort;
typedef A_FpLong PF_FpLong;

typedef struct {
    PF_FpShort alpha, red, green, blue;
} PF_PixelFloat, PF_Pixel32;

typedef struct {
    PF_FpLong mat[3][3];
} PF_FloatMatrix;

typedef struct {
    PF_TransferMode xfer;
    A_long rand_seed;
    A_u_char opacity;
    PF_Boolean rgb_only;
    A_u_short opacitySu;
} PF_CompositeMode;

typedef struct _PF_PixelOpaque* PF_PixelOpaquePtr;
#ifdef PF_DEEP_COLOR_AWARE
typedef PF_PixelOpaquePtr PF_PixelPtr;
#else
typedef PF_Pixel* PF_PixelPtr;
#endif

typedef PF_Fixed PF_RGB_Pixel[3];
typedef PF_Fixed PF_YIQ_Pixel[3];
typedef PF_Fixed PF_HLS_Pixel[3];

#ifdef __cplusplus
}
#endif
