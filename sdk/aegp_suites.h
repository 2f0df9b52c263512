// AEGP suites an effect may use: registration, project walk to the working colour profile, memory,
// and the stream, keyframe, effect and effect-interface suites behind the animation query.
#pragma once

#include "pf_effect_records.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _AEGP_Project** AEGP_ProjectH;
typedef struct _AEGP_Item** AEGP_ItemH;
typedef struct _AEGP_Comp** AEGP_CompH;
typedef struct _AEGP_Layer** AEGP_LayerH;
typedef struct _AEGP_Effect** AEGP_EffectRefH;
typedef struct _AEGPp_Stream** AEGP_StreamRefH;
typedef struct _AEGP_ColorProfile* AEGP_ColorProfileP;
typedef const struct _AEGP_ColorProfile* AEGP_ConstColorProfileP;
typedef struct _AEGP_GlobalRefcon* AEGP_GlobalRefcon;
typedef A_long AEGP_PluginID;
typedef A_long AEGP_LayerStream;
typedef A_long AEGP_KeyInterpolationMask;
typedef A_long AEGP_EffectIndex;
typedef A_long AEGP_InstalledEffectKey;
typedef A_long AEGP_EffectFlags;
typedef A_long AEGP_MemFlag;
typedef A_u_long AEGP_MemSize;

// Saved by StartQuietErrors, restored by EndQuietErrors; opaque to the plug-in.
typedef struct {
    A_long reservedAL[12];
} AEGP_ErrReportState;

enum { AEGP_ItemType_NONE = 0, AEGP_ItemType_FOLDER = 1, AEGP_ItemType_COMP = 2, AEGP_ItemType_FOOTAGE = 4 };
typedef A_short AEGP_ItemType;

enum { AEGP_MemFlag_NONE = 0, AEGP_MemFlag_CLEAR = 1, AEGP_MemFlag_QUIET = 2 };

// Each table below stops after the last function the plug-in calls; the host's tables go on.

#define kAEGPUtilitySuite "AEGP Utility Suite"
#define kAEGPUtilitySuiteVersion3 7

typedef struct AEGP_UtilitySuite3 {
    A_Err (*AEGP_ReportInfo)(AEGP_PluginID aegp_plugin_id, const A_char* info_stringZ);
    A_Err (*AEGP_GetDriverPluginInitFuncVersion)(A_short* major_versionPS, A_short* minor_versionPS);
    A_Err (*AEGP_GetDriverImplementationVersion)(A_short* major_versionPS, A_short* minor_versionPS);
    A_Err (*AEGP_StartQuietErrors)(AEGP_ErrReportState* err_stateP);
    A_Err (*AEGP_EndQuietErrors)(A_Boolean report_quieted_errorsB, AEGP_ErrReportState* err_stateP);
    A_Err (*AEGP_StartUndoGroup)(const A_char* undo_nameZ);
    A_Err (*AEGP_EndUndoGroup)(void);
    A_Err (*AEGP_RegisterWithAEGP)(AEGP_GlobalRefcon global_refcon, const A_char* plugin_nameZ,
                                   AEGP_PluginID* plugin_id);
} AEGP_UtilitySuite3;

#define kAEGPProjSuite "AEGP Proj Suite"
#define kAEGPProjSuiteVersion5 8

typedef struct AEGP_ProjSuite5 {
    A_Err (*AEGP_GetNumProjects)(A_long* num_projPL);
    A_Err (*AEGP_GetProjectByIndex)(A_long proj_indexL, AEGP_ProjectH* projPH);
} AEGP_ProjSuite5;

#define kAEGPItemSuite "AEGP Item Suite"
#define kAEGPItemSuiteVersion6 10

typedef struct AEGP_ItemSuite6 {
    A_Err (*AEGP_GetFirstProjItem)(AEGP_ProjectH projectH, AEGP_ItemH* itemPH);
    A_Err (*AEGP_GetNextProjItem)(AEGP_ProjectH projectH, AEGP_ItemH itemH, AEGP_ItemH* next_itemPH);  // null after the last
    A_Err (*AEGP_GetActiveItem)(AEGP_ItemH* itemPH);
    A_Err (*AEGP_IsItemSelected)(AEGP_ItemH itemH, A_Boolean* selectedPB);
    A_Err (*AEGP_SelectItem)(AEGP_ItemH itemH, A_Boolean selectB, A_Boolean deselect_othersB);
    A_Err (*AEGP_GetItemType)(AEGP_ItemH itemH, AEGP_ItemType* item_typeP);
} AEGP_ItemSuite6;

#define kAEGPCompSuite "AEGP Comp Suite"
#define kAEGPCompSuiteVersion4 9

typedef struct AEGP_CompSuite4 {
    A_Err (*AEGP_GetCompFromItem)(AEGP_ItemH itemH, AEGP_CompH* compPH);
} AEGP_CompSuite4;

#define kAEGPMemorySuite "AEGP Memory Suite"
#define kAEGPMemorySuiteVersion1 1

typedef struct AEGP_MemorySuite1 {
    A_Err (*AEGP_NewMemHandle)(AEGP_PluginID plugin_id, const A_char* whatZ, AEGP_MemSize size, AEGP_MemFlag flags,
                               AEGP_MemHandle* memPH);
    A_Err (*AEGP_FreeMemHandle)(AEGP_MemHandle memH);
    A_Err (*AEGP_LockMemHandle)(AEGP_MemHandle memH, void** ptr_to_ptr);
    A_Err (*AEGP_UnlockMemHandle)(AEGP_MemHandle memH);
    A_Err (*AEGP_GetMemHandleSize)(AEGP_MemHandle memH, AEGP_MemSize* sizeP);
    A_Err (*AEGP_ResizeMemHandle)(const A_char* whatZ, AEGP_MemSize new_size, AEGP_MemHandle memH);
    A_Err (*AEGP_SetMemReportingOn)(A_Boolean turn_OnB);
    A_Err (*AEGP_GetMemStats)(AEGP_PluginID plugin_id, A_long* countPL, A_long* sizePL);
} AEGP_MemorySuite1;

// The suite's name says PF, its functions AEGP.
#define kAEGPColorSettingsSuite "PF Color Settings Suite"
#define kAEGPColorSettingsSuiteVersion2 3

typedef struct AEGP_ColorSettingsSuite2 {
    void* AEGP_GetBlendingTables;
    void* AEGP_DoesViewHaveColorSpaceXform;
    void* AEGP_XformWorkingToViewColorSpace;
    // "New" in a name means the caller disposes of what it gets.
    A_Err (*AEGP_GetNewWorkingSpaceColorProfile)(AEGP_PluginID aegp_plugin_id, AEGP_CompH compH,
                                                  AEGP_ColorProfileP* color_profilePP);
    void* AEGP_GetNewColorProfileFromICCProfile;
    void* AEGP_GetNewICCProfileFromColorProfile;
    void* AEGP_GetNewColorProfileDescription;
    A_Err (*AEGP_DisposeColorProfile)(AEGP_ColorProfileP color_profileP);
    A_Err (*AEGP_GetColorProfileApproximateGamma)(AEGP_ConstColorProfileP color_profileP, A_FpShort* approx_gammaP);
    A_Err (*AEGP_IsRGBColorProfile)(AEGP_ConstColorProfileP color_profileP, A_Boolean* is_rgbPB);
} AEGP_ColorSettingsSuite2;

#define kAEGPStreamSuite "AEGP Stream Suite"
#define kAEGPStreamSuiteVersion5 10

typedef struct AEGP_StreamSuite5 {
    A_Err (*AEGP_IsStreamLegal)(AEGP_LayerH layerH, AEGP_LayerStream which_stream, A_Boolean* is_legalP);
    A_Err (*AEGP_CanVaryOverTime)(AEGP_StreamRefH streamH, A_Boolean* can_varyPB);
    A_Err (*AEGP_GetValidInterpolations)(AEGP_StreamRefH streamH, AEGP_KeyInterpolationMask* valid_interpolationsP);
    A_Err (*AEGP_GetNewLayerStream)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH, AEGP_LayerStream which_stream,
                                    AEGP_StreamRefH* streamPH);
    A_Err (*AEGP_GetEffectNumParamStreams)(AEGP_EffectRefH effect_refH, A_long* num_paramsPL);
    // param_index 0 is the effect's input layer; the stream must be disposed of.
    A_Err (*AEGP_GetNewEffectStreamByIndex)(AEGP_PluginID aegp_plugin_id, AEGP_EffectRefH effect_refH,
                                            PF_ParamIndex param_index, AEGP_StreamRefH* streamPH);
    void* AEGP_GetNewMaskStream;
    A_Err (*AEGP_DisposeStream)(AEGP_StreamRefH streamH);
    A_Err (*AEGP_GetStreamName)(AEGP_PluginID pluginID, AEGP_StreamRefH streamH, A_Boolean force_englishB,
                                AEGP_MemHandle* utf_stream_namePH);
    A_Err (*AEGP_GetStreamUnitsText)(AEGP_StreamRefH streamH, A_Boolean force_englishB, A_char* unitsZ);
    void* AEGP_GetStreamProperties;
    // Takes expressions into account.
    A_Err (*AEGP_IsStreamTimevarying)(AEGP_StreamRefH streamH, A_Boolean* is_timevaryingPB);
} AEGP_StreamSuite5;

#define kAEGPKeyframeSuite "AEGP Keyframe Suite"
#define kAEGPKeyframeSuiteVersion4 4

enum { AEGP_NumKF_NO_DATA = -1 };

typedef struct AEGP_KeyframeSuite4 {
    // AEGP_NumKF_NO_DATA for a stream without data; 0 when not keyframed.
    A_Err (*AEGP_GetStreamNumKFs)(AEGP_StreamRefH streamH, A_long* num_kfsPL);
} AEGP_KeyframeSuite4;

#define kAEGPEffectSuite "AEGP Effect Suite"
#define kAEGPEffectSuiteVersion3 3

typedef struct AEGP_EffectSuite3 {
    A_Err (*AEGP_GetLayerNumEffects)(AEGP_LayerH layerH, A_long* num_effectsPL);
    A_Err (*AEGP_GetLayerEffectByIndex)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH,
                                        AEGP_EffectIndex layer_effect_index, AEGP_EffectRefH* effectPH);
    A_Err (*AEGP_GetInstalledKeyFromLayerEffect)(AEGP_EffectRefH effect_refH, AEGP_InstalledEffectKey* installed_keyP);
    A_Err (*AEGP_GetEffectParamUnionByIndex)(AEGP_PluginID aegp_plugin_id, AEGP_EffectRefH effectH,
                                             PF_ParamIndex param_index, PF_ParamType* param_typeP,
                                             PF_ParamDefUnion* uP0);
    A_Err (*AEGP_GetEffectFlags)(AEGP_EffectRefH effect_refH, AEGP_EffectFlags* effect_flagsP);
    A_Err (*AEGP_SetEffectFlags)(AEGP_EffectRefH effect_refH, AEGP_EffectFlags effect_flags_set_mask,
                                 AEGP_EffectFlags effect_flags);
    A_Err (*AEGP_ReorderEffect)(AEGP_EffectRefH effect_refH, A_long effect_indexL);
    A_Err (*AEGP_EffectCallGeneric)(AEGP_PluginID aegp_plugin_id, AEGP_EffectRefH effectH, const A_Time* timePT,
                                    PF_Cmd effect_cmd, void* effect_extraPV);
    A_Err (*AEGP_DisposeEffect)(AEGP_EffectRefH effectH);
} AEGP_EffectSuite3;

#define kAEGPPFInterfaceSuite "AEGP PF Interface Suite"
#define kAEGPPFInterfaceSuiteVersion1 1

typedef struct AEGP_PFInterfaceSuite1 {
    A_Err (*AEGP_GetEffectLayer)(PF_ProgPtr effect_pp_ref, AEGP_LayerH* layerPH);
    // The effect handle must be disposed of with AEGP_DisposeEffect.
    A_Err (*AEGP_GetNewEffectForEffect)(AEGP_PluginID aegp_plugin_id, PF_ProgPtr effect_pp_ref,
                                        AEGP_EffectRefH* effect_refPH);
    A_Err (*AEGP_ConvertEffectToCompTime)(PF_ProgPtr effect_pp_ref, A_long what_timeL, A_u_long time_scaleLu,
                                          A_Time* comp_timePT);
    A_Err (*AEGP_GetEffectCamera)(PF_ProgPtr effect_pp_ref, const A_Time* comp_timePT, AEGP_LayerH* camera_layerPH);
    A_Err (*AEGP_GetEffectCameraMatrix)(PF_ProgPtr effect_pp_ref, const A_Time* comp_timePT,
                                        A_Matrix4* camera_matrixP, A_FpLong* dist_to_image_planePF,
                                        A_short* image_plane_widthPL, A_short* image_plane_heightPL);
} AEGP_PFInterfaceSuite1;

#ifdef __cplusplus
}
#endif
