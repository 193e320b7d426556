// pack_datafile OUTPUT DIR: packs every regular file directly inside DIR into the zip
// archive OUTPUT, in name order and with one fixed time stamp, so the same inputs always
// give the same bytes, whenever the files were made.
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
constexpr time_t kMemberTime = 946684800;  // 2000-01-01 00:00 UTC; zip's DOS times start in 1980
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pack_datafile OUTPUT DIR\n");
        return 2;
    }
    const fs::path output = argv[1];
    const fs::path dir = argv[2];

    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
    if (ec) {
        std::fprintf(stderr, "pack_datafile: %s: %s\n", dir.c_str(), ec.message().c_str());
        return 1;
    }
    std::sort(files.begin(), files.end());

    const fs::path temporary = output.string() + ".tmp";
    fs::remove(temporary, ec);
    int error = 0;
    zip_t* archive = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) {
        std::fprintf(stderr, "pack_datafile: %s: cannot create archive (libzip error %d)\n",
                     temporary.c_str(), error);
        return 1;
    }
    for (const fs::path& file : files) {
        zip_source_t* source = zip_source_file(archive, file.c_str(), 0, -1);
        const std::string name = file.filename().string();
        const zip_int64_t index = source ? zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0 || zip_file_set_mtime(archive, zip_uint64_t(index), kMemberTime, 0) < 0) {
            std::fprintf(stderr, "pack_datafile: %s: %s\n", file.c_str(), zip_strerror(archive));
            if (source && index < 0) zip_source_free(source);
            zip_discard(archive);
            return 1;
        }
    }
    if (zip_close(archive) < 0) {
        std::fprintf(stderr, "pack_datafile: %s: %s\n", temporary.c_str(), zip_strerror(archive));
        zip_discard(archive);
        return 1;
    }
    fs::rename(temporary, output, ec);
    if (ec) {
        std::fprintf(stderr, "pack_datafile: %s: %s\n", output.c_str(), ec.message().c_str());
        return 1;
    }
    std::printf("pack_datafile: %zu files into %s\n", files.size(), output.c_str());
    return 0;
}
