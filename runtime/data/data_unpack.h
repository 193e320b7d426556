// data_unpack.h: a data file's members written out as a data directory, so the show can be
// edited there (an archive never changes).
//
//   const std::string folder = freeUnpackFolder(".", "/usr/share/glimmerq/glimmerQ.dat");
//   if (!unpackData(archive, folder, &error)) ...;   // "./glimmerQ-data", every member in it
//
// The folder is always a new one: freeUnpackFolder names one that does not exist yet
// (glimmerQ-data, glimmerQ-data-2, ...) and unpackData refuses a folder that exists, so no
// file of the maker's is ever written over. A failed unpack removes what it wrote.
#pragma once

#include "runtime/data/data_source.h"

#include <string>

namespace glimmerq {

// "PARENT/STEM-data", or with "-2", "-3", ... the first that does not exist.
std::string freeUnpackFolder(const std::string& parent, const std::string& archivePath);

// Creates folder and writes every member of data into it; false with "FOLDER: why".
bool unpackData(const DataSource& data, const std::string& folder, std::string* error);

}  // namespace glimmerq
