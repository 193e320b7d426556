// show_data.h: finding the data and reading its script, for every mode that needs them
// (playing, drawing the chart, reloading).
//
//   const std::string path = findDataPath(options.dataPath, "glimmerQ.dat", &error);
//   auto data = openDataSource(path, &error);                    // data_source.h
//   auto script = readShowScript(*data, &reads, "demoflow", effectNames, &error);
//
// Not here: what a mode does with them.
#pragma once

#include "runtime/data/data_reads.h"
#include "runtime/data/data_source.h"
#include "runtime/script/script.h"

#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

// --data when given, else the data file beside the program (a build tree), then where
// `cmake --install` puts it relative to the program (PREFIX/bin -> PREFIX/share/glimmerq),
// then the configured install folder. Empty, with *error saying where it looked, when none is
// there.
std::string findDataPath(const std::string& dataOption, const std::string& fileName, std::string* error);

// The script inside the data, named in messages as the path a person would open
// ("mydata/demoflow:12:3: ..."). With reads, the script and every music track it names are
// recorded as the runtime's reads, so that a change to any of them asks for a reload.
std::optional<Script> readShowScript(const DataSource& data, DataReads* reads, const std::string& scriptName,
                                     const std::vector<std::string>& effectNames, std::string* error);

}  // namespace glimmerq
