// The one way into the host interface: the public SDK when the build names one, our declarations otherwise.
#pragma once

// Layer pixel pointers stay opaque: every pixel depth goes through the same world record.
#ifndef PF_DEEP_COLOR_AWARE
#define PF_DEEP_COLOR_AWARE 1
#endif

#if defined(NB_USE_REAL_AE_SDK)
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
#include "PrSDKAppInfoSuite.h"
#include "SPBasic.h"
#else
#include "ae_sdk_declarations.h"
#endif
