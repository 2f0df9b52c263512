// The blurmond-render command: options, the parameter listing, single images, sequences and the demo.
#include "tools/blurmond_render.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>

#include "host/host_system.h"
#include "host/pipl_reader.h"
#include "tools/demo_render.h"
#include "tools/output_check.h"
#include "tools/render_job.h"
#include "tools/sequence_render.h"
#include "tools/timing_sum.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

std::string one_line(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string describe(const std::exception& failure) {
    return dynamic_cast<const std::bad_alloc*>(&failure) != nullptr ? "out of memory" : failure.what();
}

void list_params(const Render_Options& options, std::ostream& out) {
    Render_Job job(options);
    job.controls().print(out, job.session().effect().parameters());
    out << "\n" << Render_Job::gamma_key << " defaults to off for linear files (EXR, float TIFF, a colour space named "
        << "linear); display-referred files (PNG, JPEG, integer TIFF) keep the default above.\n";
}

// The effect's own version word, from the property list the host reads before loading anything.
void print_version(const Render_Options& options, std::ostream& out) {
    host::Effect_Discovery effect;
    try {
        effect = host::discover_effect(host::Pipl(host::system::read_pipl(options.plugin)));
    } catch (const std::exception& error) {
        throw Tool_Error("cannot read the effect's property list beside '" + options.plugin.string() + "': " + error.what());
    }
    const auto field = [&effect](uint32_t shift, uint32_t bits) { return std::to_string(effect.effect_version >> shift & bits); };
    out << "blurmond-render with " << effect.name << " " << field(PF_Vers_VERS_SHIFT, PF_Vers_VERS_BITS) << "."
        << field(PF_Vers_SUBVERS_SHIFT, PF_Vers_SUBVERS_BITS) << "." << field(PF_Vers_BUGFIX_SHIFT, PF_Vers_BUGFIX_BITS)
        << " (" << options.plugin.string() << ")\n";
}

void run(Render_Options options, std::ostream& out, std::ostream& err, bool progress) {
    if (options.plugin.empty()) options.plugin = default_plugin_path();
    switch (options.command) {
    case Render_Command::help: out << render_usage(); return;
    case Render_Command::version: return print_version(options, out);
    case Render_Command::list_params: return list_params(options, out);
    case Render_Command::demo: return render_demo(options, out);
    case Render_Command::save_preset: return Render_Job(options).save_preset(*options.save_preset);
    case Render_Command::render: {
        // Before the effect loads and anything renders: a mistyped name must not cost a render.
        check_image_output(options.output);
        if (options.save_preset) check_writable_file(*options.save_preset);
        Render_Job job(options);
        render_files(job, options, out, err, progress);
        if (options.save_preset) job.save_preset(*options.save_preset);
        return;
    }
    }
}

}  // namespace

std::filesystem::path default_plugin_path() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(".") : self.parent_path()) / "blurmond.so";
}

void render_files(Render_Job& job, const Render_Options& options, std::ostream& out, std::ostream& err,
                  bool progress) {
    if (!options.frames) {
        render_file(job, options, err, progress);
        if (options.timing) out << job.timing_table();
        return;
    }
    const int64_t rendered = render_sequence(job, options, err, progress);
    if (options.timing) out << summed_timing_table(job.timing_log(), rendered);
}

int run_blurmond_render(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                        bool progress_on_terminal) {
    try {
        run(parse_render_options(args), out, err, progress_on_terminal);
        return 0;
    } catch (const std::exception& error) {
        err << "blurmond-render: " << one_line(describe(error)) << "\n";
        return 1;
    }
}

}  // namespace nb::tools
