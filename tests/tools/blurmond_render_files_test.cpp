// blurmond-render run as its own process, as a user meets it: damaged inputs, output names and
// signals, with standard error as a whole (the image libraries print there too, not only the command).
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/plugin_binary.h"
#include "tests/support/temp_folder.h"
#include "tools/atomic_file.h"
#include "tools/image_file.h"
#include "tools/interrupt_signals.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

namespace fs = std::filesystem;

struct Finished {
    int status = 0;  // as a shell reports it: the exit code, or 128 plus the signal that ended the process
    std::string err;
};

class BlurmondRenderFiles : public testing::Test {
protected:
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
    Finished finish(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status),
                test::Plugin_Binary::read(logs / "err.txt")};
    }
    Finished run(const std::vector<std::string>& args) { return finish(start(args)); }

    void write_bytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    // Noise, so that no format compresses the pixels away and a cut always lands in pixel data.
    void write_noise(const std::string& name) const {
        Image_Rgba image(128, 96);
        uint32_t state = 12345;
        for (float& value : image.rgba)
            value = static_cast<float>((state = state * 1664525u + 1013904223u) >> 8) / 16777216.0f;
        write_image_file(folder / name, image, 8);
    }

    test::Plugin_Binary binary{false};
    test::Temp_Folder folder, logs;
};

TEST_F(BlurmondRenderFiles, FailuresAreOneLineNamingTheCauseAndLeaveNothing) {
    for (const std::string ext : {"png", "jpg", "tif", "exr"}) {
        write_noise("good." + ext);
        const std::string bytes = test::Plugin_Binary::read(folder / ("good." + ext));
        write_bytes("cut." + ext, bytes.substr(0, bytes.size() / 2));
    }
    // A header that promises more pixels than any address space holds, and nothing after it.
    write_bytes("huge.ppm", "P6\n4000000 4000000\n255\n0123456789");
    const std::vector<std::string> before = folder.entries();

    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"cut.png", "out.png"}, "cannot read 'cut.png'"},
        {{"cut.jpg", "out.png"}, "cannot read 'cut.jpg'"},
        {{"cut.tif", "out.png"}, "cannot read 'cut.tif'"},
        {{"cut.exr", "out.png"}, "cannot read 'cut.exr'"},
        {{"huge.ppm", "out.png"}, "cannot read 'huge.ppm': out of memory"},
        {{"good.png", "./good.png"}, "'./good.png' is the input file itself"},
    };
    for (const auto& c : cases) {
        const Finished r = run(c.args);
        EXPECT_EQ(r.status, 1) << c.message << ": " << r.err;
        EXPECT_EQ(r.err.rfind("blurmond-render: " + c.message, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(folder.entries(), before) << c.message;
    }
}

TEST_F(BlurmondRenderFiles, OverwriteAndLongestNamesAreWritten) {
    write_noise("in.png");
    const std::string original = test::Plugin_Binary::read(folder / "in.png");
    const std::string longest = std::string(255 - 4, 'n') + ".png";

    const Finished overwrite = run({"--overwrite", "--set", "radius=4", "in.png", "in.png"});
    EXPECT_EQ(overwrite.status, 0) << overwrite.err;
    EXPECT_NE(test::Plugin_Binary::read(folder / "in.png"), original);
    const Finished long_name = run({"in.png", longest});
    EXPECT_EQ(long_name.status, 0) << long_name.err;
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.png", longest}));
}

// The second frame takes seconds; the signal comes as soon as the first is written.
TEST_F(BlurmondRenderFiles, SignalStopsTheSequenceKeepingFinishedFramesOnly) {
    write_bytes("in.1.ppm", "P6\n2 2\n255\n0123456789ab");
    const int side = 1500;
    std::string large = "P6\n" + std::to_string(side) + " " + std::to_string(side) + "\n255\n";
    for (int i = 0; i < side * side * 3; ++i) large += static_cast<char>(i * 7);
    write_bytes("in.2.ppm", large);

    const struct {
        int ignored;  // before the command starts, as nohup ignores SIGHUP: the render goes on
        int status;
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
        const Finished r = finish(pid);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(folder.entries(), c.entries);
    }
}

// A signal that comes while the file is written, after the effect's last abort query, drops the file too.
TEST(InterruptSignals, FileWrittenAfterTheSignalIsDropped) {
    test::Temp_Folder folder;
    const Interrupt_Signals interrupts;
    try {
        write_file_atomically(folder / "out.txt", [](const fs::path& temporary) {
            std::ofstream(temporary) << "complete";
            ::raise(SIGTERM);
        });
        ADD_FAILURE() << "an interrupted write was committed";
    } catch (const Tool_Error& error) {
        EXPECT_STREQ(error.what(), "interrupted by SIGTERM");
    }
    EXPECT_TRUE(folder.entries().empty());
}

}  // namespace
}  // namespace nb::tools
