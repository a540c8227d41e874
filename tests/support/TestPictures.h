#pragma once
// Picture files written record by record, for the loader and drawing tests.

#include <cstdint>
#include <vector>

// One record of a picture file.
struct TestPicture {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> bgra;  // width * height * 4 bytes, or fewer for a short record
};
// Writes a picture file with the given records.
void writePictureFile(const char* path, const std::vector<TestPicture>& pictures);
// A solid picture of one BGRA colour.
TestPicture solidPicture(int32_t width, int32_t height, uint8_t b, uint8_t g, uint8_t r,
                         uint8_t a = 255);
