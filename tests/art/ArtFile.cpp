#include "ArtFile.h"

#include <cstdio>

#include "catalogue/PictureFile.h"

namespace arttest {

std::string dataFilePath() {
    return std::string(DUOBRIK_DATA_DIR) + "/BrikResource.dat";
}

bool readDataFile(std::vector<Picture>& out) {
    std::FILE* file = catalogue::openDataFile(dataFilePath().c_str());
    if (file == nullptr) {
        return false;
    }
    catalogue::picturefile::Reader reader(file);
    Picture p;
    bool whole = true;
    while (whole && reader.next(p.width, p.height)) {
        p.bgra.assign(static_cast<size_t>(p.width) * p.height * 4, 0);
        whole = reader.readRows(p.bgra.data(), static_cast<size_t>(p.width) * 4);
        if (whole) {
            out.push_back(p);
        }
    }
    // The reader stops at the end of the file, or at damage before it.
    whole = whole && std::fgetc(file) == EOF;
    std::fclose(file);
    return whole;
}

}  // namespace arttest
