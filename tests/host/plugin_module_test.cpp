// Loading a plug-in binary: discovery through the property list beside it, what the binary exports and
// needs, and what the plug-in throws.
#include "host/plugin_module.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/blurmond_pipl.h"
#include "host/effect_session.h"
#include "tests/support/plugin_binary.h"
#include "tests/support/temp_folder.h"

namespace nb::host {
namespace {

// The lines a shell command prints.
std::vector<std::string> lines_of(const std::string& command) {
    std::vector<std::string> lines;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        for (char buffer[512]; fgets(buffer, sizeof buffer, pipe) != nullptr;) lines.emplace_back(buffer, std::strcspn(buffer, "\n"));
        pclose(pipe);
    }
    return lines;
}

TEST(PluginModule, TheBinaryExportsItsEntryPointAloneAndNeedsOnlyTheStandardLibraries) {
    const std::string library = "'" + test::Plugin_Binary::built_library().string() + "'";
    EXPECT_EQ(lines_of("nm -D --defined-only " + library + " | awk 'NF > 2 {print $3}'"), std::vector<std::string>{"EntryPointFunc"});
    const std::set<std::string> allowed{"[libstdc++.so.6]", "[libm.so.6]", "[libgcc_s.so.1]", "[libc.so.6]"};
    for (const std::string& needed : lines_of("readelf -d " + library + " | awk '/NEEDED/ {print $5}'")) {
        const bool sanitizer = needed.find("san") != std::string::npos;
        EXPECT_TRUE(allowed.count(needed) || (NB_PLUGIN_SANITIZED && sanitizer)) << "the plug-in needs " << needed;
    }
}

TEST(PluginModule, CallsTheEntryPointThePropertyListBesideTheBinaryNames) {
    test::Temp_Folder folder;
    test::Plugin_Binary binary;
    const auto copy = [&](const std::string& stem, const std::vector<uint8_t>& pipl, bool with_binary = true) {
        if (with_binary) std::filesystem::copy_file(binary.library(), folder / (stem + ".so"));
        std::ofstream(folder / (stem + ".pipl"), std::ios::binary)
            .write(reinterpret_cast<const char*>(pipl.data()), static_cast<std::streamsize>(pipl.size()));
        return folder / (stem + ".so");
    };
    Pipl_Description other_entry = blurmond_pipl_description();
    other_entry.entry_point = "EffectMain";
    EXPECT_NO_THROW(Plugin_Module(copy("good", blurmond_pipl_bytes())));
    EXPECT_THROW(Plugin_Module(copy("other_entry", pipl_bytes(other_entry))), std::runtime_error);
    EXPECT_THROW(Plugin_Module(copy("damaged", {1, 0, 0})), std::runtime_error);
    EXPECT_THROW(Plugin_Module(copy("no_binary", blurmond_pipl_bytes(), false)), std::runtime_error);
    std::filesystem::copy_file(binary.library(), folder / "no_list.so");
    EXPECT_THROW(Plugin_Module(folder / "no_list.so"), std::runtime_error);
}

// Premiere never hands over ARGB 16-bit worlds, so the plug-in throws past its guard. The exception object
// lives in the plug-in's code: caught only after the library is closed, it used to crash the host.
TEST(PluginModule, WhatThePluginThrowsIsStillReadableAfterTheLibraryIsClosed) {
    test::Plugin_Binary binary(false);
    std::string message;
    try {
        Session_Settings settings;
        settings.effect.appl_id = app_id_premiere;
        Effect_Session session(binary.library(), settings);
        ASSERT_EQ(session.global_setup(), PF_Err_NONE);
        ASSERT_EQ(session.params_setup(), PF_Err_NONE);
        const World_Format format{Pixel_Depth::bits_16, Channel_Order::argb, false};
        Host_World input(4, 4, format), output(4, 4, format);
        session.render(Frame_Layers{&input, &output, {}}, Render_Path::non_smart);
    } catch (const Plugin_Crash& crash) {
        message = crash.what();
    }
    EXPECT_NE(message.find("found something that needs implementation"), std::string::npos) << message;
}

}  // namespace
}  // namespace nb::host
