// Fuzz target of the TGA reader. The first byte chooses the loader settings and the GL
// alignments, the second whether the file is loaded by name or from memory; the rest is
// the file.
#include <fcntl.h>
#include <unistd.h>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnsureContext();
    fuzz::EnterScratchDirectory();
    fuzz::Reader in{data, size};
    const uint8_t settings = in.Byte();
    const uint8_t route = in.Byte();

    TextureBuilder builder;
    fuzz::ApplySettings(builder, settings, 0);
    fuzz::ResetGlState(fuzz::Alignment(settings >> 4), fuzz::Alignment(settings >> 6));

    TextureRecord record{};
    record.glName = fuzz::kUnsetName;
    int result;
    if (route & 1) {
        // By name: the file is written under a TGA name, read by the builder, removed.
        const char kName[] = "input.tga";
        int fd = open(kName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0 || !SysWriteAll(fd, in.data, in.size)) fuzz::Fail("cannot write the input file");
        close(fd);
        result = builder.LoadPictureFile(kName, &record);
        unlink(kName);
        if (record.kind != KindTga) fuzz::Fail("a .tga name was not loaded as TGA");
    } else {
        result = builder.LoadPictureMemory(in.data, uint32_t(in.size), &record, KindTga);
        fuzz::CheckNoTemporaryFile();
        if (record.kind != KindTga) fuzz::Fail("a TGA memory load recorded another kind");
    }
    if (result == 1) {
        // The reader keeps the depth of the header, and the format follows from it.
        if (record.bitsPerPixel != 24 && (record.bitsPerPixel < 32 || record.bitsPerPixel >= 40))
            fuzz::Fail("a TGA of a refused depth was loaded");
        if (record.pixelFormat != (record.bitsPerPixel == 24 ? GLenum(GL_RGB) : GLenum(GL_RGBA)))
            fuzz::Fail("the pixel format does not follow the depth");
    }
    fuzz::CheckAndRelease(builder, result, &record, fuzz::kUnsetName);
    return 0;
}
