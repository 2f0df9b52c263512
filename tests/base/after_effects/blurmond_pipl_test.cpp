// The effect's property list and flags, and the file shipped beside the plug-in binary.
#include "plugin/blurmond_pipl.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "effect/blurmond_description.h"
#include "host/pipl_reader.h"
#include "tests/support/plugin_binary.h"

namespace nb {
namespace {

TEST(BlurmondPipl, VersionWordPacksTheDescriptionAsTheHostDoes) {
    // 1.5.5 release, worked out by hand: 1 << 19 | 5 << 15 | 5 << 11 | 3 << 9 = 0x000aae00 (the discovery
    // below reads it). Version 9: high bits 9 >> 3 = 1 at bit 26, low bits 1 at bit 19.
    Plugin_Description d = blurmond_description();
    std::tie(d.version_major, d.stage) = std::tuple(9u, Release_Stage::beta);
    EXPECT_EQ(pf_version(d), (1u << 26) | (1u << 19) | (5u << 15) | (5u << 11) | (2u << 9));
    EXPECT_EQ(pf_stage(static_cast<Release_Stage>(7)), PF_Stage_RELEASE) << "an unknown stage ships as a release";
}

TEST(BlurmondPipl, HostDiscoversTheEffectFromIt) {
    const host::Effect_Discovery effect = host::discover_effect(host::Pipl(blurmond_pipl_bytes()));
    // Flags2: query dynamic flags 1, group start collapsed 8, reveals zero alpha 0x80, smart render 0x400,
    // float colour aware 0x1000, threaded rendering 0x8000000.
    EXPECT_EQ(std::tuple(effect.name, effect.match_name, effect.entry_point, effect.pipl_version, effect.api_version,
                         effect.effect_version, effect.out_flags, effect.out_flags2),
              std::tuple("NB Blurmond", "VUDI Blurmond", "EntryPointFunc", std::array<uint16_t, 2>{2, 0},
                         std::array<uint16_t, 2>{13, 28}, 0x000aae00u, 0x06000004u, 0x08001489u));
}

TEST(BlurmondPipl, FileBesideThePluginHoldsTheSameBytes) {
    std::ifstream in(test::Plugin_Binary::built_library().replace_extension(".pipl"), std::ios::binary);
    ASSERT_TRUE(in) << "no property list beside the plug-in";
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), blurmond_pipl_bytes());
}

}  // namespace
}  // namespace nb
