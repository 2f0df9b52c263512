// One loaded effect set up from the command line, rendering images the way the chosen host would.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "host/effect_session.h"
#include "host/private_log_home.h"
#include "tools/effect_controls.h"
#include "tools/image_rgba.h"
#include "tools/render_options.h"

namespace nb::tools {

// Loads the plug-in, runs global and parameter setup, applies the --set values (reading the image
// files of layer controls) and renders frames. Not thread-safe; one frame at a time.
class Render_Job {
public:
    // Throws Tool_Error with one line when the plug-in cannot be loaded, a setup command fails, a key
    // or value is wrong or a layer's file cannot be read.
    explicit Render_Job(const Render_Options& options);
    ~Render_Job();

    const Effect_Controls& controls() const { return *controls_; }
    host::Effect_Session& session() { return *session_; }
    // Bytes the host lends the effect; an input image is held to it as well.
    int64_t memory_limit() const { return session_->host().handles().budget(); }

    // Renders the full-resolution image at bits (8, 16 or 32) and returns the result at the reduced
    // size of --downsample. The result covers the input, or in normal mode with "extend" on the grown
    // extent the effect reports (x and y then place it relative to the input). Throws Tool_Error naming
    // the error code the effect returned.
    // The input is taken, so that its pixels are freed while the effect renders: pass a copy to keep it.
    Image_Rgba render(Image_Rgba input, int bits);

    // The key of the control that decodes the BT.709 curve before blurring and encodes it after.
    static constexpr const char* gamma_key = "gamma_correction";
    // Suits "gamma correction" to the next image unless --set chose it: off for linear light, whose
    // values the curve would bend; the effect's default for display-referred pixels.
    void follow_encoding(bool linear);

    // Writes every control's value as it stands, layers as the files given, to a preset that --preset
    // reads back to the same render; "gamma correction" only when chosen, as each file suits it
    // otherwise. Throws Tool_Error.
    void save_preset(const std::filesystem::path& path);

    // The timing table of the last render; empty without --timing.
    std::string timing_table() const;
    // Every render's timing table so far, among the effect's other log lines; empty without --timing.
    std::string timing_log() const;

private:
    void apply_settings(const Render_Options& options);
    void apply_setting(const std::string& text);
    // Throws Tool_Error for a failed command.
    void check(PF_Err error, const std::string& what) const;
    host::Render_Path path() const;

    Render_Options options_;
    std::unique_ptr<host::Private_Log_Home> log_home_;  // before the session: the log's place is fixed at setup
    std::unique_ptr<host::Effect_Session> session_;
    std::unique_ptr<Effect_Controls> controls_;
    std::map<int32_t, Image_Rgba> layer_images_;  // by host index, at full resolution
    std::map<int32_t, std::string> layer_files_;  // their file names as given, by host index
    bool gamma_chosen_ = false;                   // --set named "gamma correction"
};

}  // namespace nb::tools
