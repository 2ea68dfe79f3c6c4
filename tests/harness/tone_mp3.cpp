// make-tone-mp3 OUT FREQUENCY SECONDS: writes an MP3 (44100 Hz, stereo) holding a pure
// sine tone, for finding the soundtrack again in what reached the audio device.
#include <lame/lame.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: make-tone-mp3 OUT FREQUENCY SECONDS\n");
        return 2;
    }
    const double frequency = atof(argv[2]);
    const double seconds = atof(argv[3]);
    const int rate = 44100;
    if (frequency <= 0 || frequency >= rate / 2 || seconds <= 0 || seconds > 600) {
        fprintf(stderr, "make-tone-mp3: frequency or length out of range\n");
        return 2;
    }
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 5);
    if (!lame || lame_init_params(lame) < 0) {
        fprintf(stderr, "make-tone-mp3: lame refused the parameters\n");
        return 1;
    }
    const int total = static_cast<int>(seconds * rate);
    std::vector<short> samples(static_cast<size_t>(total));
    for (int i = 0; i < total; ++i)
        samples[i] = static_cast<short>(16000.0 * std::sin(2.0 * M_PI * frequency * i / rate));
    std::vector<unsigned char> mp3(static_cast<size_t>(1.25 * total + 7200 + 8192));
    int size = lame_encode_buffer(lame, samples.data(), samples.data(), total, mp3.data(),
                                  static_cast<int>(mp3.size()));
    if (size < 0) {
        fprintf(stderr, "make-tone-mp3: encoding failed (%d)\n", size);
        return 1;
    }
    const int tail = lame_encode_flush(lame, mp3.data() + size,
                                       static_cast<int>(mp3.size()) - size);
    if (tail < 0) {
        fprintf(stderr, "make-tone-mp3: encoding failed (%d)\n", tail);
        return 1;
    }
    size += tail;
    lame_close(lame);
    FILE* out = fopen(argv[1], "wb");
    if (!out || fwrite(mp3.data(), 1, static_cast<size_t>(size), out) != static_cast<size_t>(size) ||
        fclose(out) != 0) {
        fprintf(stderr, "make-tone-mp3: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
