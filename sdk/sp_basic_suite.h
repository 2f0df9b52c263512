// The suite broker every host hands out: SPBasicSuite with AcquireSuite/ReleaseSuite, and SP error codes.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t SPErr;
typedef int32_t SPBoolean;  // the Windows BOOL of the original interface

#define kSPBasicSuite "SP Basic Suite"
#define kSPBasicSuiteVersion 4

// Suites are function tables looked up by name and version; AcquireSuite writes the table's address.
typedef struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, int32_t version);
    SPBoolean (*IsEqual)(const char* token1, const char* token2);
    SPErr (*AllocateBlock)(size_t size, void** block);
    SPErr (*FreeBlock)(void* block);
    SPErr (*ReallocateBlock)(void* block, size_t new_size, void** new_block);
    SPErr (*Undefined)(void);
} SPBasicSuite;

// The codes are four-character tags, read as big-endian 32-bit numbers.
#define kSPNoError ((SPErr)0)
#define kSPUnimplementedError ((SPErr)0x21494D50)            /* '!IMP' */
#define kSPUserCanceledError ((SPErr)0x73746F70)             /* 'stop' */
#define kSPOperationInterrupted ((SPErr)0x696E7472)          /* 'intr' */
#define kSPLogicError ((SPErr)0x66626172)                    /* 'fbar' */
#define kSPCantAcquirePluginError ((SPErr)0x21416371)        /* '!Acq' */
#define kSPCantReleasePluginError ((SPErr)0x2152656C)        /* '!Rel' */
#define kSPPluginAlreadyReleasedError ((SPErr)0x416C526C)    /* 'AlRl' */
#define kSPAdapterAlreadyExistsError ((SPErr)0x41644578)     /* 'AdEx' */
#define kSPBadAdapterListIteratorError ((SPErr)0x4264414C)   /* 'BdAL' */
#define kSPBadParameterError ((SPErr)0x5061726D)             /* 'Parm' */
#define kSPCantChangeBlockDebugNowError ((SPErr)0x214E6F77)  /* '!Now' */
#define kSPBlockDebugNotEnabledError ((SPErr)0x214E626C)     /* '!Nbl' */
#define kSPOutOfMemoryError ((SPErr)0xFFFFFF6C)              /* the one numeric code */
#define kSPBlockSizeOutOfRangeError ((SPErr)0x426B5267)      /* 'BkRg' */
#define kSPPluginCachesFlushResponse ((SPErr)0x70466C73)     /* 'pFls' */
#define kSPTroubleAddingFilesError ((SPErr)0x54416464)       /* 'TAdd' */
#define kSPBadFileListIteratorError ((SPErr)0x42464974)      /* 'BFIt' */
#define kSPTroubleInitializingError ((SPErr)0x54496E69)      /* 'TIni' */
#define kHostCanceledStartupPluginsError ((SPErr)0x48215374) /* 'H!St' */
#define kSPNotASweetPeaPluginError ((SPErr)0x4E535050)       /* 'NSPP' */
#define kSPAlreadyInSPCallerError ((SPErr)0x41495343)        /* 'AISC' */
#define kSPUnknownAdapterError ((SPErr)0x3F416470)           /* '?Adp' */
#define kSPBadPluginListIteratorError ((SPErr)0x50694C49)    /* 'PiLI' */
#define kSPBadPluginHost ((SPErr)0x50694830)                 /* 'PiH0' */
#define kSPCantAddHostPluginError ((SPErr)0x4164486F)        /* 'AdHo' */
#define kSPPluginNotFound ((SPErr)0x50214664)                /* 'P!Fd' */
#define kSPCorruptPiPLError ((SPErr)0x4350504C)              /* 'CPPL' */
#define kSPBadPropertyListIteratorError ((SPErr)0x42507249)  /* 'BPrI' */
#define kSPSuiteNotFoundError ((SPErr)0x53214664)            /* 'S!Fd' */
#define kSPSuiteAlreadyExistsError ((SPErr)0x53457869)       /* 'SExi' */
#define kSPSuiteAlreadyReleasedError ((SPErr)0x5352656C)     /* 'SRel' */
#define kSPBadSuiteListIteratorError ((SPErr)0x534C4974)     /* 'SLIt' */
#define kSPBadSuiteInternalVersionError ((SPErr)0x53495673)  /* 'SIVs' */

#ifdef __cplusplus
}
#endif
