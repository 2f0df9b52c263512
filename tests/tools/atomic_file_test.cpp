// Tests that a file written through a temporary name appears whole or not at all.
#include "tools/atomic_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

using test::Temp_Folder;
using Strings = std::vector<std::string>;

std::string read_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_text(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

TEST(AtomicFile, WritesUnderAHiddenNameWithTheSameExtensionThenRenames) {
    Temp_Folder folder;
    std::filesystem::path seen;
    write_file_atomically(folder / "out.exr", [&](const std::filesystem::path& temporary) {
        seen = temporary;
        EXPECT_FALSE(std::filesystem::exists(folder / "out.exr")) << "the target appeared before the write ended";
        write_text(temporary, "whole");
    });
    EXPECT_EQ(seen.parent_path(), folder.path());
    EXPECT_EQ(seen.extension(), ".exr");
    EXPECT_EQ(seen.filename().string().front(), '.');
    EXPECT_EQ(folder.entries(), Strings{"out.exr"});
    EXPECT_EQ(read_text(folder / "out.exr"), "whole");
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
    Temp_Folder folder;
    write_text(folder / "out.png", "old");
    const auto half_then_fail = [](const std::filesystem::path& temporary) {
        write_text(temporary, "ha");
        throw std::runtime_error("disk gone");
    };
    EXPECT_THROW(write_file_atomically(folder / "out.png", half_then_fail), std::runtime_error);
    EXPECT_EQ(folder.entries(), Strings{"out.png"});
    EXPECT_EQ(read_text(folder / "out.png"), "old");
}

TEST(AtomicFile, FailedRenameRemovesTheTemporary) {
    Temp_Folder folder;
    // A non-empty folder in the target's place makes the final rename fail after the write succeeded.
    std::filesystem::create_directory(folder / "out.tif");
    write_text(folder / "out.tif" / "keep", "x");
    const auto write = [](const std::filesystem::path& temporary) { write_text(temporary, "new"); };
    try {
        write_file_atomically(folder / "out.tif", write);
        FAIL() << "renaming onto a folder succeeded";
    } catch (const Tool_Error& e) {
        EXPECT_NE(std::string(e.what()).find("cannot write '"), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
    }
    EXPECT_EQ(folder.entries(), Strings{"out.tif"});
}

TEST(AtomicFile, MissingFolderIsReportedBeforeWriting) {
    Temp_Folder folder;
    bool called = false;
    const auto write = [&](const std::filesystem::path&) { called = true; };
    try {
        write_file_atomically(folder / "nope" / "out.exr", write);
        FAIL() << "no error for a missing folder";
    } catch (const Tool_Error& e) {
        EXPECT_NE(std::string(e.what()).find("does not exist"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace nb::tools
