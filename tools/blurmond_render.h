// The blurmond-render command as a function, so tests run the whole command in-process.
#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>

#include "tools/render_options.h"

namespace nb::tools {

// Runs the command with the arguments after the program name. Results and listings go to `out`; a
// failure prints exactly one line on `err` and returns 1, leaving no output file behind (frames of a
// sequence written before the failing one stay). `progress_on_terminal`: draw the sequence progress
// bar on `err` (the caller knows whether that is a terminal). Returns 0 on success. After an
// interrupting signal (see Interrupt_Signals) the line names it and the caller ends the process by it.
int run_blurmond_render(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                        bool progress_on_terminal = false);

// blurmond.so in the folder of the running executable.
std::filesystem::path default_plugin_path();

class Render_Job;

// Renders INPUT to OUTPUT with a job set up from the same options, or with --frames every frame of the
// patterns; prints with --timing the effect's timing table, for a sequence summed over the frames. Throws Tool_Error, for a sequence naming the frame
// that failed.
void render_files(Render_Job& job, const Render_Options& options, std::ostream& out, std::ostream& err,
                  bool progress);

}  // namespace nb::tools
