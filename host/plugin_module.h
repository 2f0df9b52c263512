// A plug-in binary as the host loads it: discovered through its property list (beside it on POSIX
// systems, inside it on Windows), then opened and called through the entry point that list names.
#pragma once

#include <filesystem>
#include <stdexcept>

#include "base/after_effects/ae_sdk.h"
#include "host/pipl_reader.h"

namespace nb::host {

// What the plug-in threw, as the host reports a crash: the message is copied out while the library that
// made the exception is still loaded, so it stays readable after the library is closed.
class Plugin_Crash : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Plugin_Module {
public:
    // The property list of library on POSIX systems: same folder and name, extension ".pipl".
    static std::filesystem::path pipl_path(const std::filesystem::path& library);

    // Reads and checks the property list first (an effect, with an entry point), then opens the library
    // and finds the entry point. Throws std::runtime_error when any step fails; nothing stays loaded.
    explicit Plugin_Module(const std::filesystem::path& library);
    ~Plugin_Module();  // closes the library
    Plugin_Module(const Plugin_Module&) = delete;
    Plugin_Module& operator=(const Plugin_Module&) = delete;

    // Calls the entry point. What the plug-in throws comes out as Plugin_Crash.
    PF_Err call(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                void* extra) const;

private:
    void* handle_ = nullptr;
    PF_FilterProc entry_ = nullptr;
};

}  // namespace nb::host
