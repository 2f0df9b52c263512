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
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/plugin_binary.h"
#include "tests/support/temp_folder.h"
#include "tools/image_file.h"

namespace nb::tools {
namespace {

namespace fs = std::filesystem;
using Rgba = std::array<float, 4>;
using Colour_At = std::function<Rgba(int64_t, int64_t)>;

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
    Image_Rgba read(const std::string& name) const { return read_image_file(folder / name).image; }
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
    void write_noise(const std::string& name, int64_t width = 128, int64_t height = 96) const {
        Image_Rgba image(width, height);
        uint32_t state = 12345;
        for (float& value : image.rgba)
            value = static_cast<float>((state = state * 1664525u + 1013904223u) >> 8) / 16777216.0f;
        write_image_file(folder / name, image, 8);
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
    ASSERT_EQ(std::pair(out.width, out.height), (std::pair<int64_t, int64_t>(64 / c.downsample, 48 / c.downsample)));
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
    EXPECT_LT(grown.pixel(0, grown.height / 2)[3], 0.5f) << "beyond the image the colour fades out";
}

TEST_F(BlurmondRender, SequenceRendersEveryFrameWithProgressAndStopsAtAFailedOne) {
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
    EXPECT_EQ(r.out.find("duration (s)"), r.out.rfind("duration (s)")) << "the timing of the last frame: " << r.out;

    fs::remove(folder / "in.2.exr");
    for (int frame = 1; frame <= 3; ++frame) fs::remove(folder / ("out.00" + std::to_string(frame) + ".exr"));
    const Command_Result failed = run({file("in.#.exr"), file("out.###.exr"), "--frames", "1-3"});
    EXPECT_EQ(failed.code, 1);
    EXPECT_NE(failed.err.find("frame 2"), std::string::npos) << failed.err;
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.1.exr", "in.3.exr", "out.001.exr"}))
        << "frames before the failure stay, the run stops at the failed frame";
}

// The demo's scene is a night street: dark overall, opaque, with lights far above 1.0 that bloom.
TEST_F(BlurmondRender, DemoDefocusesItsNightSceneAndWritesItBeside) {
    // At 1/8 resolution the 1280 x 720 scene is 160 x 90 pixels: quick, and the settings are still checked.
    ASSERT_EQ(run({"--demo", file("demo.exr"), "--downsample", "8"}).code, 0);
    const Image_Rgba result = read("demo.exr"), scene = read("demo_input.exr");
    ASSERT_EQ(std::pair(result.width, scene.height), (std::pair<int64_t, int64_t>(160, 90)));
    double sum = 0;
    for (size_t i = 0; i < scene.rgba.size(); ++i) sum += i % 4 == 3 ? 0.0 : scene.rgba[i];
    EXPECT_LT(sum / (160 * 90 * 3), 0.25);
    EXPECT_GT(*std::max_element(scene.rgba.begin(), scene.rgba.end()), 5.0f);
    EXPECT_NE(result.rgba, scene.rgba) << "the scene is defocused";
}

TEST_F(BlurmondRender, FailuresAreOneLineNamingTheCauseAndLeaveNothing) {
    write_noise("good.exr");
    const std::string bytes = test::Plugin_Binary::read(folder / "good.exr");
    write_bytes("cut.exr", bytes.substr(0, bytes.size() / 2));
    // A header that promises more pixels than any address space holds, and nothing after it.
    write_bytes("huge.ppm", "P6\n4000000 4000000\n255\n0123456789");
    write_bytes("notes.xyz", "text");
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
    write_noise("wide.png", 65501, 1);  // libjpeg would end the process on this width
    fs::create_directories(folder / "taken.exr" / "inside");
    const std::vector<std::string> before = folder.entries();

    const struct {
        std::vector<std::string> args;
        std::string message;  // a part of the one line on standard error
    } cases[] = {
        {{"cut.exr", "out.png"}, "cannot read 'cut.exr'"},
        {{"huge.ppm", "out.png"}, "cannot read 'huge.ppm': out of memory"},
        {{"nothing.exr", "out.exr"}, "cannot read 'nothing.exr': no such file"},
        {{"taken.exr", "out.exr"}, "cannot read 'taken.exr': it is a folder"},
        {{"notes.xyz", "out.exr"}, "cannot read 'notes.xyz': unsupported image format"},
        {{"rle.bmp", "out.png"}, "cannot read 'rle.bmp': unsupported BMP compression"},
        {{"tall.bmp", "out.png"}, "cannot read 'tall.bmp': damaged header"},
        {{"good.exr", "out.xyz"}, "cannot write 'out.xyz': unsupported image format"},
        {{"wide.png", "wide.jpg", "--set", "radius=0"}, "65500"},
        {{"good.exr", "taken.exr"}, "cannot write 'taken.exr'"},
        {{"good.exr", "./good.exr"}, "'./good.exr' is the input file itself"},
        {{"good.exr", "out.exr", "--set", "background_layer=no.exr"}, "no.exr"},
        {{"good.exr", "out.exr", "--set", "raduis=3"}, "did you mean: radius?"},
        {{"good.exr", "out.exr", "--set", "radius=1000"}, "valid range 0 .. 999"},
        {{"good.exr", "out.exr", "--set", "show=blurry"}, "0 \"normal blur\""},
        {{"--thread", "2", "good.exr", "out.exr"}, "did you mean: --threads?"},
        {{"good.exr"}, "INPUT and OUTPUT"},
        {{"in.#.exr", "out.#.exr", "--frames", "9-2"}, "'9-2' ends before it starts"},
        {{"good.exr", "out.exr", "--frames", "1-2"}, "patterns"},
        {{"in.##.#.exr", "out.#.exr", "--frames", "1"}, "more than one"},
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

TEST_F(BlurmondRender, OverwriteAndLongestNamesAreWritten) {
    write_noise("in.png");
    const std::string original = test::Plugin_Binary::read(folder / "in.png"), longest = std::string(251, 'n') + ".png";
    EXPECT_EQ(run_process({"--overwrite", "--set", "radius=4", "in.png", "in.png"}).code, 0);
    EXPECT_NE(test::Plugin_Binary::read(folder / "in.png"), original);
    EXPECT_EQ(run_process({"in.png", longest}).code, 0);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.png", longest}));
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
        std::string err;
        std::vector<std::string> entries;
    } cases[] = {
        {0, 128 + SIGTERM, "blurmond-render: frame 2: interrupted by SIGTERM\n", {"in.1.ppm", "in.2.ppm", "out.1.tif"}},
        {SIGTERM, 0, "", {"in.1.ppm", "in.2.ppm", "out.1.tif", "out.2.tif"}},
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
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(folder.entries(), c.entries);
    }
}

}  // namespace
}  // namespace nb::tools
