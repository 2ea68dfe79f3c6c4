// Encoding of finished pictures to baseline JPEG and of finished sound to MP3, into memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixels as cairo lays out RGB24 on a little-endian machine: B, G, R, unused, per pixel.
// Answers false and sets `error` when the encoder refuses.
bool EncodeJpeg(const uint8_t* bgrx, int width, int height, int stride, int quality,
                std::vector<uint8_t>& out, std::string& error);

// Interleaved 16-bit stereo at `rate`, constant bit rate `kbps`. The first frame carries
// the encoder's Info tag with the exact length, so players know the duration and delay.
bool EncodeMp3(const std::vector<int16_t>& interleaved, int rate, int kbps,
               std::vector<uint8_t>& out, std::string& error);
