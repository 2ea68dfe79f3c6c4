// Loading from memory, by way of a temporary file the file decoders read, and from the
// program's own resources.
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "texture/texture_builder.h"

namespace {
const char kTempFileName[] = "glTEMP$$.tmp";
}

// The fixed name makes this non-reentrant: two loads at once in one working directory
// would share the file. Whatever stood at the name is unlinked first and the file is
// created afresh, private to its owner, so no link planted there is written through.
int TextureBuilder::LoadPictureMemory(const void* data, uint32_t size, TextureRecord* record,
                                      SourceKind kind) {
    if (!record || (!data && size != 0)) return 0;
    char szTempFileName[kSysPathMax];
    if (!BuildFullPath(kTempFileName, szTempFileName, sizeof szTempFileName)) return 0;
    int file = SysCreatePrivateFile(szTempFileName);
    if (file < 0) return 0;
    // A short write would hand the decoder a shortened file that might still decode.
    const bool written = SysWriteAll(file, data, size);
    SysCloseFile(file);

    record->kind = kind;
    int result = 0;
    if (written) {
        // The picture service recognises every format but TGA from the bytes themselves.
        if (kind == KindTga)
            result = DecodeTgaFile(szTempFileName, record);
        else
            result = DecodePictureFile(szTempFileName, record);
    }
    SysDeleteFile(szTempFileName);
    return result;
}

// JPEG and GIF resources are decoded from memory by the picture service; TGA resources
// go through the temporary file. Bitmap resources have no decoder: the kind is recorded
// and the load fails. Any other kind leaves the record untouched.
int TextureBuilder::LoadPictureResource(uint16_t id, const char* type, TextureRecord* record,
                                        SourceKind kind) {
    if (!record) return 0;
    switch (kind) {
        case KindJpeg:
        case KindGif:
            record->kind = kind;
            return DecodePictureResource(id, type, record);
        case KindBmp:
            record->kind = kind;
            return 0;
        case KindTga:
            record->kind = kind;
            return DecodeTgaResource(id, type, record);
        default:
            return 0;
    }
}

// The resource is copied into a block of this operation's own, freed on every path.
int TextureBuilder::DecodeTgaResource(uint16_t id, const char* type, TextureRecord* record) {
    const void* bytes = nullptr;
    uint32_t size = 0;
    if (!type || !SysFindResource(id, type, &bytes, &size)) return 0;
    void* block = std::malloc(size ? size : 1);
    if (!block) return 0;
    if (size) std::memcpy(block, bytes, size);
    int result = LoadPictureMemory(block, size, record, KindTga);
    std::free(block);
    return result;
}
