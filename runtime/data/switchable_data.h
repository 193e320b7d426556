// switchable_data.h: the run's data, which may move from an archive to a directory holding the
// same files while the show plays (the maker unpacked it to edit it).
//
//   SwitchableData data(openDataSource("glimmerQ.dat", &error));
//   host.serve(&data, ...);              // everyone holds this one
//   data.switchTo(openDataSource("glimmerQ-data", &error));   // from now on reads come from there
//
// Everything is passed on to the source it holds. Switching is only for a source with the
// same members: nothing that was read is read again.
#pragma once

#include "runtime/data/data_source.h"

#include <memory>

namespace glimmerq {

class SwitchableData : public DataSource {
public:
    explicit SwitchableData(std::unique_ptr<DataSource> source) : source_(std::move(source)) {}
    void switchTo(std::unique_ptr<DataSource> source) { source_ = std::move(source); }

    std::optional<Bytes> read(const std::string& name) const override { return source_->read(name); }
    std::string origin() const override { return source_->origin(); }
    std::string stamp(const std::string& name) const override { return source_->stamp(name); }
    bool reloadable() const override { return source_->reloadable(); }
    std::vector<std::string> members() const override { return source_->members(); }
    std::string unreadable(const std::string& name) const override { return source_->unreadable(name); }

private:
    std::unique_ptr<DataSource> source_;
};

}  // namespace glimmerq
