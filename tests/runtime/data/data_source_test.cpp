// The data file: the same names from a zip archive or a directory, and names that must not escape.
#include "runtime/data/data_source.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using glimmerq::isSafeMemberName;
using glimmerq::openDataSource;

namespace {

class DataSourceTest : public ::testing::Test {
protected:
    fs::path root;

    void SetUp() override {
        root = glimmerq::testing::scratchFolder("data");
        fs::create_directories(root / "dir" / "sub");
        write(root / "dir" / "demoflow", "0 end\n");
        write(root / "dir" / "sub" / "inner.txt", "inner");
        write(root / "secret.txt", "outside");

        int error = 0;
        zip_t* zip = zip_open((root / "demo.zip").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_NE(zip, nullptr);
        static const char kScript[] = "0 end\n";
        static const char kEmpty[] = "";
        zip_file_add(zip, "demoflow", zip_source_buffer(zip, kScript, sizeof kScript - 1, 0), 0);
        zip_file_add(zip, "empty.bin", zip_source_buffer(zip, kEmpty, 0, 0), 0);
        zip_file_add(zip, "../secret.txt", zip_source_buffer(zip, kScript, sizeof kScript - 1, 0), 0);
        ASSERT_EQ(zip_close(zip), 0);

        zip = zip_open((root / "locked.zip").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_NE(zip, nullptr);
        const zip_int64_t locked = zip_file_add(zip, "demoflow", zip_source_buffer(zip, kScript, sizeof kScript - 1, 0), 0);
        ASSERT_EQ(zip_file_set_encryption(zip, zip_uint64_t(locked), ZIP_EM_AES_256, "secret"), 0);
        zip_file_add(zip, "open.txt", zip_source_buffer(zip, kScript, sizeof kScript - 1, 0), 0);
        ASSERT_EQ(zip_close(zip), 0);
    }
    void TearDown() override { fs::remove_all(root); }

    static void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
};

}  // namespace

// An encrypted member is there but cannot be read: it says so instead of looking absent.
TEST_F(DataSourceTest, SaysWhyAMemberThatIsThereCannotBeRead) {
    std::string error;
    auto locked = openDataSource((root / "locked.zip").string(), &error);
    ASSERT_TRUE(locked) << error;
    EXPECT_FALSE(locked->read("demoflow"));
    EXPECT_EQ(locked->unreadable("demoflow"), "is encrypted");
    EXPECT_TRUE(locked->read("open.txt"));
    EXPECT_EQ(locked->unreadable("open.txt"), "");
    EXPECT_EQ(locked->unreadable("missing.jpg"), "");
    EXPECT_EQ(locked->unreadable("../secret.txt"), "");
    auto dir = openDataSource((root / "dir").string(), &error);
    EXPECT_EQ(dir->unreadable("missing.jpg"), "");
}

TEST_F(DataSourceTest, ReadsWholeMembersFromAnArchiveAndADirectoryAlike) {
    std::string error;
    for (const fs::path& path : {root / "demo.zip", root / "dir"}) {
        auto data = openDataSource(path.string(), &error);
        ASSERT_TRUE(data) << error;
        const auto script = data->read("demoflow");
        ASSERT_TRUE(script) << path;
        EXPECT_EQ(std::string(script->begin(), script->end()), "0 end\n");
        EXPECT_FALSE(data->read("missing.jpg")) << path;
    }
    auto zip = openDataSource((root / "demo.zip").string(), &error);
    const auto empty = zip->read("empty.bin");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST_F(DataSourceTest, HostileNamesNeverReachFilesOutsideTheData) {
    std::string error;
    for (const fs::path& path : {root / "demo.zip", root / "dir"}) {
        auto data = openDataSource(path.string(), &error);
        ASSERT_TRUE(data);
        for (const char* name : {"../secret.txt", "sub/../../secret.txt", "/etc/passwd", "..\\secret.txt",
                                 "sub\\inner.txt", "", ".", "..", "sub/", "./demoflow"})
            EXPECT_FALSE(data->read(name)) << path << " gave " << name;
    }
    // A plain sub-path inside a directory stays allowed.
    auto dir = openDataSource((root / "dir").string(), &error);
    EXPECT_TRUE(dir->read("sub/inner.txt"));
}

TEST_F(DataSourceTest, MissingOrBrokenDataFilesGiveOneLineReasons) {
    std::string error;
    EXPECT_FALSE(openDataSource((root / "nothing.dat").string(), &error));
    EXPECT_NE(error.find("nothing.dat: no such file"), std::string::npos) << error;
    write(root / "broken.dat", "this is not a zip archive");
    EXPECT_FALSE(openDataSource((root / "broken.dat").string(), &error));
    EXPECT_NE(error.find("broken.dat: not a readable data file"), std::string::npos) << error;
}

TEST(MemberNames, SafeNamesAreFlatOrDescendingPaths) {
    EXPECT_TRUE(isSafeMemberName("block.ms3d"));
    EXPECT_TRUE(isSafeMemberName("textures/jeep1.jpg"));
    EXPECT_TRUE(isSafeMemberName("..hidden"));
    EXPECT_FALSE(isSafeMemberName("a/../b"));
    EXPECT_FALSE(isSafeMemberName("a//b"));
    EXPECT_FALSE(isSafeMemberName(std::string("a\0b", 3)));
}
