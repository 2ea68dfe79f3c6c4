// Fuzz target of LoadPictureMemory for every kind: the first byte chooses the kind, the
// second the loader settings and GL alignments, the third the colour key; the rest is the
// picture. Every kind but TGA goes to the picture service, which decodes JPEG, BMP, GIF,
// icons, PNG, Windows and enhanced metafiles and whatever else gdk-pixbuf reads.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnsureContext();
    fuzz::EnterScratchDirectory();
    fuzz::Reader in{data, size};
    // Kind 3 does not exist and 99 is no kind at all: both still go to the picture service.
    static const SourceKind kKinds[] = {KindOther, KindBmp,  KindJpeg, KindTga, KindGif,
                                        KindIco,   KindEmf,  KindWmf,  static_cast<SourceKind>(3),
                                        static_cast<SourceKind>(99)};
    const SourceKind kind = kKinds[in.Byte() % (sizeof kKinds / sizeof kKinds[0])];
    const uint8_t settings = in.Byte();
    const uint8_t key = in.Byte();

    TextureBuilder builder;
    fuzz::ApplySettings(builder, settings, key);
    fuzz::ResetGlState(fuzz::Alignment(settings >> 4), fuzz::Alignment(settings >> 6));

    TextureRecord record{};
    record.glName = fuzz::kUnsetName;
    int result = builder.LoadPictureMemory(in.data, uint32_t(in.size), &record, kind);
    fuzz::CheckNoTemporaryFile();
    if (record.kind != kind) fuzz::Fail("the record does not carry the kind asked for");
    // What the picture service decodes is always uploaded as 32-bit RGBA.
    if (result == 1 && kind != KindTga &&
        (record.bitsPerPixel != 32 || record.pixelFormat != GL_RGBA))
        fuzz::Fail("a picture-service texture that is not 32-bit RGBA");
    fuzz::CheckAndRelease(builder, result, &record, fuzz::kUnsetName);
    return 0;
}
