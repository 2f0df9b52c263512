// Custom-interface records of the effect interface: PF_CustomUIInfo for register_ui and PF_EventExtra.
#pragma once

#include "pf_effect_records.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    PF_CustomEFlag_NONE = 0,
    PF_CustomEFlag_COMP = 1L << 0,
    PF_CustomEFlag_LAYER = 1L << 1,
    PF_CustomEFlag_EFFECT = 1L << 2,
    PF_CustomEFlag_PREVIEW = 1L << 3
};
typedef A_long PF_CustomEventFlags;

struct _PF_CustomUIInfo {
    A_long reserved;
    A_long events;  // PF_CustomEFlag values
    A_long comp_ui_width;
    A_long comp_ui_height;
    A_long comp_ui_alignment;
    A_long layer_ui_width;
    A_long layer_ui_height;
    A_long layer_ui_alignment;
    A_long preview_ui_width;
    A_long preview_ui_height;
    A_long preview_ui_alignment;
};

// Opaque context of a custom-interface event.
typedef struct _PF_Context PF_Context;
typedef PF_Context** PF_ContextH;
typedef A_long PF_EventType;
typedef A_long PF_EventInFlags;
typedef A_long PF_EventOutFlags;

// The plug-in reads no more of an event than its context and type; the rest is held as storage of
// the size and alignment the host lays out.
typedef union {
    void* reserved[8];
} PF_EventUnion;
typedef struct {
    void* reserved[6];
} PF_EffectWindowInfo;
typedef struct {
    void* reserved[9];
} PF_EventCallbacks;

// The extra record of PF_Cmd_EVENT.
typedef struct {
    PF_ContextH contextH;
    PF_EventType e_type;
    PF_EventUnion u;
    PF_EffectWindowInfo effect_win;
    PF_EventCallbacks cbs;
    PF_EventInFlags evt_in_flags;
    PF_EventOutFlags evt_out_flags;
} PF_EventExtra;

#ifdef __cplusplus
}
#endif
