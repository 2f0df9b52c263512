// The command line of blurmond-render, parsed into one record before anything is loaded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/frame_sequence.h"

namespace nb::tools {

enum class Render_Command { render, save_preset, demo, list_params, help, version };
enum class Render_Host { after_effects, premiere };
// What a sequence does about a frame whose input file does not exist.
enum class Missing_Frame { error, skip, hold };

// A control value as typed, "KEY=VALUE", and where it was typed: empty for --set, or a preset's file and
// line ("preset 'look.txt' line 4"), which errors about it name.
struct Setting_Text {
    std::string text;
    std::string origin;
};

struct Render_Options {
    Render_Command command = Render_Command::render;
    std::string input;   // file or frame pattern; empty for the demo and the listing
    std::string output;  // file or frame pattern
    std::vector<Setting_Text> settings;  // --set and --preset lines in command-line order; later ones win
    Render_Host host = Render_Host::after_effects;
    int depth = 0;            // 8, 16 or 32; 0: 8 for 8-bit input files, else 32
    int64_t downsample = 1;   // render at 1/downsample of the full resolution
    int64_t threads = 0;      // host worker threads; 0: one per processor
    int64_t memory_limit = 0; // bytes the host lends the effect and an image may take; 0: half the memory
    bool legacy = false;      // PF_Cmd_RENDER under After Effects
    bool timing = false;
    bool overwrite = false;   // OUTPUT may name the same file as INPUT
    std::optional<Frame_List> frames;
    Missing_Frame missing = Missing_Frame::error;
    std::filesystem::path plugin;  // empty: blurmond.so beside the executable
    std::optional<std::filesystem::path> save_preset;  // where to write the effective control values
};

// Parses the arguments after the program name: "--opt value" or "--opt=value", choice values in any case,
// and after "--" file names only. --preset reads its file where it stands, so settings apply in
// command-line order; --save-preset without INPUT and OUTPUT is a command of its own. Throws Tool_Error
// with one line for an unknown option (naming the closest ones), a missing or malformed value, a value
// given to a flag, the wrong number of file names, or a preset that cannot be read or holds a line other
// than KEY=VALUE.
Render_Options parse_render_options(std::span<const std::string> args);

// The text --help prints.
std::string render_usage();

}  // namespace nb::tools
