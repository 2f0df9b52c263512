// The blurmond-render command: options, the parameter listing, single images, sequences and the demo.
#include "tools/blurmond_render.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "host/host_system.h"
#include "host/pipl_reader.h"
#include "tools/demo_render.h"
#include "tools/frame_sequence.h"
#include "tools/image_file.h"
#include "tools/interrupt_signals.h"
#include "tools/output_check.h"
#include "tools/progress_bar.h"
#include "tools/render_job.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

std::string one_line(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Compared as files, not as names: "./in.png", a link and "in.png" all name the same file.
void check_not_overwriting(const Render_Options& options, const std::string& input, const std::string& output) {
    std::error_code error;
    if (!options.overwrite && std::filesystem::equivalent(input, output, error))
        throw Tool_Error("'" + output + "' is the input file itself (add --overwrite to replace it)");
}

std::string describe(const std::exception& failure) {
    return dynamic_cast<const std::bad_alloc*>(&failure) != nullptr ? "out of memory" : failure.what();
}

// Every part of a multi-part file, each at the depth and with the gamma default its pixels call for.
// `before_warning` makes room for a warning line (the progress bar erases itself).
void render_one(Render_Job& job, const Render_Options& options, const std::string& input, const std::string& output,
                std::ostream& err, const std::function<void()>& before_warning = [] {}) {
    check_interrupt();
    check_not_overwriting(options, input, output);
    std::vector<Loaded_Image> parts = read_image_parts(input, job.memory_limit());
    std::vector<Image_Rgba> rendered;
    for (Loaded_Image& part : parts) {
        check_interrupt();
        job.follow_encoding(part.linear);
        // The writer needs the part's header and other channels, no longer its colour.
        rendered.push_back(job.render(std::move(part.image), options.depth != 0 ? options.depth : part.bits));
    }
    for (const std::string& warning : write_image_parts(output, parts, rendered)) {
        before_warning();
        err << "blurmond-render: warning: " << warning << "\n";
    }
}

void render_sequence(Render_Job& job, const Render_Options& options, std::ostream& err, bool progress) {
    const Frame_Pattern input(options.input), output(options.output);
    if (!input.is_sequence() || !output.is_sequence())
        throw Tool_Error("--frames needs INPUT and OUTPUT patterns with a frame number, such as shot.####.exr");
    const Frame_Range range = *options.frames;
    Progress_Bar bar(err, progress, range.count(), Progress_Bar::steady_seconds,
                     progress ? Progress_Bar::terminal_columns(stderr) : 80);
    bar.update(0);
    for (int64_t frame = range.first; frame <= range.last; ++frame) {
        try {
            render_one(job, options, input.path_for(frame), output.path_for(frame), err, [&bar] { bar.clear(); });
        } catch (const std::exception& error) {
            bar.clear();
            throw Tool_Error("frame " + std::to_string(frame) + ": " + describe(error));
        }
        bar.update(frame - range.first + 1);
    }
    bar.finish();
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
    if (options.frames) {
        render_sequence(job, options, err, progress);
    } else {
        render_one(job, options, options.input, options.output, err);
    }
    if (options.timing) out << job.timing_table();
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
