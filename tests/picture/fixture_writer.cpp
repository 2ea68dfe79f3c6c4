// Writes the pictures that the picture tests carry as program resources into the folder
// given as the only argument.
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <string>

#include "tests/picture/picture_fixtures.h"
#include "tests/picture/resource_pictures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_fixture_writer FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return 1;
    const char* text = "These bytes are no picture.\n";
    bool ok = WriteFile(folder + "/keyed.jpg", WriteJpeg(KeyedPicture(), 100)) &&
              WriteFile(folder + "/keyed.gif", WriteGif({KeyedPicture()})) &&
              WriteFile(folder + "/not-a-picture.txt", Bytes(text, text + std::strlen(text)));
    return ok ? 0 : 1;
}
