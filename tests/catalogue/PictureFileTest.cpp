// Data files: only regular files are opened, and a picture file cannot make
// the game hold more than its budget, however large its pictures claim to be.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/DataFile.h"
#include "catalogue/PictureFile.h"

namespace {

using namespace catalogue::picturefile;

std::string scratch(const char* name) {
    return "/tmp/duobrik_" + std::to_string(getpid()) + "_" + name;
}

// A FIFO would block open() for ever; a folder or a device is no data file.
TEST(DataFile, OnlyRegularFilesOpen) {
    const std::string fifo = scratch("fifo"), folder = scratch("folder"), plain = scratch("plain"),
                      link = scratch("link");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    std::fclose(std::fopen(plain.c_str(), "wb"));
    ASSERT_EQ(symlink(plain.c_str(), link.c_str()), 0);
    const struct {
        std::string path;
        bool opens;
    } cases[] = {{fifo, false}, {folder, false}, {"/dev/zero", false}, {scratch("missing"), false},
                 {plain, true}, {link, true}};
    for (const auto& c : cases) {
        std::FILE* f = catalogue::openDataFile(c.path.c_str());
        EXPECT_EQ(f != nullptr, c.opens) << c.path;
        if (f != nullptr) {
            std::fclose(f);
        }
    }
    for (const std::string& p : {fifo, plain, link}) {
        std::remove(p.c_str());
    }
    rmdir(folder.c_str());
}

// Records of `side` x `side` claimed in a file that holds only their headers
// (the pixels are a hole): how many the reader takes before the budget stops it.
int recordsTaken(int32_t side, int claimed) {
    const std::string path = scratch("sparse.dat");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const long pixels = static_cast<long>(side) * side * 4;
    for (int i = 0; i < claimed; ++i) {
        const int32_t size[2] = {side, side};
        std::fwrite(size, 4, 2, f);
        std::fseek(f, pixels, SEEK_CUR);
    }
    std::fwrite("", 1, 1, f);  // the file's length covers the last record
    std::fclose(f);
    f = std::fopen(path.c_str(), "rb");
    Reader reader(f);
    int32_t w = 0, h = 0;
    while (reader.next(w, h) && reader.skipRows()) {
    }
    const int taken = reader.count();
    std::fclose(f);
    std::remove(path.c_str());
    return taken;
}

TEST(PictureFile, PicturesTogetherStayWithinTheBudget) {
    // 2049 pads to 4096: 64 MiB each, so four fit in 256 MiB.
    EXPECT_EQ(recordsTaken(2049, 20), 4);
    // 4 MiB each: 64 fit.
    EXPECT_EQ(recordsTaken(1024, 300), 64);
    // The game's own sizes are far below it; the table's 300 is the limit.
    EXPECT_EQ(recordsTaken(16, 301), kMostRecords);
}

}  // namespace
