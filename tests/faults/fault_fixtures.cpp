// fault-fixtures: writes the files the fault runs plant: small good pictures of the kinds
// texdump is asked to load, a TGA header that claims 65535 x 65535 pixels, and random
// bytes (the same ones on every run).
//   fault-fixtures FOLDER
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/picture/picture_fixtures.h"

namespace {

// An uncompressed 24-bit TGA (image type 2) of 4 x 2 pixels, rows bottom first.
Bytes SmallTga() {
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 2, 0, 24, 0};
    for (int i = 0; i < 4 * 2; ++i) {
        tga.push_back(uint8_t(40 * i));
        tga.push_back(uint8_t(200 - 20 * i));
        tga.push_back(uint8_t(i * i));
    }
    return tga;
}

// A header of image type 2, 32 bits per pixel, 65535 x 65535, followed by a few pixels
// only: a reader that trusts the header asks for 16 GiB.
Bytes HugeTgaHeader() {
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 32, 8};
    for (int i = 0; i < 64; ++i) tga.push_back(uint8_t(i));
    return tga;
}

Bytes RandomBytes(size_t count, uint32_t seed) {
    Bytes bytes(count);
    for (uint8_t& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = uint8_t(seed >> 24);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fault-fixtures FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Image image = Quadrants(8, 8);
    const struct {
        const char* name;
        Bytes bytes;
    } files[] = {
        {"picture.bmp", WriteBmp(image)},
        {"picture.ico", WriteIco(image)},
        {"picture.jpg", WriteJpeg(image, 90)},
        {"picture.tga", SmallTga()},
        {"huge-header.tga", HugeTgaHeader()},
        {"random.bin", RandomBytes(40000, 20261211u)},
    };
    for (const auto& file : files)
        if (!WriteFile(folder + "/" + file.name, file.bytes)) {
            std::fprintf(stderr, "fault-fixtures: cannot write %s/%s\n", folder.c_str(), file.name);
            return 1;
        }
    return 0;
}
