// The soundtrack on SDL2_mixer: one audio device, one streamed piece of music that
// plays in the background (the mixer's own thread) once started.
#include <algorithm>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_state.h"

namespace {

constexpr int kOutputChannels = 2;  // stereo
constexpr int kChunkSamples = 2048;

bool IsOpenStream(SysStream stream) {
    const auto& all = Sdl().streams;
    return stream && std::find(all.begin(), all.end(), stream) != all.end();
}

}  // namespace

bool SdlSoundInit(int mixRate, int softwareChannels, unsigned) {
    SdlState& s = Sdl();
    if (s.audioOpen) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return SysFail("SoundInit: no audio: %s", SDL_GetError());
    // Without the MP3 decoder the device still opens; opening the stream then says why.
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, kOutputChannels, kChunkSamples) != 0) {
        SysFail("SoundInit: cannot open audio at %d Hz: %s", mixRate, Mix_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(std::max(softwareChannels, 0));
    s.audioOpen = true;
    return true;
}

SysStream SdlSoundStreamOpen(const char* file, unsigned, int offset, int length) {
    SdlState& s = Sdl();
    if (!file) {
        SysFail("SoundStreamOpen: no file name");
        return nullptr;
    }
    if (!s.audioOpen) {
        SysFail("SoundStreamOpen: %s: no audio device is open", file);
        return nullptr;
    }
    // Offset and length pick part of a file held in memory; files are streamed whole.
    if (offset != 0 || length != 0) {
        SysFail("SoundStreamOpen: %s: only whole files are streamed", file);
        return nullptr;
    }
    Mix_Music* music = Mix_LoadMUS(file);
    if (!music) {
        SysFail("SoundStreamOpen: %s: %s", file, Mix_GetError());
        return nullptr;
    }
    SysStream stream = new SysStreamData{music};
    s.streams.push_back(stream);
    return stream;
}

int SdlSoundStreamPlay(int channel, SysStream stream) {
    if (!IsOpenStream(stream)) {
        SysFail("SoundStreamPlay: no such stream");
        return -1;
    }
    if (Mix_PlayMusic(stream->music, 1) != 0) {
        SysFail("SoundStreamPlay: %s", Mix_GetError());
        return -1;
    }
    Sdl().playing = stream;
    // The mixer has one music channel; it stands for whichever channel was asked for.
    return channel >= 0 ? channel : 0;
}

bool SdlSoundStreamStop(SysStream stream) {
    SdlState& s = Sdl();
    if (!IsOpenStream(stream)) return SysFail("SoundStreamStop: no such stream");
    if (s.playing == stream) {
        Mix_HaltMusic();
        s.playing = nullptr;
    }
    return true;
}

bool SdlSoundStreamClose(SysStream stream) {
    SdlState& s = Sdl();
    if (!IsOpenStream(stream)) return SysFail("SoundStreamClose: no such stream");
    SdlSoundStreamStop(stream);
    Mix_FreeMusic(stream->music);
    s.streams.erase(std::find(s.streams.begin(), s.streams.end(), stream));
    delete stream;
    return true;
}

void SdlSoundClose() {
    SdlState& s = Sdl();
    if (!s.audioOpen) return;
    // Streams left open go with the device; their handles are refused from here on.
    while (!s.streams.empty()) SdlSoundStreamClose(s.streams.back());
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    s.audioOpen = false;
}
