// Loading a plug-in binary: discovery through the property list beside it, and what the binary exports
// and needs.
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

}  // namespace
}  // namespace nb::host
