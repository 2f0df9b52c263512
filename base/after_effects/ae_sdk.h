// The one way into the host interface: the public SDK when the build names one, our declarations otherwise.
#pragma once

#include <stdint.h>

// Layer pixel pointers stay opaque: every pixel depth goes through the same world record.
#ifndef PF_DEEP_COLOR_AWARE
#define PF_DEEP_COLOR_AWARE 1
#endif

#if defined(NB_USE_REAL_AE_SDK)
// The platform configuration and the export macros come before any other SDK header.
#include "AEConfig.h"
#include "entry.h"
#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_EffectCBSuites.h"
#include "AE_EffectSuites.h"
#include "AE_EffectUI.h"
#include "AE_EffectPixelFormat.h"
#include "AE_EffectGPUSuites.h"
#include "AE_ChannelSuites.h"
#include "AE_GeneralPlug.h"
#include "PrSDKAESupport.h"
#include "SPBasic.h"
// Headers before 13.29 name the parameter's name field plainly.
#ifndef PF_DEF_NAME
#define PF_DEF_NAME name
#endif
// Premiere's suite errors come from another product's SDK too; the plug-in only tells success apart.
#ifndef PRSDKMALERRORS_H
typedef int32_t prSuiteError;
#define suiteError_NoError ((prSuiteError)0x00000000)
#endif
#else
#include "ae_sdk_declarations.h"
#endif

// The application-information suite belongs to another product's SDK, so the one call made of it is
// declared here for either build, unless a header of that SDK came in with the ones above.
#ifndef PRSDKAPPINFOSUITE_H
#define kPrSDKAppInfoSuite "MediaCore App Info Suite"

// Answer to kAppInfo_Version.
typedef struct {
    unsigned int major;
    unsigned int minor;
    unsigned int patch;
} VersionInfo;

typedef struct {
    enum { kAppInfo_AppFourCC = 0, kAppInfo_Version = 1, kAppInfo_Build = 2 };
    int32_t (*GetAppInfo)(int settingsSelector, void* appInfo);
} PrSDKAppInfoSuite;
#endif
