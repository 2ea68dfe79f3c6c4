// The presentation's 29 default pictures, drawn with cairo: a little circus story in Vellmarsh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

// One finished picture: its file name in the data folder and its pixels as B, G, R,
// unused bytes, `stride` bytes to a row, top row first.
struct ContentPicture {
    std::string fileName;
    std::vector<uint8_t> bgrx;
    int stride = 0;
};

// The number of pictures and their file names, in the catalogue's load order.
int ContentPictureCount();
const char* ContentPictureName(int index);

// Draws picture `index` (0 to ContentPictureCount() - 1). Answers false if cairo fails.
bool DrawContentPicture(int index, ContentPicture& picture);

// Lets cairo drop its font caches once every picture is drawn, so a leak checker sees
// nothing left over at exit.
void ReleasePictureCaches();
