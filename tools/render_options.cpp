// Parsing of blurmond-render's command line.
#include "tools/render_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <functional>
#include <map>

#include "tools/closest_names.h"
#include "tools/control_preset.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

int64_t parse_count(const std::string& option, const std::string& text, int64_t min, int64_t max) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        throw Tool_Error(option + " takes a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
                         ", not '" + text + "'");
    return value;
}

// A whole number of bytes, or of KiB, MiB, GiB or TiB with the suffix K, M, G or T.
int64_t parse_memory_size(const std::string& text) {
    int64_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    int shift = 0;
    if (stop + 1 == end) {
        const std::string suffixes = "KMGT";
        const std::size_t found = suffixes.find(static_cast<char>(std::toupper(static_cast<unsigned char>(*stop))));
        shift = found == std::string::npos ? -1 : 10 * static_cast<int>(found + 1);
    } else if (stop != end) {
        shift = -1;
    }
    if (error != std::errc() || shift < 0 || value < 1 || value > (std::numeric_limits<int64_t>::max() >> shift))
        throw Tool_Error("--memory-limit takes a size such as 512M, 2G or a number of bytes, not '" + text + "'");
    return value << shift;
}

using Value_Option = std::function<void(Render_Options&, const std::string&)>;

const std::map<std::string, Value_Option>& value_options() {
    static const std::map<std::string, Value_Option> options{
        {"--set", [](Render_Options& o, const std::string& v) { o.settings.push_back({v, ""}); }},
        {"--preset",
         [](Render_Options& o, const std::string& v) {
             const std::vector<Setting_Text> preset = read_control_preset(v);
             o.settings.insert(o.settings.end(), preset.begin(), preset.end());
         }},
        {"--save-preset", [](Render_Options& o, const std::string& v) { o.save_preset = v; }},
        {"--host",
         [](Render_Options& o, const std::string& v) {
             std::string host = v;
             std::ranges::transform(host, host.begin(), [](unsigned char c) { return std::tolower(c); });
             if (host != "ae" && host != "premiere") throw Tool_Error("--host is ae or premiere, not '" + v + "'");
             o.host = host == "ae" ? Render_Host::after_effects : Render_Host::premiere;
         }},
        {"--depth",
         [](Render_Options& o, const std::string& v) {
             if (v != "8" && v != "16" && v != "32") throw Tool_Error("--depth is 8, 16 or 32, not '" + v + "'");
             o.depth = std::stoi(v);
         }},
        {"--downsample", [](Render_Options& o, const std::string& v) { o.downsample = parse_count("--downsample", v, 1, 64); }},
        {"--threads", [](Render_Options& o, const std::string& v) { o.threads = parse_count("--threads", v, 0, 1024); }},
        {"--memory-limit", [](Render_Options& o, const std::string& v) { o.memory_limit = parse_memory_size(v); }},
        {"--frames", [](Render_Options& o, const std::string& v) { o.frames = Frame_List::parse(v); }},
        {"--missing",
         [](Render_Options& o, const std::string& v) {
             std::string missing = v;
             std::ranges::transform(missing, missing.begin(), [](unsigned char c) { return std::tolower(c); });
             if (missing != "error" && missing != "skip" && missing != "hold")
                 throw Tool_Error("--missing is error, skip or hold, not '" + v + "'");
             o.missing = missing == "error" ? Missing_Frame::error : missing == "skip" ? Missing_Frame::skip : Missing_Frame::hold;
         }},
        {"--plugin", [](Render_Options& o, const std::string& v) { o.plugin = v; }},
        {"--demo",
         [](Render_Options& o, const std::string& v) {
             o.command = Render_Command::demo;
             o.output = v;
         }},
    };
    return options;
}

const std::map<std::string, bool Render_Options::*>& flag_options() {
    static const std::map<std::string, bool Render_Options::*> options{
        {"--legacy", &Render_Options::legacy},
        {"--timing", &Render_Options::timing},
        {"--overwrite", &Render_Options::overwrite},
    };
    return options;
}

[[noreturn]] void unknown_option(const std::string& option) {
    std::vector<Known_Name> known;
    for (const auto& entry : value_options()) known.push_back({entry.first, ""});
    for (const auto& entry : flag_options()) known.push_back({entry.first, ""});
    known.push_back({"--list-params", ""});
    known.push_back({"--help", ""});
    known.push_back({"--version", ""});
    throw Tool_Error(unknown_name_message("option", option, closest_names(option, known)));
}

void check_file_names(Render_Options& options, const std::vector<std::string>& files) {
    if (options.command == Render_Command::render) {
        if (files.empty() && options.save_preset) {
            options.command = Render_Command::save_preset;
            return;
        }
        if (files.size() != 2) throw Tool_Error("expected INPUT and OUTPUT file names (see --help)");
        options.input = files[0];
        options.output = files[1];
        return;
    }
    if (!files.empty()) throw Tool_Error("unexpected argument '" + files.front() + "' (see --help)");
}

}  // namespace

Render_Options parse_render_options(std::span<const std::string> args) {
    Render_Options options;
    std::vector<std::string> files;
    bool list = false, help = false, version = false, only_files = false;
    for (size_t i = 0; i < args.size(); ++i) {
        // "--opt=value" is "--opt value"; a file name may hold '=' and never starts with "--".
        const size_t equals = args[i].starts_with("--") && !only_files ? args[i].find('=') : std::string::npos;
        const std::string arg = args[i].substr(0, equals);
        const bool joined = equals != std::string::npos;
        if (only_files || arg.size() < 2 || arg.front() != '-') {
            files.push_back(arg);
        } else if (const auto option = value_options().find(arg); option != value_options().end()) {
            if (!joined && i + 1 == args.size()) throw Tool_Error(arg + " needs a value (see --help)");
            option->second(options, joined ? args[i].substr(equals + 1) : args[++i]);
        } else if (joined && (flag_options().contains(arg) || arg == "--list-params" || arg == "--help" || arg == "--version")) {
            throw Tool_Error(arg + " takes no value");
        } else if (arg == "--") {
            only_files = true;
        } else if (arg == "--list-params" || arg == "--help" || arg == "-h" || arg == "--version") {
            (arg == "--list-params" ? list : arg == "--version" ? version : help) = true;
        } else if (const auto flag = flag_options().find(arg); flag != flag_options().end()) {
            options.*(flag->second) = true;
        } else {
            unknown_option(arg);
        }
    }
    if (help || version) {
        options.command = help ? Render_Command::help : Render_Command::version;
        return options;
    }
    if (list) {
        if (options.command == Render_Command::demo) throw Tool_Error("--demo and --list-params exclude each other");
        if (options.save_preset) throw Tool_Error("--list-params and --save-preset exclude each other");
        options.command = Render_Command::list_params;
    }
    check_file_names(options, files);
    return options;
}

std::string render_usage() {
    return R"(usage: blurmond-render [options] INPUT OUTPUT
       blurmond-render --save-preset FILE [--preset FILE] [--set KEY=VALUE ...]
       blurmond-render --demo OUTPUT
       blurmond-render --list-params [--host premiere]
       blurmond-render --version
Options take their value as "--opt value" or "--opt=value"; after "--" every argument is a file name.
  --set KEY=VALUE     a parameter by its key or display name (repeatable); choices by entry text or
                      0-based index; checkboxes on/off; colours r,g,b[,a] in 0..1; angles in degrees;
                      background_layer, alternative_iris and selection_layer take an image file
  --preset FILE       KEY=VALUE lines as --set takes them ('#' starts a comment); settings apply in
                      command-line order, so a --set after --preset wins
  --save-preset FILE  write the value of every control, to read back with --preset
  --host ae|premiere  After Effects (ARGB, smart render) or Premiere (BGRA, PF_Cmd_RENDER); default ae
  --depth 8|16|32     bit depth of the worlds handed to the effect (default: 8 for 8-bit INPUT, else 32)
  --downsample N      render at 1/N resolution, as a host does for reduced-resolution previews
  --threads N         host worker threads; 0, the default, is one per processor
  --memory-limit SIZE memory the host lends the effect and an input image may take, such as 512M or 2G
                      (default: half the machine's memory)
  --legacy            PF_Cmd_RENDER under After Effects
  --timing            print the effect's timing table; for a sequence summed, with the mean per frame
  --frames LIST       render a sequence; INPUT and OUTPUT are patterns such as shot.####.exr; LIST is
                      frames and ranges joined by commas, a range with an optional step: 1-100x2,120
  --missing error|skip|hold
                      a sequence frame without input file stops the run (error, the default), is left
                      out (skip) or gets the last existing input frame rendered again (hold); frames
                      before the first existing one get that one, as a held clip starts
  --plugin PATH       effect library (default: blurmond.so beside this program)
  --overwrite         allow OUTPUT to be the INPUT file itself (the result replaces it)
OUTPUT keeps INPUT's channels, pixel types, windows and metadata; channels other than colour and alpha
pass through. Unless set, gamma_correction is off for linear files (EXR, float TIFF, a colour space
named linear) and keeps the effect's default for display-referred ones (PNG, JPEG, integer TIFF).
Examples:
  blurmond-render --set radius=20 --set iris_facets=6 plate.exr plate_defocused.exr
  blurmond-render --frames 1-48 --set radius=12 shot.####.exr blurred.####.exr
  blurmond-render --set radius=20 --set iris_rounded=0.3 --save-preset soft.txt
  blurmond-render --preset soft.txt --set radius=30 photo.png photo_soft.png
  blurmond-render --set radius=25 --set alternative_iris=heart.png --set colored_iris=on lights.exr out.exr
)";
}

}  // namespace nb::tools
