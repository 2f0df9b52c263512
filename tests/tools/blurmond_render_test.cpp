// End-to-end tests of the blurmond-render command: image files through the real plug-in binary on both
// hosts and all depths, extra layers, reduced resolution, extend, sequences and the demo; run as its own
// process, as a user meets it, for the ways a run fails, output names and signals, with standard error
// as a whole (the image libraries print there too, not only the command).
#include "tools/blurmond_render.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <OpenImageIO/imagebufalgo.h>
#include <gtest/gtest.h>

#include "tests/support/plugin_binary.h"
#include "tests/support/temp_folder.h"
#include "tools/image_file.h"

namespace nb::tools {
namespace {

namespace fs = std::filesystem;
using Rgba = std::array<float, 4>;
using Colour_At = std::function<Rgba(int64_t, int64_t)>;
using OIIO::ImageSpec;
using OIIO::TypeDesc;

struct Command_Result {
    int code = 0;  // as a shell reports it: the exit code, or 128 plus the signal that ended the process
    std::string out, err;
};

Image_Rgba filled(int64_t width, int64_t height, const Colour_At& colour) {
    Image_Rgba image(width, height);
    for (int64_t i = 0; i < width * height; ++i) std::ranges::copy(colour(i % width, i / width), image.pixel(i % width, i / width));
    return image;
}

Colour_At constant(Rgba c) {
    return [c](int64_t, int64_t) { return c; };
}

// One code value of the render depth covers the rounding of input and output; 8- and 16-bit results go
// to EXR as half floats, whose 11 significant bits add up to 2^-11 for values up to 1; float renders
// keep the transforms' rounding, far below 1e-4 on images this small.
double tolerance(int bits) { return bits == 32 ? 1e-4 : 1.0 / (bits == 8 ? 255.0 : 32768.0) + std::ldexp(1.0, -11); }

void expect_pixels(const Image_Rgba& image, const Colour_At& expected, double tol, const std::string& what) {
    for (int64_t y = 0; y < image.height; ++y)
        for (int64_t x = 0; x < image.width; ++x)
            for (int k = 0; k < 4; ++k)
                ASSERT_NEAR(image.pixel(x, y)[k], expected(x, y)[k], tol) << what << " at (" << x << ", " << y << ") component " << k;
}

const Rgba bright_pink{1.0f, 230.0f / 255, 230.0f / 255, 1.0f};  // HSL lightness 0.95: selected on both hosts
const Rgba dark_blue{0.2f, 0.3f, 0.4f, 1.0f};                   // lightness 0.3: never selected
const Rgba violet{100.0f / 255, 20.0f / 255, 240.0f / 255, 1.0f};
const Rgba white{1, 1, 1, 1}, black{0, 0, 0, 1};

Colour_At halves(int64_t width, Rgba left, Rgba right) {
    return [=](int64_t x, int64_t) { return x < width / 2 ? left : right; };
}

ImageSpec part_header(std::vector<std::string> names, TypeDesc type, int width = 9, int height = 6) {
    ImageSpec header(width, height, static_cast<int>(names.size()), type);
    header.channelnames = std::move(names);
    std::tie(header.alpha_channel, header.z_channel) = std::pair(header.channelindex("A"), header.channelindex("Z"));
    return header;
}

// Noise written by OpenImageIO alone, alpha never 0 (or 1 everywhere); the file's type quantises it.
void write_parts(const fs::path& path, const std::vector<ImageSpec>& parts, bool opaque = false) {
    auto out = OIIO::ImageOutput::create(path.string());
    ASSERT_TRUE(out && out->open(path.string(), static_cast<int>(parts.size()), parts.data())) << out->geterror();
    for (const ImageSpec& s : parts) {
        OIIO::ImageBuf part = OIIO::ImageBufAlgo::noise("uniform", 0.05f, 1.0f, false, 1, OIIO::get_roi(s));
        if (opaque) OIIO::ImageBufAlgo::fill(part, {1.0f}, OIIO::ROI(s.x, s.x + s.width, s.y, s.y + s.height, 0, 1, 3, 4));
        ASSERT_TRUE((&s == &parts[0] || out->open(path.string(), s, OIIO::ImageOutput::AppendSubimage)) && part.write(out.get()));
    }
    ASSERT_TRUE(out->close());
}

class BlurmondRender : public testing::Test {
protected:
    Command_Result run(std::vector<std::string> args, bool progress = false) {
        // First, so a case's own --plugin wins.
        args.insert(args.begin(), {"--plugin", binary.library().string(), "--threads", "2"});
        std::ostringstream out, err;
        const int code = run_blurmond_render(args, out, err, progress);
        return {code, out.str(), err.str()};
    }
    std::string file(const std::string& name) const { return (folder / name).string(); }
    std::string write(const std::string& name, const Image_Rgba& image) {
        write_image_file(folder / name, image, 32);
        return file(name);
    }
    Image_Rgba read(const std::string& name) const { return widened(read_image_file(folder / name, int64_t{1} << 32).image); }
    // Starts the command in the image folder with the test's plug-in copy; standard error goes to a
    // file in another folder, so the image folder holds exactly what the command left.
    pid_t start(std::vector<std::string> args, int ignored_signal = 0) {
        const fs::path command = test::Plugin_Binary::built_library().parent_path() / "blurmond-render";
        args.insert(args.begin(), {command.string(), "--plugin", binary.library().string(), "--threads", "2"});
        // An allocation larger than the sanitizer allows then fails as it does in a regular build.
        const std::string asan = std::getenv("ASAN_OPTIONS") != nullptr ? std::getenv("ASAN_OPTIONS") : "";
        if (asan.find("allocator_may_return_null=1") == std::string::npos)
            ::setenv("ASAN_OPTIONS", (asan + ":allocator_may_return_null=1").c_str(), 1);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        const std::string err = (logs / "err.txt").string();
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (ignored_signal != 0) ::sigaction(ignored_signal, &ignore, nullptr);
            const int fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::dup2(fd, STDERR_FILENO) < 0 || ::chdir(folder.path().c_str()) != 0) ::_exit(126);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return pid;
    }
    Command_Result finish(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status), "",
                test::Plugin_Binary::read(logs / "err.txt")};
    }
    Command_Result run_process(const std::vector<std::string>& args) { return finish(start(args)); }

    void write_bytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    // Noise, so that no format compresses the pixels away and a cut always lands in pixel data.
    void write_noise(const std::string& name, int width = 128, int height = 96) const {
        write_parts(folder / name, {part_header({"R", "G", "B", "A"}, TypeDesc::HALF, width, height)});
    }

    test::Plugin_Binary binary{false};
    test::Temp_Folder folder, logs;
};

struct Mode_Case {
    const char* name;
    std::string host;
    int bits;
    bool legacy;
    std::string in, out;                // the input is written from float; its format decides what it holds
    std::vector<std::string> settings;  // "@" stands for the layer's file
    Colour_At input;                    // on a 64 x 48 frame
    Colour_At expected;
    Colour_At layer = nullptr;
    int downsample = 1;
};

class BlurmondRenderModes : public BlurmondRender, public testing::WithParamInterface<Mode_Case> {};

// Each host at each depth, the legacy path, display modes by name and by number, layers from files and
// reduced resolution: the iris sums to 1 and the border continues the image, so a constant image stays
// itself; selected pixels keep their colour and the others turn black; the previews are opaque.
TEST_P(BlurmondRenderModes, EveryDisplayModeShowsWhatItShould) {
    const Mode_Case& c = GetParam();
    std::vector<std::string> args{write(c.in, filled(64, 48, c.input)), file(c.out), "--host", c.host, "--depth",
                                  std::to_string(c.bits), "--downsample", std::to_string(c.downsample)};
    if (c.legacy) args.push_back("--legacy");
    if (c.layer) write("layer.exr", filled(64, 48, c.layer));
    for (std::string s : c.settings) args.insert(args.end(), {"--set", s.back() == '@' ? s.replace(s.size() - 1, 1, file("layer.exr")) : s});
    const Command_Result result = run(args);
    ASSERT_EQ(result.code, 0) << result.err;
    const Image_Rgba out = read(c.out);
    ASSERT_EQ(std::tuple(out.width, out.height, out.full_width()), (std::tuple<int64_t, int64_t, int64_t>(64 / c.downsample, 48 / c.downsample, 64 / c.downsample)));
    expect_pixels(out, c.expected, tolerance(c.bits), c.name);
}

const Colour_At pink_and_blue = halves(64, bright_pink, dark_blue), selected = halves(64, white, black);
INSTANTIATE_TEST_SUITE_P(
    ModesHostsDepths, BlurmondRenderModes,
    testing::Values(
        Mode_Case{"NormalAe8Downsampled", "ae", 8, false, "in.exr", "out.exr", {"show=normal blur", "radius=6"},
                  constant(violet), constant(violet), nullptr, 2},
        Mode_Case{"NormalAe16LegacyPngToTiff", "ae", 16, true, "in.png", "out.tif", {"radius=3"}, constant(violet),
                  constant(violet)},
        Mode_Case{"NormalPremiere32", "premiere", 32, false, "in.exr", "out.exr", {"radius=4"}, constant(dark_blue),
                  constant(dark_blue)},
        // After Effects shows the selection only when it is switched on; Premiere always selects.
        Mode_Case{"SelectionOverImageAe32", "ae", 32, false, "in.exr", "out.exr", {"show=highlight, selection", "enable=on"},
                  pink_and_blue, halves(64, bright_pink, black)},
        // A fully transparent result hides nothing: the composite is the background itself.
        Mode_Case{"BackgroundPremiere16", "premiere", 16, false, "in.exr", "out.exr", {"radius=2", "background_layer=@"},
                  constant(Rgba{0, 0, 0, 0}), constant(violet), constant(violet)},
        // The layer, not the image, decides what is selected.
        Mode_Case{"SelectionLayerAe8ToPng", "ae", 8, false, "in.tif", "out.png", {"show=3", "selection_enable=on", "selection_layer=@"},
                  constant(dark_blue), selected, pink_and_blue}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BlurmondRender, ExtendGrowsTheOutputByTheBlur) {
    ASSERT_EQ(run({write("in.exr", filled(30, 21, constant(violet))), file("grown.exr"), "--set", "radius=5", "--set",
                   "extend=on"}).code, 0);
    const Image_Rgba grown = read("grown.exr");
    EXPECT_LE(grown.x, -5) << "at least the radius on either side";
    EXPECT_EQ(grown.width, 30 - 2 * grown.x) << "grown evenly";
    EXPECT_EQ(grown.full_width(), 30) << "the frame stays the input's";
    EXPECT_LT(grown.pixel(0, grown.height / 2)[0], violet[0] / 2) << "beyond the image the colour fades to black";
}

TEST_F(BlurmondRender, SequenceRendersEveryFrameWithProgressAndTiming) {
    const auto frame_colour = [](int frame) { return constant(Rgba{0.25f * static_cast<float>(frame), 0.1f, 0.2f, 1}); };
    for (int frame = 1; frame <= 3; ++frame) write("in." + std::to_string(frame) + ".exr", filled(16, 8, frame_colour(frame)));
    const Command_Result r = run({file("in.#.exr"), file("out.###.exr"), "--frames", "1-3", "--set", "radius=2",
                                  "--timing"}, true);
    ASSERT_EQ(r.code, 0) << r.err;
    for (int frame = 1; frame <= 3; ++frame)
        expect_pixels(read("out.00" + std::to_string(frame) + ".exr"), frame_colour(frame), tolerance(32),
                      "frame " + std::to_string(frame));
    EXPECT_EQ(r.err.front(), '\r') << "the progress line is drawn in place";
    EXPECT_NE(r.err.find(" ]  0/3 frames  0:00 elapsed\r["), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("=]  3/3 frames  "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.back(), '\n') << "and ended";
    EXPECT_EQ(r.out.find("duration (s)"), r.out.rfind("duration (s)")) << "one table for all frames: " << r.out;
    EXPECT_NE(r.out.find("\n3 frames "), std::string::npos) << r.out;
}

// While the second frame renders, the bar's fill passes the half that the first frame makes, by the
// share of the effect's abort queries the first one made.
TEST_F(BlurmondRender, BarCountsTheFrameInProgressByTheEffectsAbortQueries) {
    for (const char* name : {"big.1.exr", "big.2.exr"}) write_noise(name, 300, 200);
    const Command_Result r = run({file("big.#.exr"), file("out.#.exr"), "--frames", "1-2", "--set", "radius=10"}, true);
    ASSERT_EQ(r.code, 0) << r.err;
    bool past_half = false;
    for (size_t at = r.err.find("]  1/2 frames"); at != std::string::npos; at = r.err.find("]  1/2 frames", at + 1)) {
        const std::string bar = r.err.substr(r.err.rfind('[', at) + 1, at - r.err.rfind('[', at) - 1);
        past_half |= 2 * std::count_if(bar.begin(), bar.end(), [](char c) { return c != ' '; }) > static_cast<long>(bar.size()) + 1;
    }
    EXPECT_TRUE(past_half) << r.err;
    const Command_Result single = run({file("big.1.exr"), file("single.exr"), "--set", "radius=10"}, true);
    EXPECT_NE(single.err.find("]  0/1 frames  0:00 elapsed"), std::string::npos) << "a single frame shows its time too";
    EXPECT_EQ(single.err.back(), '\r') << "and erases the bar";
}

// Inputs exist for frames 2, 4, 5 and 6, each its own colour; a constant image keeps it through the blur,
// so every output shows which input it was rendered from.
TEST_F(BlurmondRender, FrameListsAndMissingFramesChooseWhatIsRendered) {
    const auto colour = [](int64_t frame) { return Rgba{0.1f * static_cast<float>(frame), 0.5f, 0.2f, 1}; };
    for (int frame : {2, 4, 5, 6}) write("in." + std::to_string(frame) + ".exr", filled(8, 4, constant(colour(frame))));
    const struct {
        std::string frames, missing;
        int code, lines;                           // a line a frame done, skipped or held, and one for a failure
        std::vector<std::pair<int, int>> written;  // output frame, input frame it shows
        std::string err;                           // a part of standard error
    } cases[] = {
        {"2-6x2", "error", 0, 3, {{2, 2}, {4, 4}, {6, 6}}, "frame 6 done in "},
        {"6,-1-2x3,4-5", "SKIP", 0, 5, {{6, 6}, {2, 2}, {4, 4}, {5, 5}}, "frame -1: no file '" + file("in.-1.exr") + "', skipped"},
        {"1-4", "skip", 0, 4, {{2, 2}, {4, 4}}, "frame 3: no file '" + file("in.3.exr") + "', skipped"},
        {"1-4,7", "hold", 0, 8, {{1, 2}, {2, 2}, {3, 2}, {4, 4}, {7, 4}}, "frame 7: no file '" + file("in.7.exr") + "', holding frame 4"},
        {"2-4", "error", 1, 2, {{2, 2}}, "frame 3: cannot read"},  // frames before stay, the run stops
        {"7-8", "hold", 1, 1, {}, "frame 7: cannot read"},  // nothing to hold
    };
    for (const auto& c : cases) {
        for (const std::string& name : folder.entries()) if (name.starts_with("out")) fs::remove(folder / name);
        const Command_Result r = run({file("in.#.exr"), file("out.#.exr"), "--frames", c.frames, "--missing", c.missing});
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.frames << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), static_cast<long>(c.lines)) << r.err;
        for (const auto& [out, in] : c.written) expect_pixels(read("out." + std::to_string(out) + ".exr"), constant(colour(in)), tolerance(32), c.frames);
        EXPECT_EQ(folder.entries().size(), 4 + c.written.size()) << c.frames << ": nothing else written";
    }
    // In place, held frames show the input as it was read, not the render that has replaced its file since.
    write("in.6.exr", filled(8, 4, halves(8, white, black)));
    ASSERT_EQ(run({file("in.#.exr"), file("in.#.exr"), "--frames", "6-9", "--missing", "hold", "--overwrite", "--set", "radius=3"}).code, 0);
    for (const char* name : {"in.7.exr", "in.8.exr", "in.9.exr"}) EXPECT_EQ(read(name).rgba, read("in.6.exr").rgba) << name;
}

// Parts of one EXR share the display window and pixel aspect; the first has a float Z among half
// colour, piz and metadata.
std::vector<ImageSpec> plate_parts() {
    std::vector<ImageSpec> parts{part_header({"R", "G", "B", "A", "Z"}, TypeDesc::HALF), part_header({"Y"}, TypeDesc::FLOAT, 5, 4)};
    parts[0].channelformats = {TypeDesc::HALF, TypeDesc::HALF, TypeDesc::HALF, TypeDesc::HALF, TypeDesc::FLOAT};
    std::tie(parts[0].x, parts[0].y) = std::tuple(3, -2);
    const int fps[2] = {24000, 1001};
    const unsigned timecode[2] = {0x01020304, 0};
    parts[0].attribute("FramesPerSecond", OIIO::TypeRational, fps);
    parts[0].attribute("smpte:TimeCode", OIIO::TypeTimeCode, timecode);
    parts[0].attribute("compression", "piz");
    for (ImageSpec& s : parts) {
        std::tie(s.full_x, s.full_y, s.full_width, s.full_height) = std::tuple(-5, -7, 20, 16);
        s.attribute("PixelAspectRatio", 2.0f);
    }
    return parts;
}

// At radius 0 a file comes back as it was, pixels exactly; blurred, it keeps its channels and types.
TEST_F(BlurmondRender, FilesKeepChannelsTypesWindowsAndMetadata) {
    const std::vector<ImageSpec> plate = plate_parts();
    const std::tuple<std::string, std::vector<ImageSpec>, bool> cases[] = {  // file, parts, opaque
        {"plate.exr", {plate[0]}, false}, {"parts.exr", plate, false},
        {"rgb.exr", {part_header({"R", "G", "B"}, TypeDesc::HALF)}, false},
        {"opaque.png", {part_header({"R", "G", "B", "A"}, TypeDesc::UINT8)}, true},
        {"grey.png", {part_header({"Y"}, TypeDesc::UINT16)}, false}, {"grey_alpha.png", {part_header({"Y", "A"}, TypeDesc::UINT8)}, false},
        {"rgb16.tif", {part_header({"R", "G", "B"}, TypeDesc::UINT16)}, false}, {"rgb.tif", {part_header({"R", "G", "B"}, TypeDesc::FLOAT)}, false}};
    for (const auto& [file, parts, opaque] : cases) {
        write_parts(folder / file, parts, opaque);
        for (const std::string radius : {"0", "3"}) {
            // A name of its own: OpenImageIO's cache would hand back an earlier file of the same name.
            const std::string result = "r" + radius + "_" + file;
            ASSERT_EQ(run_process({"--set", "radius=" + radius, file, result}).err, "") << "neither a failure nor a warning";
            ASSERT_EQ(OIIO::ImageBuf((folder / result).string()).nsubimages(), static_cast<int>(parts.size()));
            for (int p = 0; p < static_cast<int>(parts.size()); ++p) {
                OIIO::ImageBuf in((folder / file).string(), p), out((folder / result).string(), p);
                ASSERT_TRUE(in.read(p, 0, true, TypeDesc::FLOAT) && out.read(p, 0, true, TypeDesc::FLOAT));
                const ImageSpec &a = in.nativespec(), &b = out.nativespec();
                const std::string what = result + " part " + std::to_string(p);
                EXPECT_EQ(b.channelnames, a.channelnames) << what;
                for (int k = 0; k < a.nchannels; ++k) EXPECT_EQ(b.channelformat(k), a.channelformat(k)) << what;
                EXPECT_EQ(std::tie(b.x, b.y, b.width, b.height, b.full_x, b.full_y, b.full_width, b.full_height),
                          std::tie(a.x, a.y, a.width, a.height, a.full_x, a.full_y, a.full_width, a.full_height)) << what;
                for (const OIIO::ParamValue& m : a.extra_attribs) {
                    const OIIO::ParamValue* n = b.find_attribute(m.name());
                    EXPECT_TRUE(m.name() == "tiff:RowsPerStrip" || (n && a.metadata_val(m) == b.metadata_val(*n)))
                        << what << ": " << m.name() << " " << a.metadata_val(m);
                }
                const auto diff = OIIO::ImageBufAlgo::compare(in, out, 0.0f, 0.0f);
                EXPECT_TRUE(radius != "0" || diff.nfail == 0) << what << ": " << diff.maxerror << " at " << diff.maxx << ", " << diff.maxy;
            }
        }
    }
    // What the format cannot hold it says, once a kind.
    const Command_Result png = run_process({"plate.exr", "plate.png"}), exr = run_process({"grey.png", "grey.exr"});
    for (const std::string kind : {"channels Z: left out", "pixel type half: stored as uint8", "display window"})
        EXPECT_NE(png.err.find("blurmond-render: warning: 'plate.png' cannot hold " + kind), std::string::npos) << png.err;
    EXPECT_NE(exr.err.find("'grey.exr' cannot hold colour space sRGB: it reads back as Linear"), std::string::npos) << exr.err;
}

// Pixels twice as wide as high get an iris round on the display: the oracle is the same frame resampled to
// square pixels (each pixel twice), blurred at pixel aspect 1 and averaged back in pairs. The rims differ
// by sampling (a half-axis of 5 pixels against 10: about 10% of the light); a round iris in pixel units
// spreads the point twice as far across (about 90%).
TEST_F(BlurmondRender, AnamorphicPixelsGetAnIrisRoundOnTheDisplay) {
    const Colour_At point = [](int64_t x, int64_t y) { return x == 12 && y == 12 ? white : black; };
    Image_Rgba squeezed = filled(24, 24, point);
    squeezed.pixel_aspect = 2.0f;
    write("squeezed.exr", squeezed);
    write("square.exr", filled(48, 24, [&](int64_t x, int64_t y) { return point(x / 2, y); }));
    for (const std::string name : {"squeezed", "square"})
        ASSERT_EQ(run({file(name + ".exr"), file(name + "_out.exr"), "--set", "radius=10"}).code, 0);
    const Image_Rgba blurred = read("squeezed_out.exr"), oracle = read("square_out.exr");
    EXPECT_EQ(blurred.pixel_aspect, 2.0f);
    double difference = 0, sum = 0;
    for (int64_t y = 0; y < 24; ++y)
        for (int64_t x = 0; x < 24; ++x) {
            sum += blurred.pixel(x, y)[0];
            difference += std::fabs(blurred.pixel(x, y)[0] - (oracle.pixel(2 * x, y)[0] + oracle.pixel(2 * x + 1, y)[0]) / 2);
        }
    EXPECT_LT(difference / sum, 0.2);
}

// One-pixel stripes of black and white average to 0.5 in linear light; decoded from display values and
// encoded again, to the BT.709 curve's value for 0.5: 1.099 * 0.5^0.45 - 0.099 = 0.7055.
TEST_F(BlurmondRender, GammaCorrectionDefaultFollowsTheFilesEncoding) {
    const Image_Rgba stripes = filled(16, 8, [](int64_t x, int64_t) { return x % 2 == 1 ? white : black; });
    // File, depth written, a setting of the user's (gamma correction, or none), the result.
    const std::tuple<std::string, int, std::string, double> cases[] = {
        {"exr.exr", 32, "radius=4", 0.5},    {"float.tif", 32, "radius=4", 0.5},           {"png.png", 8, "radius=4", 0.7055},
        {"int.tif", 16, "radius=4", 0.7055}, {"exr.exr", 32, "gamma correction=on", 0.7055}, {"png.png", 8, "gamma_correction=off", 0.5}};
    for (const auto& [name, bits, setting, expected] : cases) {
        write_image_file(folder / name, stripes, bits);
        ASSERT_EQ(run({file(name), file("out_" + name), "--set", "radius=4", "--set", setting}).code, 0);
        const Image_Rgba out = read("out_" + name);
        EXPECT_NEAR((out.pixel(7, 4)[0] + out.pixel(8, 4)[0]) / 2, expected, 0.01) << name << " " << setting;
    }
}

// An 8-bit file reaches the host's worlds at every depth, and its render the output file, as its values
// in float do: the two render to the same pixels, through a writer that multiplies by alpha, but for the
// half floats that the 8-bit file's channels become in EXR (colour divided by alpha again when read).
TEST_F(BlurmondRender, EightBitFilesRenderAsTheirValuesInFloat) {
    const Image_Rgba image = filled(24, 16, [](int64_t x, int64_t y) {
        const auto level = [](int64_t v) { return static_cast<float>(v % 256) / 255.0f; };
        return Rgba{level(x * 11), level(y * 17 + x), level(x * y * 5), level(255 - x * 3 - y * 2)};
    });
    write_image_file(folder / "bytes.png", image, 8);
    write_image_file(folder / "floats.tif", image, 32);
    for (const std::string bits : {"8", "16", "32"}) {
        for (const std::string in : {"bytes.png", "floats.tif"})
            ASSERT_EQ(run({file(in), file(bits + in + ".exr"), "--depth", bits, "--set", "radius=3", "--set", "gamma_correction=on"}).code, 0);
        expect_pixels(read(bits + "bytes.png.exr"), [floats = read(bits + "floats.tif.exr")](int64_t x, int64_t y) {
            return std::to_array({floats.pixel(x, y)[0], floats.pixel(x, y)[1], floats.pixel(x, y)[2], floats.pixel(x, y)[3]});
        }, std::ldexp(1.0, -10), bits + " bits");
    }
}

// The demo's scene is a night street: dark overall, opaque, with lights far above 1.0 that bloom.
TEST_F(BlurmondRender, DemoDefocusesItsNightSceneAndWritesItBeside) {
    // At 1/8 resolution the 1280 x 720 scene is 160 x 90 pixels: quick, and the settings are still checked.
    ASSERT_EQ(run({"--demo", file("demo.exr"), "--downsample", "8", "--save-preset", file("demo.txt")}).code, 0);
    EXPECT_NE(test::Plugin_Binary::read(folder / "demo.txt").find("\niris_facets=6\n"), std::string::npos) << "the demo's look";
    const Image_Rgba result = read("demo.exr"), scene = read("demo_input.exr");
    ASSERT_EQ(std::pair(result.width, scene.height), (std::pair<int64_t, int64_t>(160, 90)));
    double sum = 0;
    for (size_t i = 0; i < scene.rgba.size(); ++i) sum += i % 4 == 3 ? 0.0 : scene.rgba[i];
    EXPECT_LT(sum / (160 * 90 * 3), 0.25);
    EXPECT_GT(*std::max_element(scene.rgba.begin(), scene.rgba.end()), 5.0f);
    EXPECT_NE(result.rgba, scene.rgba) << "the scene is defocused";
}

// Every control saved with a render, layers by file name, reads back to the same render on any number of
// threads, and without a render to the same preset; settings apply in command-line order, so a --set
// before --preset loses and one after wins, and an empty file name takes a layer away.
TEST_F(BlurmondRender, SavedPresetRendersTheSameAndSettingsApplyInOrder) {
    const Colour_At noise = [](int64_t x, int64_t y) { return Rgba{static_cast<float>((x * 7 + y * 13) % 11) / 10, 0.3f, 0.6f, 1}; };
    const std::string in = write("in.exr", filled(24, 16, noise)), iris = write("iris.exr", filled(9, 9, noise)), look = file("look.txt");
    std::vector<std::string> direct{"--set", "radius=3.3", "--set", "iris_angle=12.5", "--set", "outside_horizontal=color", "--set",
                                    "outside_vertical=MIRRORED image", "--set", "outside_color=0.2,0.4,0.6,0.5"};
    std::vector<std::string> saved = direct;
    saved.insert(saved.end(), {"--set", "alternative_iris=" + iris, "--save-preset", file("alone.txt")});
    run(saved);
    saved.back() = look;
    saved.insert(saved.end(), {in, file("saved.exr")});
    direct.insert(direct.end(), {"--set", "radius=2", in, file("direct.exr")});
    for (const std::vector<std::string>* args : {&saved, &direct}) run(*args);
    run({in, file("read.exr"), "--set", "radius=9", "--preset", look, "--threads", "0"});
    run({in, file("changed.exr"), "--preset", look, "--set", "alternative_iris=", "--set", "radius=2"});
    EXPECT_TRUE(read("read.exr").rgba == read("saved.exr").rgba) << "read back";
    EXPECT_TRUE(read("changed.exr").rgba == read("direct.exr").rgba) << "changed after reading";
    EXPECT_EQ(test::Plugin_Binary::read(folder / "alone.txt"), test::Plugin_Binary::read(look));
}

// Run as they stand, in a folder holding the files they name.
TEST_F(BlurmondRender, HelpsExamplesRun) {
    for (const std::string name : {"plate.exr", "photo.png", "heart.png", "lights.exr"}) write(name, filled(8, 6, constant(violet)));
    for (int frame = 1; frame <= 48; ++frame) write("shot." + std::to_string(10000 + frame).substr(1) + ".exr", filled(4, 2, constant(violet)));
    const std::string help = run({"--help"}).out;
    std::istringstream examples(help.substr(help.find("\nExamples:\n") + 11));
    for (std::string line; std::getline(examples, line);) {
        std::istringstream words(line);
        const Command_Result r = run_process(std::vector<std::string>(std::next(std::istream_iterator<std::string>(words)), {}));
        EXPECT_TRUE(r.code == 0 && r.err.find("warning") == std::string::npos) << line << ": " << r.err;
    }
}

// As the host shows them: the heading of a group once, where it opens, after a blank line; a nested
// group's indented.
TEST_F(BlurmondRender, ParameterListingShowsTheHostsGroups) {
    const std::string listing = "\n\n" + run({"--list-params"}).out;
    const std::pair<std::string, std::string> cases[] = {  // key, heading above it
        {"radius", "index "}, {"iris_facets", "-> Iris...\n"}, {"selection_enable", "-> Highlight Selection...\n"},
        {"hue_start", "  -> Hue...\n"}, {"outside_extend", "-> Outside Image...\n"}};
    for (const auto& [key, heading] : cases) {
        const size_t start = listing.rfind("\n\n", listing.find(" " + key + " ")) + 2;
        EXPECT_TRUE(listing.compare(start, heading.size(), heading) == 0 && listing.find(heading) == listing.rfind(heading))
            << key << " under " << heading << ", which is printed once, in " << listing;
    }
}

TEST_F(BlurmondRender, FailuresAreOneLineNamingTheCauseAndLeaveNothing) {
    write_noise("good.exr");
    const std::string bytes = test::Plugin_Binary::read(folder / "good.exr");
    write_bytes("cut.exr", bytes.substr(0, bytes.size() / 2));
    // Headers that promise more pixels than the memory limit holds, and nothing after them.
    write_bytes("huge.ppm", "P6\n100000 100000\n255\n0123456789");
    write_bytes("large.ppm", "P6\n15000 15000\n255\n0123456789");
    write_bytes("notes.xyz", "# a look\n\n  radius = abc  \n");  // no image; a preset with a wrong value on line 3
    // Run-length coded for 4 bits a pixel yet claiming 32: OpenImageIO 2.4's reader crashed on it.
    const std::string rle_hex = "424d6600007c0000000037000000280000000c00000002000000010020000200000001002000000000000099929292929266b3"
                                "3300ffe64d801ac4e6ff99334dcc6604040404040404040404040404040404040404040479040604040404040404040404ffc0"
                                "0011080003000403012200020801031101ff1ac4e6000001050101010101010000000000000004040404ffc0";
    std::string rle;
    for (size_t i = 0; i < rle_hex.size(); i += 2) rle += static_cast<char>(std::stoi(rle_hex.substr(i, 2), nullptr, 16));
    write_bytes("rle.bmp", rle);
    // 2^28 rows, run-length coded: OpenImageIO 2.4's reader sizes a vector from them as it opens, which throws.
    write_bytes("tall.bmp", std::string("BMv\0\0\0\0\0\0\0" "6\0\0\0(\0\0\0\x0c\0\0\0\x03\0\0\x10\x01\0\x04\0\x02\0\0\0@", 35) +
                                std::string(83, '\0'));
    // A run of 127 in a row 4 pixels wide: OpenImageIO 2.4's reader wrote it all, past its buffer.
    write_bytes("rows.sgi", std::string("\x01\xda\x01\x01\0\x03\0\x04\0\x01\0\x01", 12) + std::string(500, '\0') +
                                std::string("\0\0\x02\x08\0\0\0\x03\x7f\x09\0", 11));
    for (const char* name : {"f1.exr", "f2.exr"}) write_noise(name);
    write_noise("wide.png", 65501, 1);  // libjpeg would end the process on this width
    write_parts(folder / "z.exr", {part_header({"Z"}, TypeDesc::FLOAT)});
    write_parts(folder / "rgbaz.exr", {part_header({"R", "G", "B", "A", "Z"}, TypeDesc::HALF)});
    for (const char* taken : {"taken.exr", "o1.exr"}) fs::create_directories(folder / taken / "inside");
    const std::vector<std::string> before = folder.entries();

    const struct {
        std::vector<std::string> args;
        std::string message;  // a part of the one line on standard error
    } cases[] = {
        {{"cut.exr", "out.png"}, "cannot read 'cut.exr'"},
        {{"huge.ppm", "out.png"}, "cannot read 'huge.ppm': out of memory: it claims 100000 x 100000 pixels"},
        {{"--memory-limit", "2G", "large.ppm", "out.png"}, "cannot read 'large.ppm': out of memory: it claims 15000"},
        {{"--memory-limit", "1G", "--set", "radius=20", "--set", "smooth=1e5", "good.exr", "out.exr"},
         "grows with \"smooth\" (the 128 x 96 frame is worked on as 72000 x 72000); the memory limit is 1.0 GiB"},
        {{"nothing.exr", "out.exr"}, "cannot read 'nothing.exr': no such file"},
        {{"taken.exr", "out.exr"}, "cannot read 'taken.exr': it is a folder"},
        {{"notes.xyz", "out.exr"}, "cannot read 'notes.xyz': unsupported image format"},
        {{"z.exr", "out.exr"}, "cannot read 'z.exr': no colour or alpha channel to render"},
        {{"rgbaz.exr", "out.exr", "--downsample", "2"}, "other than colour and alpha have no reduced resolution"},
        {{"rle.bmp", "out.png"}, "cannot read 'rle.bmp': unsupported BMP compression"},
        {{"tall.bmp", "out.png"}, "cannot read 'tall.bmp': damaged header"},
        {{"rows.sgi", "out.exr"}, "cannot read 'rows.sgi': damaged SGI file: row 0 of channel 0 runs outside"},
        // The output is checked before the input is read.
        {{"nothing.exr", "out.xyz"}, "cannot write 'out.xyz': unsupported image format"},
        {{"nothing.exr", "out.PSD"}, "cannot write 'out.PSD': OpenImageIO reads psd files but cannot write them"},
        {{"nothing.exr", "/proc/out.exr"}, "folder '/proc' takes no new file"},
        {{"nothing.exr", "taken.exr"}, "cannot write 'taken.exr': it is a folder"},
        {{"in.#.exr", "no/out.#.exr", "--frames", "1-2"}, "cannot write 'no/out.#.exr': folder 'no' does not exist"},
        {{"good.exr", "out.exr", "--save-preset", "no/look.txt"}, "cannot write 'no/look.txt'"},
        {{"wide.png", "wide.jpg", "--set", "radius=0"}, "65500"},
        {{"good.exr", "./good.exr"}, "'./good.exr' is the input file itself"},
        {{"good.exr", "out.exr", "--set", "background_layer=no.exr"}, "no.exr"},
        {{"good.exr", "out.exr", "--set", "raduis=3"}, "did you mean: radius?"},
        {{"good.exr", "out.exr", "--set", "radius=1000"}, "valid range 0 .. 999"},
        {{"good.exr", "out.exr", "--set", "show=blurry"}, "0 \"normal blur\""},
        {{"good.exr", "out.exr", "--preset", "notes.xyz"}, "preset 'notes.xyz' line 3: parameter 'radius': 'abc' is not"},
        {{"--save-preset", "look.txt", "--preset", "huge.ppm"}, "preset 'huge.ppm' line 1: expected KEY=VALUE, not 'P6'"},
        {{"--preset", "none.txt", "good.exr", "out.exr"}, "cannot read preset 'none.txt'"},
        {{"--list-params", "--save-preset", "look.txt"}, "exclude each other"},
        {{"--thread", "2", "good.exr", "out.exr"}, "did you mean: --threads?"},
        {{"--legacy=on", "good.exr", "out.exr"}, "--legacy takes no value"},
        {{"good.exr"}, "INPUT and OUTPUT"},
        {{"in.#.exr", "out.#.exr", "--frames", "9-2"}, "'9-2' ends before it starts"},
        {{"good.exr", "out.exr", "--frames", "1-2"}, "patterns"},
        {{"in.##.#.exr", "out.#.exr", "--frames", "1"}, "more than one"},
        {{"in.#.exr", "out.#.exr", "--frames", "1-9x0"}, "frames '1-9x0' has a step below 1"},
        {{"in.#.exr", "out.#.exr", "--frames", "1,3-2,4"}, "frames '1,3-2,4': '3-2' ends before it starts"},
        {{"in.#.exr", "out.#.exr", "--frames", "1,,4"}, "frames '1,,4': '' is not a frame"},
        {{"in.#.exr", "out.#.exr", "--frames", "5x2"}, "frames '5x2' is not a frame"},
        {{"in.#.exr", "out.#.exr", "--frames", "1", "--missing", "fill"}, "--missing is error, skip or hold, not 'fill'"},
        {{"f#.exr", "o#.exr", "--frames", "1-2"}, "frame 1: cannot write"},
        {{"good.exr", "out.exr", "--plugin", "cut.exr"}, "cannot load the effect"},
    };
    for (const auto& c : cases) {
        const Command_Result r = run_process(c.args);
        EXPECT_EQ(r.code, 1) << c.message << ": " << r.err;
        EXPECT_EQ(r.err.rfind("blurmond-render: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(folder.entries(), before) << c.message << ": no output, no temporary file";
    }
}

TEST_F(BlurmondRender, OverwriteLongestNamesAndOptionFormsAreWritten) {
    write_noise("in.png");
    const std::string original = test::Plugin_Binary::read(folder / "in.png"), longest = std::string(251, 'n') + ".png";
    EXPECT_EQ(run_process({"--overwrite", "--set", "radius=4", "in.png", "in.png"}).code, 0);
    EXPECT_NE(test::Plugin_Binary::read(folder / "in.png"), original);
    EXPECT_EQ(run_process({"in.png", longest}).code, 0);
    // Options joined to their values, choices in any case, and after "--" a name that looks like an option.
    EXPECT_EQ(run_process({"--host=PREMIERE", "--set=radius=2", "--", "in.png", "-out.png"}).code, 0);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"-out.png", "in.png", longest}));
    EXPECT_EQ(run({"--version"}).out.rfind("blurmond-render with NB Blurmond ", 0), 0u);
}

// The second frame takes seconds; the signal comes as soon as the first is written.
TEST_F(BlurmondRender, SignalStopsTheSequenceKeepingFinishedFramesOnly) {
    write_bytes("in.1.ppm", "P6\n2 2\n255\n0123456789ab");
    std::string large = "P6\n1500 1500\n255\n";
    for (int i = 0; i < 1500 * 1500 * 3; ++i) large += static_cast<char>(i * 7);
    write_bytes("in.2.ppm", large);

    const struct {
        int ignored;  // before the command starts, as nohup ignores SIGHUP: the render goes on
        int code;
        std::string err;  // the start of the line after frame 1's
        std::vector<std::string> entries;
    } cases[] = {
        {0, 128 + SIGTERM, "blurmond-render: frame 2: interrupted by SIGTERM\n", {"in.1.ppm", "in.2.ppm", "out.1.tif"}},
        {SIGTERM, 0, "blurmond-render: frame 2 done in ", {"in.1.ppm", "in.2.ppm", "out.1.tif", "out.2.tif"}},
    };
    for (const auto& c : cases) {
        for (const char* name : {"out.1.tif", "out.2.tif"}) fs::remove(folder / name);
        const pid_t pid = start({"--frames", "1-2", "--set", "radius=100", "in.#.ppm", "out.#.tif"}, c.ignored);
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (!fs::exists(folder / "out.1.tif") && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::kill(pid, SIGTERM);
        const Command_Result r = finish(pid);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_EQ(r.err.find("blurmond-render: frame 1 done in "), 0u) << r.err;
        EXPECT_EQ(r.err.substr(r.err.find('\n') + 1).find(c.err), 0u) << r.err;
        EXPECT_EQ(folder.entries(), c.entries);
    }
}

}  // namespace
}  // namespace nb::tools
