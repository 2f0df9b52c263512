// Code-to-identifier tables of the effect, SP and Premiere suite error codes.
#include "base/error_names.h"

#include <algorithm>
#include <iterator>

namespace nb {
namespace {

struct Code_Name {
    int32_t code;
    const char* name;
};

// The SDKs write most SP errors as four-character literals: the first character is the most
// significant byte.
constexpr int32_t four_cc(const char (&text)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(text[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(text[3])));
}

// The SDKs define every prSuiteError as a 32-bit pattern; errors have the top bit set.
constexpr int32_t bits(uint32_t pattern) { return static_cast<int32_t>(pattern); }

constexpr Code_Name pf_err_names[] = {
    {0, "PF_Err_NONE"},
    {4, "PF_Err_OUT_OF_MEMORY"},
    {512, "PF_Err_INTERNAL_STRUCT_DAMAGED"},
    {513, "PF_Err_INVALID_INDEX"},
    {514, "PF_Err_UNRECOGNIZED_PARAM_TYPE"},
    {515, "PF_Err_INVALID_CALLBACK"},
    {516, "PF_Err_BAD_CALLBACK_PARAM"},
    {517, "PF_Interrupt_CANCEL"},
    {518, "PF_Err_CANNOT_PARSE_KEYFRAME_TEXT"},
};

constexpr Code_Name sp_err_names[] = {
    {0, "kSPNoError"},
    {four_cc("!IMP"), "kSPUnimplementedError"},
    {four_cc("stop"), "kSPUserCanceledError"},
    {four_cc("intr"), "kSPOperationInterrupted"},
    {four_cc("fbar"), "fbar - general programming error"},
    {four_cc("!Acq"), "kSPCantAcquirePluginError"},
    {four_cc("!Rel"), "kSPCantReleasePluginError"},
    {four_cc("AlRl"), "kSPPluginAlreadyReleasedError"},
    {four_cc("AdEx"), "kSPAdapterAlreadyExistsError"},
    {four_cc("BdAL"), "kSPBadAdapterListIteratorError"},
    {four_cc("Parm"), "kSPBadParameterError"},
    {four_cc("!Now"), "kSPCantChangeBlockDebugNowError"},
    {four_cc("!Nbl"), "kSPBlockDebugNotEnabledError"},
    // The effect SDK's header defines 0xFFFFFF6C although its comment claims -108 (0xFFFFFF94);
    // the host returns the defined value.
    {bits(0xFFFFFF6Cu), "kSPOutOfMemoryError"},
    {four_cc("BkRg"), "kSPBlockSizeOutOfRangeError"},
    {four_cc("pFls"), "kSPPluginCachesFlushResponse"},
    {four_cc("TAdd"), "kSPTroubleAddingFilesError"},
    {four_cc("BFIt"), "kSPBadFileListIteratorError"},
    {four_cc("TIni"), "kSPTroubleInitializingError"},
    {four_cc("H!St"), "kHostCanceledStartupPluginsError"},
    {four_cc("NSPP"), "kSPNotASweetPeaPluginError"},
    {four_cc("AISC"), "kSPAlreadyInSPCallerError"},
    {four_cc("?Adp"), "kSPUnknownAdapterError"},
    {four_cc("PiLI"), "kSPBadPluginListIteratorError"},
    {four_cc("PiH0"), "kSPBadPluginHost"},
    {four_cc("AdHo"), "kSPCantAddHostPluginError"},
    {four_cc("P!Fd"), "kSPPluginNotFound"},
    {four_cc("CPPL"), "kSPCorruptPiPLError"},
    {four_cc("BPrI"), "kSPBadPropertyListIteratorError"},
    {four_cc("S!Fd"), "kSPSuiteNotFoundError"},
    {four_cc("SExi"), "kSPSuiteAlreadyExistsError"},
    {four_cc("SRel"), "kSPSuiteAlreadyReleasedError"},
    {four_cc("SLIt"), "kSPBadSuiteListIteratorError"},
    {four_cc("SIVs"), "kSPBadSuiteInternalVersionError"},
};

constexpr Code_Name pr_suite_error_names[] = {
    {99, "malUnknownError"},
    {100, "malSupports7"},
    {101, "malSupports8"},
    {bits(0x00000000u), "suiteError_NoError"},
    {bits(0x80000000u), "suiteError_Fail"},
    {bits(0x80000001u), "suiteError_InvalidParms"},
    {bits(0x80000002u), "suiteError_OutOfMemory"},
    {bits(0x80000003u), "suiteError_InvalidCall"},
    {bits(0x80000004u), "suiteError_NotImplemented"},
    {bits(0x80000005u), "suiteError_IDNotValid"},
    {bits(0x00010000u), "suiteError_RenderPending"},
    {bits(0x00010001u), "suiteError_RenderedFrameNotFound"},
    {bits(0x00010002u), "suiteError_RenderedFrameCanceled"},
    {bits(0x80010000u), "suiteError_RenderInvalidPixelFormat"},
    {bits(0x80010001u), "suiteError_RenderCompletionProcNotSet"},
    {bits(0x00020000u), "suiteError_TimeRoundedAudioRate"},
    {bits(0x00030001u), "suiteError_CompilerCompileAbort"},
    {bits(0x00030002u), "suiteError_CompilerCompileDone"},
    {bits(0x00030004u), "suiteError_CompilerOutputFormatAccept"},
    {bits(0x00030005u), "suiteError_CompilerOutputFormatDecline"},
    {bits(0x00030006u), "suiteError_CompilerRebuildCutList"},
    {bits(0x00030007u), "suiteError_CompilerIterateCompiler"},
    {bits(0x00030008u), "suiteError_CompilerIterateCompilerDone"},
    {bits(0x00030009u), "suiteError_CompilerInternalErrorSilent"},
    {bits(0x0003000Au), "suiteError_CompilerIterateCompilerCacheable"},
    {bits(0x80030000u), "suiteError_CompilerBadFormatIndex"},
    {bits(0x80030001u), "suiteError_CompilerInternalError"},
    {bits(0x80030002u), "suiteError_CompilerOutOfDiskSpace"},
    {bits(0x80030003u), "suiteError_CompilerBufferFull"},
    {bits(0x80030004u), "suiteError_CompilerErrOther"},
    {bits(0x80030005u), "suiteError_CompilerErrMemory"},
    {bits(0x80030006u), "suiteError_CompilerErrFileNotFound"},
    {bits(0x80030007u), "suiteError_CompilerErrTooManyOpenFiles"},
    {bits(0x80030008u), "suiteError_CompilerErrPermErr"},
    {bits(0x80030009u), "suiteError_CompilerErrOpenErr"},
    {bits(0x8003000Au), "suiteError_CompilerErrInvalidDrive"},
    {bits(0x8003000Bu), "suiteError_CompilerErrDupFile"},
    {bits(0x8003000Cu), "suiteError_CompilerErrIo"},
    {bits(0x8003000Du), "suiteError_CompilerErrInUse"},
    {bits(0x8003000Eu), "suiteError_CompilerErrCodecBadInput"},
    {bits(0x8003000Fu), "suiteError_ExporterSuspended"},
    {bits(0x80030010u), "suiteError_ExporterNoMoreFrames"},
    {bits(0x80040000u), "suiteError_FileBufferTooSmall"},
    {bits(0x80040001u), "suiteError_FileNotImportableFileType"},
    {bits(0x80050000u), "suiteError_LegacyInvalidVideoRate"},
    {bits(0x80060000u), "suiteError_PlayModuleAudioInitFailure"},
    {bits(0x80060001u), "suiteError_PlayModuleAudioIllegalPlaySetting"},
    {bits(0x80060002u), "suiteError_PlayModuleAudioNotInitialized"},
    {bits(0x80060003u), "suiteError_PlayModuleAudioNotStarted"},
    {bits(0x80060004u), "suiteError_PlayModuleAudioIllegalAction"},
    {bits(0x80070000u), "suiteError_PlayModuleDeviceControlSuiteIllegalCallSequence"},
    {bits(0x80080000u), "suiteError_MediaAcceleratorSuitePathNotFound"},
    {bits(0x80080001u), "suiteError_MediaAcceleratorSuiteRegisterFailure"},
    {bits(0x80090000u), "suiteError_RepositoryReadFailed"},
    {bits(0x80090001u), "suiteError_RepositoryWriteFailed"},
    {bits(0x80090002u), "suiteError_NotActivated"},
    {bits(0x80090003u), "suiteError_DataNotPresent"},
    {bits(0x80090004u), "suiteError_ServerCommunicationFailed"},
    {bits(0x80090005u), "suiteError_Internal"},
    {bits(0x800A0000u), "suiteError_StringNotFound"},
    {bits(0x800A0001u), "suiteError_StringBufferTooSmall"},
    {bits(0x800B0000u), "suiteError_NoKeyframeAfterInTime"},
    {bits(0x000C0000u), "suiteError_NoMoreData"},
    {bits(0x800D0000u), "suiteError_InstanceDestroyed"},
};

static_assert(std::size(sp_err_names) == 34);
static_assert(std::size(pr_suite_error_names) == 64);

template <std::size_t N>
const char* find_name(const Code_Name (&table)[N], int32_t code, const char* otherwise) {
    const auto found = std::find_if(std::begin(table), std::end(table),
                                    [code](const Code_Name& entry) { return entry.code == code; });
    return found == std::end(table) ? otherwise : found->name;
}

}  // namespace

std::string pf_err_name(int32_t code) { return find_name(pf_err_names, code, "unknown error"); }

std::string sp_err_name(int32_t code) { return find_name(sp_err_names, code, ""); }

std::string pr_suite_error_name(int32_t code) { return find_name(pr_suite_error_names, code, ""); }

}  // namespace nb
