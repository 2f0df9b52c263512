// Image and sound buffers of the effect interface: layer worlds, sound worlds and auxiliary channels.
#pragma once

#include "pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { PF_LayerDefault_MYSELF = -1, PF_LayerDefault_NONE = 0 };

// A layer's pixels as the host lends them. data is null when a layer parameter holds no layer;
// origin_x/origin_y are set only by smart-render checkouts.
typedef struct PF_LayerDef {
    void* reserved0;
    void* reserved1;
    PF_WorldFlags world_flags;
    PF_PixelPtr data;
    A_long rowbytes;
    A_long width;
    A_long height;
    PF_UnionableRect extent_hint;
    void* platform_ref;
    A_long reserved_long1;
    void* reserved_long4;
    PF_RationalScale pix_aspect_ratio;
    void* reserved_long2;
    A_long origin_x;
    A_long origin_y;
    A_long reserved_long3;
    A_long dephault;  // a PF_LayerDefault value when used as a parameter description
} PF_LayerDef;

typedef PF_LayerDef PF_EffectWorld;

enum { PF_UNSIGNED_PCM = 0, PF_SIGNED_PCM = 1, PF_SIGNED_FLOAT = 2 };
typedef A_short PF_SoundFormat;
enum { PF_SSS_1 = 1, PF_SSS_2 = 2, PF_SSS_4 = 4 };
typedef A_short PF_SoundSampleSize;
enum { PF_Channels_MONO = 1, PF_Channels_STEREO = 2 };
typedef A_short PF_SoundChannels;

typedef struct {
    PF_FpLong rateF;
    PF_SoundChannels num_channels;
    PF_SoundFormat format;
    PF_SoundSampleSize sample_size;
} PF_SoundFormatInfo;

typedef struct {
    PF_SoundFormatInfo fi;
    A_long num_samples;
    void* dataP;
} PF_SoundWorld;

// Auxiliary channel kinds and element types are four-character tags (big-endian numbers).
#define PF_ChannelType_DEPTH ((PF_ChannelType)0x44505448)  /* 'DPTH' */
#define PF_ChannelType_NORMALS ((PF_ChannelType)0x4E524D4C) /* 'NRML' */
#define PF_DataType_FLOAT ((PF_DataType)0x464C5434)         /* 'FLT4' */
#define PF_DataType_DOUBLE ((PF_DataType)0x44424C38)        /* 'DBL8' */
typedef A_long PF_ChannelType;
typedef A_long PF_DataType;
typedef A_long PF_ChannelIndex;

#define PF_CHANNEL_NAME_LEN 63

typedef struct {
    PF_ChannelType channel_type;
    A_char name[PF_CHANNEL_NAME_LEN + 1];
    PF_DataType data_type;
    A_long dimension;
} PF_ChannelDesc;

typedef struct {
    A_intptr_t opaque[8];
} PF_ChannelRef, *PF_ChannelRefPtr;

// One checked-out channel: dataPV points at row 0, rows are row_bytesL apart.
typedef struct {
    PF_ChannelRef channel_ref;
    A_long widthL;
    A_long heightL;
    A_long dimensionL;
    A_long row_bytesL;
    PF_DataType data_type;
    PF_Handle dataH;
    void* dataPV;
} PF_ChannelChunk;

#ifdef __cplusplus
}
#endif
