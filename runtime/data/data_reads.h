// data_reads.h: which members each effect (and the runtime) read, as they were then, so that
// reloading a data directory sets up again only the effects whose files changed.
//
//   DataReads reads(data);
//   reads.record(effectIndex, "block.ms3d");     // while that effect's Setup runs
//   auto changed = reads.changed();              // names whose size or time differ now
//   for (int owner : reads.ownersOf(changed)) ...set it up again...
//   reads.accept(changed);                       // the new versions are the ones in use
#pragma once

#include "runtime/data/data_source.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace glimmerq {

class DataReads {
public:
    explicit DataReads(const DataSource& data) : data_(data) {}

    // Owner: an effect's index, or any negative number for the runtime's own reads.
    void record(int owner, const std::string& name);
    std::vector<std::string> changed() const;
    std::set<int> ownersOf(const std::vector<std::string>& names) const;
    void accept(const std::vector<std::string>& names);

private:
    const DataSource& data_;
    std::map<std::string, std::string> stamps_;  // name -> stamp when read
    std::map<std::string, std::set<int>> owners_;
};

}  // namespace glimmerq
