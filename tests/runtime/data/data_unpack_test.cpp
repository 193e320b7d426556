// Unpacking the data file into a folder to edit it: every member byte for byte, in a new
// folder only, named so that it never meets one that is there.
#include "runtime/data/data_unpack.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace glimmerq;

TEST(DataUnpack, EveryMemberOfTheDataFileLandsInTheFolderByteForByte) {
    const fs::path root = glimmerq::testing::scratchFolder("unpack");
    std::string error;
    const auto archive = openDataSource(GLIMMERQ_DATAFILE, &error);
    ASSERT_TRUE(archive) << error;
    const std::string folder = freeUnpackFolder(root.string(), GLIMMERQ_DATAFILE);
    EXPECT_EQ(fs::path(folder).filename(), "glimmerQ-data");
    ASSERT_TRUE(unpackData(*archive, folder, &error)) << error;

    const auto unpacked = openDataSource(folder, &error);
    ASSERT_TRUE(unpacked) << error;
    ASSERT_FALSE(archive->members().empty());
    EXPECT_EQ(unpacked->members(), archive->members());
    for (const std::string& name : archive->members()) EXPECT_EQ(unpacked->read(name), archive->read(name)) << name;
    EXPECT_TRUE(unpacked->reloadable());
}

TEST(DataUnpack, NeverWritesIntoAFolderThatIsThere) {
    const fs::path root = glimmerq::testing::scratchFolder("unpack-again");
    MemoryDataSource data;
    data.put("demoflow", std::string("0 end\n"));
    data.put("sub/notes.txt", std::string("notes"));

    // The names taken one after the other as the folders appear.
    const char* expected[] = {"show-data", "show-data-2", "show-data-3"};
    for (const char* name : expected) {
        const std::string folder = freeUnpackFolder(root.string(), "/somewhere/show.dat");
        EXPECT_EQ(fs::path(folder).filename(), name);
        std::string error;
        ASSERT_TRUE(unpackData(data, folder, &error)) << error;
        EXPECT_TRUE(fs::exists(fs::path(folder) / "sub" / "notes.txt"));
    }

    // Asked for one that is there, it refuses and leaves the maker's file as it was.
    std::ofstream(root / "show-data" / "demoflow", std::ios::binary) << "mine\n";
    std::string error;
    EXPECT_FALSE(unpackData(data, (root / "show-data").string(), &error));
    EXPECT_NE(error.find("show-data"), std::string::npos) << error;
    std::ifstream in(root / "show-data" / "demoflow", std::ios::binary);
    std::string kept((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(kept, "mine\n");
}
