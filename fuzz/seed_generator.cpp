// Writes the seed inputs of the fuzz targets into FOLDER/tga, FOLDER/memory and
// FOLDER/path, made by the tests' own picture writers, plus each bad file of the
// shared folder given second, all behind the settings bytes each target reads first.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/picture/picture_fixtures.h"
#include "tests/texture/tga_writer.h"

namespace {

namespace fs = std::filesystem;
using texture_test::PatternImage;
using texture_test::RawPacketTga;
using texture_test::UncompressedTga;

Bytes Prefixed(std::initializer_list<uint8_t> prefix, const Bytes& body) {
    Bytes out(prefix);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// Index of each kind in the memory target's table of kinds.
enum MemoryKind : uint8_t { Other, Bmp, Jpeg, Tga, Gif, Ico, Emf, Wmf, Three, Unknown };

// Hand-made TGA variants the writer does not offer: an image ID, a colour map ahead of
// true-colour pixels, run packets, a top-left origin.
std::vector<Bytes> TgaVariants() {
    std::vector<Bytes> files;
    files.push_back(UncompressedTga(PatternImage(3, 2, 3)));
    files.push_back(UncompressedTga(PatternImage(4, 4, 4), 0x28));
    files.push_back(UncompressedTga(PatternImage(65, 3, 3)));
    files.push_back(UncompressedTga(PatternImage(1, 1, 4)));
    files.push_back(RawPacketTga(PatternImage(5, 3, 3), 4));
    files.push_back(RawPacketTga(PatternImage(8, 2, 4), 128));

    texture_test::TgaHeader header;
    header.imageType = 10;
    header.width = 6;
    header.height = 2;
    header.depth = 32;
    Bytes runs = texture_test::HeaderBytes(header);
    const uint8_t colour[4] = {10, 200, 30, 255};
    texture_test::AppendRunPacket(runs, colour, 4, 7);
    texture_test::AppendRawPacket(runs, PatternImage(5, 1, 4), 0, 5);
    files.push_back(runs);

    header = texture_test::TgaHeader{};
    header.idLength = 5;
    header.colourMapType = 1;
    header.colourMapLength = 2;
    header.colourMapEntryBits = 24;
    header.width = 2;
    header.height = 2;
    Bytes mapped = texture_test::HeaderBytes(header);
    for (uint8_t b : std::initializer_list<uint8_t>{'h', 'e', 'l', 'l', 'o', 1, 2, 3, 4, 5, 6}) mapped.push_back(b);
    const texture_test::Image image = PatternImage(2, 2, 3);
    for (size_t i = 0; i < image.pixels.size(); i += 3)
        texture_test::AppendFilePixel(mapped, &image.pixels[i], 3);
    files.push_back(mapped);
    return files;
}

std::vector<Bytes> CorruptFiles(const std::string& folder) {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".tga") paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<Bytes> files;
    for (const auto& path : paths) files.push_back(ReadFile(path.string()));
    return files;
}

int written = 0;
bool Put(const std::string& folder, const std::string& name, const Bytes& bytes) {
    ++written;
    return WriteFile(folder + "/" + name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seed_generator FOLDER BAD-FILES-FOLDER\n");
        return 2;
    }
    const std::string out = argv[1];
    for (const char* target : {"tga", "memory", "path"}) fs::create_directories(out + "/" + target);
    const std::vector<Bytes> tgas = TgaVariants();
    const std::vector<Bytes> bad = CorruptFiles(argv[2]);
    bool ok = true;

    // TGA target: settings byte (filter, mipmaps, full resolution, alignments), route byte.
    const uint8_t tgaSettings[] = {0x08, 0x09, 0x0E, 0x03, 0x1A, 0x65, 0xF4, 0x2B};
    for (size_t i = 0; i < tgas.size(); ++i)
        ok &= Put(out + "/tga", "variant-" + std::to_string(i),
                  Prefixed({tgaSettings[i % 8], uint8_t(i & 1)}, tgas[i]));
    for (size_t i = 0; i < bad.size(); ++i)
        ok &= Put(out + "/tga", "bad-" + std::to_string(i), Prefixed({0x08, uint8_t(i & 1)}, bad[i]));

    // Memory target: kind, settings, colour key byte.
    const Image gradient = Gradient(7, 5);
    const Image quadrants = Quadrants(8, 8);
    const std::vector<std::pair<std::string, Bytes>> pictures = {
        {"bmp", Prefixed({Bmp, 0x08, 1}, WriteBmp(gradient))},
        {"bmp-as-other", Prefixed({Other, 0x09, 0}, WriteBmp(quadrants))},
        {"ico", Prefixed({Ico, 0x0A, 1}, WriteIco(gradient))},
        {"gif", Prefixed({Gif, 0x08, 1}, WriteGif({gradient}))},
        {"gif-two-frames", Prefixed({Gif, 0x1B, 2}, WriteGif({quadrants, gradient}))},
        {"jpeg", Prefixed({Jpeg, 0x08, 0}, WriteJpeg(gradient, 90))},
        {"jpeg-progressive", Prefixed({Jpeg, 0x06, 1}, WriteJpeg(quadrants, 75, true))},
        {"png", Prefixed({Unknown, 0x08, 1}, WritePng(gradient))},
        {"wmf", Prefixed({Wmf, 0x08, 1}, WriteWmf(40, 30, 96, {{0, 0, 20, 15, 0xFF0000}, {20, 15, 40, 30, 0x0000FF}}))},
        {"emf", Prefixed({Emf, 0x0A, 0}, WriteEmf(16, 12, {{0, 0, 8, 6, 0x00FF00}}, 3, 2))},
        {"tga", Prefixed({Tga, 0x08, 0}, tgas[0])},
        {"tga-as-three", Prefixed({Three, 0x08, 0}, tgas[4])},
        {"text", Prefixed({Jpeg, 0x08, 0}, Bytes{'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'})},
    };
    for (const auto& [name, bytes] : pictures) ok &= Put(out + "/memory", name, bytes);
    for (size_t i = 0; i < bad.size(); ++i)
        ok &= Put(out + "/memory", "bad-" + std::to_string(i), Prefixed({Tga, 0x08, 0}, bad[i]));

    // Path target: directory choice and "./" steps, then the name.
    const std::vector<std::string> names = {
        "a.tga", "b.TGA", "sub.dir/c", "sub.dir\\c", "back\\slash.tga", "d.bmp", "e.gif",
        "f.jpeg.ico", "g.bmp", "h.wmf", "i.emf", "missing.jpg", "a.tga.longer-than-fifteen",
        "http://example.invalid/e.gif", "../vz/a.tga", "."};
    const uint8_t pathChoices[] = {0, 1, 2, 3, 0x7F, 0xFE};
    for (size_t i = 0; i < names.size(); ++i) {
        Bytes name(names[i].begin(), names[i].end());
        ok &= Put(out + "/path", "name-" + std::to_string(i),
                  Prefixed({pathChoices[i % sizeof pathChoices]}, name));
    }
    if (!ok) {
        std::fprintf(stderr, "fuzz_seed_generator: cannot write into %s\n", out.c_str());
        return 1;
    }
    std::printf("%d seeds written into %s\n", written, out.c_str());
    return 0;
}
