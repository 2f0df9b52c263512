// Loading of a plug-in binary: property list, dynamic loading, entry point lookup.
#include "host/plugin_module.h"

#include <dlfcn.h>

#include <fstream>
#include <iterator>
#include <string>
#include <stdexcept>
#include <vector>

namespace nb::host {
namespace {

std::vector<uint8_t> read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the property list " + path.string());
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::filesystem::path Plugin_Module::pipl_path(const std::filesystem::path& library) {
    std::filesystem::path path = library;
    return path.replace_extension(".pipl");
}

Plugin_Module::Plugin_Module(const std::filesystem::path& library) {
    const Effect_Discovery effect = discover_effect(Pipl(read_file(pipl_path(library))));
    // Local binding keeps the plug-in's symbols out of the host's and of every other plug-in's way.
    handle_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error("cannot load " + library.string() + ": " + dlerror());
    entry_ = reinterpret_cast<PF_FilterProc>(dlsym(handle_, effect.entry_point.c_str()));
    if (entry_ == nullptr) {
        dlclose(handle_);
        throw std::runtime_error(library.string() + " has no entry point " + effect.entry_point);
    }
}

Plugin_Module::~Plugin_Module() { dlclose(handle_); }

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
