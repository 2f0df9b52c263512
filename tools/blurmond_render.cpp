// The blurmond-render command: options, the parameter listing, single images, sequences and the demo.
#include "tools/blurmond_render.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>

#include "tools/demo_render.h"
#include "tools/frame_sequence.h"
#include "tools/image_file.h"
#include "tools/interrupt_signals.h"
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

void render_one(Render_Job& job, const Render_Options& options, const std::string& input, const std::string& output) {
    check_interrupt();
    check_not_overwriting(options, input, output);
    const Loaded_Image loaded = read_image_file(input, job.memory_limit());
    check_interrupt();
    const int bits = options.depth != 0 ? options.depth : loaded.bits;
    write_image_file(output, job.render(loaded.image, bits), bits);
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
            render_one(job, options, input.path_for(frame), output.path_for(frame));
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
}

void run(Render_Options options, std::ostream& out, std::ostream& err, bool progress) {
    if (options.plugin.empty()) options.plugin = default_plugin_path();
    switch (options.command) {
    case Render_Command::help: out << render_usage(); return;
    case Render_Command::list_params: return list_params(options, out);
    case Render_Command::demo: return render_demo(options, out);
    case Render_Command::render: {
        Render_Job job(options);
        return render_files(job, options, out, err, progress);
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
        render_one(job, options, options.input, options.output);
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
