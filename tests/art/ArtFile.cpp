#include "ArtFile.h"

#include <fstream>
#include <iterator>

namespace arttest {

bool parseRecords(const std::vector<uint8_t>& bytes, std::vector<Picture>& out) {
    auto int32At = [&bytes](size_t p) {
        return static_cast<int32_t>(bytes[p] | bytes[p + 1] << 8 | bytes[p + 2] << 16 |
                                    static_cast<uint32_t>(bytes[p + 3]) << 24);
    };
    for (size_t pos = 0; pos < bytes.size();) {
        if (bytes.size() - pos < 8) {
            return false;
        }
        Picture p{int32At(pos), int32At(pos + 4), {}};
        const size_t n = static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 4;
        // No picture of the game comes near 4096 pixels; larger means damage.
        if (p.width < 0 || p.height < 0 || p.width > 4096 || p.height > 4096 ||
            bytes.size() - pos - 8 < n) {
            return false;
        }
        p.bgra.assign(bytes.data() + pos + 8, bytes.data() + pos + 8 + n);
        pos += 8 + n;
        out.push_back(std::move(p));
    }
    return true;
}

std::string dataFilePath() {
    return std::string(DUOBRIK_DATA_DIR) + "/BrikResource.dat";
}

std::vector<uint8_t> readDataFile() {
    std::ifstream in(dataFilePath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace arttest
