// find-tone FILE RATE FREQUENCY: looks for a sine tone in raw signed 16-bit little-endian
// stereo samples (what SDL's disk audio driver writes). Prints how many seconds of the
// file carry the tone and exits 0 when at least one second does, 1 otherwise.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: find-tone FILE RATE FREQUENCY\n");
        return 2;
    }
    const int rate = atoi(argv[2]);
    const double frequency = atof(argv[3]);
    if (rate <= 0 || frequency <= 0 || frequency >= rate / 2.0) {
        fprintf(stderr, "find-tone: rate or frequency out of range\n");
        return 2;
    }
    FILE* in = fopen(argv[1], "rb");
    if (!in) {
        fprintf(stderr, "find-tone: cannot read %s\n", argv[1]);
        return 1;
    }
    // Blocks of a tenth of a second, left channel.
    const size_t block = static_cast<size_t>(rate / 10);
    std::vector<int16_t> frame(block * 2);
    const double coefficient = 2.0 * std::cos(2.0 * M_PI * frequency / rate);
    int toneBlocks = 0, blocks = 0;
    while (fread(frame.data(), sizeof(int16_t), frame.size(), in) == frame.size()) {
        ++blocks;
        double s1 = 0, s2 = 0, energy = 0;
        for (size_t i = 0; i < block; ++i) {
            const double x = frame[2 * i];
            energy += x * x;
            const double s0 = x + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        // Goertzel: the power at the frequency, as a share of the block's whole power.
        const double tonePower = (s1 * s1 + s2 * s2 - coefficient * s1 * s2) * 2.0 / block;
        const double rms = std::sqrt(energy / block);
        if (rms > 1000.0 && tonePower / energy > 0.8) ++toneBlocks;
    }
    fclose(in);
    printf("%.1f s of %.0f Hz in %.1f s of samples\n", toneBlocks / 10.0, frequency,
           blocks / 10.0);
    return toneBlocks >= 10 ? 0 : 1;
}
