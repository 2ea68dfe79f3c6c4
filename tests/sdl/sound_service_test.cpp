// The sound service on SDL's disk audio driver: opening, the null-stream contract, a
// stream that plays to the device by itself, and running on without a device.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

class SoundService : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/vz-sound-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder = dir;
        device = folder + "/device.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", device.c_str(), 1);
        gSys = SysSdlBackend();
    }
    void TearDown() override {
        gSys->SoundClose();
        std::string cleanup = "rm -rf '" + folder + "'";
        EXPECT_EQ(system(cleanup.c_str()), 0);
    }
    // A mono 16-bit WAV of a loud square wave, which the mixer streams like an MP3.
    std::string Wave(double seconds) {
        const int rate = 22050;
        const uint32_t samples = static_cast<uint32_t>(seconds * rate);
        std::vector<int16_t> data(samples);
        for (uint32_t i = 0; i < samples; ++i) data[i] = (i / 25) % 2 ? 20000 : -20000;
        const std::string path = folder + "/square.wav";
        FILE* f = fopen(path.c_str(), "wb");
        const uint32_t bytes = samples * 2, riff = 36 + bytes, fmtSize = 16, byteRate = rate * 2;
        const uint16_t pcm = 1, mono = 1, align = 2, bits = 16;
        const uint32_t rate32 = rate;
        fwrite("RIFF", 1, 4, f); fwrite(&riff, 4, 1, f); fwrite("WAVEfmt ", 1, 8, f);
        fwrite(&fmtSize, 4, 1, f); fwrite(&pcm, 2, 1, f); fwrite(&mono, 2, 1, f);
        fwrite(&rate32, 4, 1, f); fwrite(&byteRate, 4, 1, f); fwrite(&align, 2, 1, f);
        fwrite(&bits, 2, 1, f); fwrite("data", 1, 4, f); fwrite(&bytes, 4, 1, f);
        fwrite(data.data(), 2, samples, f);
        fclose(f);
        return path;
    }
    // Loudest sample the device received so far.
    int Peak() {
        FILE* f = fopen(device.c_str(), "rb");
        if (!f) return -1;
        int peak = 0;
        int16_t s;
        while (fread(&s, 2, 1, f) == 1) peak = std::max(peak, std::abs(static_cast<int>(s)));
        fclose(f);
        return peak;
    }
    std::string folder, device;
};

TEST_F(SoundService, NullAndUnknownStreamsAreRefused) {
    ASSERT_TRUE(gSys->SoundInit(44000, 64, 0)) << SysLastError();
    const std::string missing = folder + "/Vellmarsh.mp3";
    EXPECT_EQ(gSys->SoundStreamOpen(missing.c_str(), 0x2000, 0, 0), nullptr);
    EXPECT_NE(std::string(SysLastError()).find(missing), std::string::npos) << SysLastError();
    EXPECT_EQ(gSys->SoundStreamPlay(0, nullptr), -1);
    EXPECT_FALSE(gSys->SoundStreamStop(nullptr));
    EXPECT_FALSE(gSys->SoundStreamClose(nullptr));
    // Parts of files are not streamed.
    const std::string wave = Wave(0.5);
    EXPECT_EQ(gSys->SoundStreamOpen(wave.c_str(), 0x2000, 16, 0), nullptr);
    EXPECT_EQ(gSys->SoundStreamOpen(wave.c_str(), 0x2000, 0, 100), nullptr);
}

TEST_F(SoundService, AStartedStreamReachesTheDeviceWithNoFurtherCall) {
    ASSERT_TRUE(gSys->SoundInit(44000, 64, 0)) << SysLastError();
    const std::string wave = Wave(3.0);
    SysStream stream = gSys->SoundStreamOpen(wave.c_str(), 0x2000, 0, 0);
    ASSERT_NE(stream, nullptr) << SysLastError();
    EXPECT_EQ(gSys->SoundStreamPlay(0, stream), 0);
    // The mixer's thread writes it out while this one only waits.
    int peak = 0;
    for (int i = 0; i < 100 && peak < 10000; ++i) {
        usleep(50000);
        peak = Peak();
    }
    EXPECT_GE(peak, 10000);
    EXPECT_TRUE(gSys->SoundStreamStop(stream));
    EXPECT_TRUE(gSys->SoundStreamClose(stream));
    EXPECT_FALSE(gSys->SoundStreamClose(stream));  // closed once
}

TEST_F(SoundService, StreamsLeftOpenAreRefusedAfterClosing) {
    ASSERT_TRUE(gSys->SoundInit(44000, 64, 0));
    const std::string wave = Wave(0.5);
    SysStream stream = gSys->SoundStreamOpen(wave.c_str(), 0x2000, 0, 0);
    ASSERT_NE(stream, nullptr);
    gSys->SoundClose();
    EXPECT_FALSE(gSys->SoundStreamStop(stream));
    EXPECT_FALSE(gSys->SoundStreamClose(stream));
    // And the device opens again.
    EXPECT_TRUE(gSys->SoundInit(44000, 64, 0)) << SysLastError();
}

TEST_F(SoundService, WithoutADeviceEverythingAnswersAndNothingPlays) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(gSys->SoundInit(44000, 64, 0));
    EXPECT_NE(std::string(SysLastError()).find("SoundInit"), std::string::npos);
    const std::string wave = Wave(0.5);
    SysStream stream = gSys->SoundStreamOpen(wave.c_str(), 0x2000, 0, 0);
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(gSys->SoundStreamPlay(0, stream), -1);
    EXPECT_FALSE(gSys->SoundStreamStop(stream));
    EXPECT_FALSE(gSys->SoundStreamClose(stream));
    gSys->SoundClose();
    EXPECT_EQ(Peak(), -1);  // no device file was ever made
}

}  // namespace
