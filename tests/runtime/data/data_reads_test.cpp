// What a reload sets up again: the owners of the files that changed since they were read.
#include "runtime/data/data_reads.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace glimmerq;

TEST(DataReads, ChangedFilesNameTheirOwnersUntilTheNewVersionsAreAccepted) {
    const fs::path dir = glimmerq::testing::scratchFolder("data-reads");
    for (const char* name : {"block.ms3d", "rock.jpg", "demoflow"}) std::ofstream(dir / name) << name;
    std::string error;
    const auto data = openDataSource(dir.string(), &error);
    ASSERT_TRUE(data) << error;
    ASSERT_TRUE(data->reloadable());

    DataReads reads(*data);
    reads.record(3, "block.ms3d");
    reads.record(4, "block.ms3d");  // twins read the same model
    reads.record(7, "rock.jpg");
    reads.record(-1, "demoflow");   // the runtime's own
    reads.record(5, "absent.jpg");
    EXPECT_TRUE(reads.changed().empty());

    std::ofstream(dir / "block.ms3d") << "a longer model than before";
    fs::last_write_time(dir / "demoflow", fs::last_write_time(dir / "demoflow") + std::chrono::seconds(5));
    const auto changed = reads.changed();
    EXPECT_EQ(changed, (std::vector<std::string>{"block.ms3d", "demoflow"}));
    EXPECT_EQ(reads.ownersOf(changed), (std::set<int>{3, 4}));
    reads.accept(changed);
    EXPECT_TRUE(reads.changed().empty());

    // A file that appears where there was none is a change too.
    std::ofstream(dir / "absent.jpg") << "now here";
    EXPECT_EQ(reads.changed(), (std::vector<std::string>{"absent.jpg"}));
    fs::remove_all(dir);
}

TEST(DataReads, AnArchiveNeverChanges) {
    MemoryDataSource memory;
    memory.put("demoflow", std::string("0 end\n"));
    DataReads reads(memory);
    reads.record(0, "demoflow");
    memory.put("demoflow", std::string("1 end\n"));
    EXPECT_FALSE(memory.reloadable());
    EXPECT_TRUE(reads.changed().empty());
}
