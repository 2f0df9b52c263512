// Loading of a plug-in binary: property list, loading, entry point lookup; the system does each step.
#include "host/plugin_module.h"

#include <string>
#include <stdexcept>

#include "host/host_system.h"

namespace nb::host {

std::filesystem::path Plugin_Module::pipl_path(const std::filesystem::path& library) {
    std::filesystem::path path = library;
    return path.replace_extension(".pipl");
}

Plugin_Module::Plugin_Module(const std::filesystem::path& library) {
    const Effect_Discovery effect = discover_effect(Pipl(system::read_pipl(library)));
    handle_ = system::open_library(library);
    entry_ = reinterpret_cast<PF_FilterProc>(system::find_symbol(handle_, effect.entry_point));
    if (entry_ == nullptr) {
        system::close_library(handle_);
        throw std::runtime_error(library.string() + " has no entry point " + effect.entry_point);
    }
}

Plugin_Module::~Plugin_Module() { system::close_library(handle_); }

PF_Err Plugin_Module::call(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                           PF_LayerDef* output, void* extra) const {
    try {
        return entry_(cmd, in_data, out_data, params, output, extra);
    } catch (const std::exception& failure) {
        throw Plugin_Crash(std::string("the plug-in crashed: ") + failure.what());
    } catch (...) {
        throw Plugin_Crash("the plug-in crashed");
    }
}

}  // namespace nb::host
