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

std::array<int, 9> joinOffsets(unsigned bits) {
    auto has = [bits](int i) { return ((bits >> i) & 1u) != 0; };
    const bool L = has(0), R = has(1), D = has(2), U = has(3);
    const bool DL = has(4), DR = has(5), UL = has(6), UR = has(7);
    // The rule's table, one row per tile: both sides, vertical only, sideways only, neither.
    auto corner = [](bool v, bool s, bool diag, int inner, int vOnly, int sOnly, int outer) {
        return v && s ? (diag ? 19 : inner) : v ? vOnly : s ? sOnly : outer;
    };
    // clang-format off
    return {corner(D, L, DL, 1, 14, 13, 0), D ? 15 : 2,  corner(D, R, DR, 4, 16, 13, 3),
            L ? 17 : 5,                     6,           R ? 17 : 7,
            corner(U, L, UL, 9, 14, 18, 8), U ? 15 : 10, corner(U, R, UR, 12, 16, 18, 11)};
    // clang-format on
}

}  // namespace arttest
