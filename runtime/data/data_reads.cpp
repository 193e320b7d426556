#include "runtime/data/data_reads.h"

namespace glimmerq {

void DataReads::record(int owner, const std::string& name) {
    if (!stamps_.count(name)) stamps_[name] = data_.stamp(name);
    owners_[name].insert(owner);
}

std::vector<std::string> DataReads::changed() const {
    std::vector<std::string> names;
    for (const auto& [name, stamp] : stamps_)
        if (data_.stamp(name) != stamp) names.push_back(name);
    return names;
}

std::set<int> DataReads::ownersOf(const std::vector<std::string>& names) const {
    std::set<int> owners;
    for (const std::string& name : names) {
        const auto it = owners_.find(name);
        if (it == owners_.end()) continue;
        for (int owner : it->second)
            if (owner >= 0) owners.insert(owner);
    }
    return owners;
}

void DataReads::accept(const std::vector<std::string>& names) {
    for (const std::string& name : names) stamps_[name] = data_.stamp(name);
}

}  // namespace glimmerq
