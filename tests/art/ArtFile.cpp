#include "ArtFile.h"

#include <cstdio>

namespace arttest {

bool parseRecords(const std::vector<uint8_t>& bytes, std::vector<Picture>& out, std::string& why) {
    out.clear();
    size_t pos = 0;
    auto int32At = [&bytes](size_t p) {
        return static_cast<int32_t>(
            static_cast<uint32_t>(bytes[p]) | static_cast<uint32_t>(bytes[p + 1]) << 8 |
            static_cast<uint32_t>(bytes[p + 2]) << 16 | static_cast<uint32_t>(bytes[p + 3]) << 24);
    };
    while (pos < bytes.size()) {
        if (bytes.size() - pos < 8) {
            why = "record " + std::to_string(out.size()) + " has a cut header";
            return false;
        }
        Picture p;
        p.width = int32At(pos);
        p.height = int32At(pos + 4);
        pos += 8;
        if (p.width < 0 || p.height < 0 || p.width > 4096 || p.height > 4096) {
            why = "record " + std::to_string(out.size()) + " has size " + std::to_string(p.width) +
                  "x" + std::to_string(p.height);
            return false;
        }
        const size_t n = static_cast<size_t>(p.width) * p.height * 4;
        if (bytes.size() - pos < n) {
            why = "record " + std::to_string(out.size()) + " is cut short";
            return false;
        }
        p.bgra.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                      bytes.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
        out.push_back(std::move(p));
    }
    return true;
}

std::string dataFilePath() {
    return std::string(DUOBRIK_DATA_DIR) + "/BrikResource.dat";
}

std::vector<uint8_t> readDataFile() {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(dataFilePath().c_str(), "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
            bytes.insert(bytes.end(), buf, buf + n);
        }
        std::fclose(f);
    }
    return bytes;
}

std::array<int, 9> joinOffsets(unsigned bits) {
    auto has = [bits](int i) { return ((bits >> i) & 1u) != 0; };
    const bool L = has(0), R = has(1), D = has(2), U = has(3);
    const bool DL = has(4), DR = has(5), UL = has(6), UR = has(7);
    // The rule's table, one row per tile: both sides, vertical only, sideways only, neither.
    auto corner = [](bool v, bool s, bool diag, int inner, int vOnly, int sOnly, int outer) {
        return v && s ? (diag ? 19 : inner) : v ? vOnly : s ? sOnly : outer;
    };
    return {corner(D, L, DL, 1, 14, 13, 0),
            D ? 15 : 2,
            corner(D, R, DR, 4, 16, 13, 3),
            L ? 17 : 5,
            6,
            R ? 17 : 7,
            corner(U, L, UL, 9, 14, 18, 8),
            U ? 15 : 10,
            corner(U, R, UR, 12, 16, 18, 11)};
}

}  // namespace arttest
