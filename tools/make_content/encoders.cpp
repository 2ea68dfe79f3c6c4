// JPEG through libturbojpeg, MP3 through libmp3lame.
#include "tools/make_content/encoders.h"

#include <lame/lame.h>
#include <turbojpeg.h>

#include <cstring>

bool EncodeJpeg(const uint8_t* bgrx, int width, int height, int stride, int quality,
                std::vector<uint8_t>& out, std::string& error)
{
    tjhandle handle = tjInitCompress();
    if (!handle) {
        error = "EncodeJpeg: cannot start the encoder";
        return false;
    }
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    // Full-resolution chroma keeps coloured lettering crisp; the accurate DCT keeps the
    // bytes independent of which SIMD path the library picks.
    int rc = tjCompress2(handle, bgrx, width, stride, height, TJPF_BGRX, &jpeg, &size,
                         TJSAMP_444, quality, TJFLAG_ACCURATEDCT);
    if (rc != 0) {
        error = std::string("EncodeJpeg: ") + tjGetErrorStr2(handle);
        tjFree(jpeg);
        tjDestroy(handle);
        return false;
    }
    out.assign(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(handle);
    return true;
}

bool EncodeMp3(const std::vector<int16_t>& interleaved, int rate, int kbps,
               std::vector<uint8_t>& out, std::string& error)
{
    lame_t lame = lame_init();
    if (!lame) {
        error = "EncodeMp3: cannot start the encoder";
        return false;
    }
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, kbps);
    lame_set_VBR(lame, vbr_off);
    lame_set_quality(lame, 3);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        error = "EncodeMp3: the encoder refuses these settings";
        lame_close(lame);
        return false;
    }

    out.clear();
    const int frames = int(interleaved.size() / 2);
    const int chunk = 8192;
    // Worst case from lame.h: 1.25 * samples + 7200.
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (int at = 0; at < frames; at += chunk) {
        int n = frames - at < chunk ? frames - at : chunk;
        int got = lame_encode_buffer_interleaved(lame, const_cast<short*>(&interleaved[size_t(at) * 2]),
                                                 n, buffer.data(), int(buffer.size()));
        if (got < 0) {
            error = "EncodeMp3: encoding failed";
            lame_close(lame);
            return false;
        }
        out.insert(out.end(), buffer.begin(), buffer.begin() + got);
    }
    int got = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    if (got < 0) {
        error = "EncodeMp3: flushing the encoder failed";
        lame_close(lame);
        return false;
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + got);

    // The encoder left room for the Info tag in front; it can be filled in only now.
    unsigned char tag[4096];
    size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
    if (tagSize > 0 && tagSize <= out.size())
        std::memcpy(out.data(), tag, tagSize);
    lame_close(lame);
    return true;
}
