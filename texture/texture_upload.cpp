// The one place decoded pixels become a GL texture: edge clamping and the filter table.
#include <GL/gl.h>
#include <GL/glu.h>

#include "texture/texture_builder.h"

// The rows of the pixels are tightly packed, or padded as the unpack alignment in force
// says. Leaves the texture bound. GL and GLU errors are not looked at: the callers
// report success whatever GL made of the pixels. A FilterNone upload leaves the unpack
// alignment at 1 for every later transfer of the context.
void TextureBuilder::UploadTexture(TextureRecord* record, const uint8_t* pixels) {
    const GLint components = record->pixelFormat == GL_RGBA ? 4 : 3;
    glBindTexture(GL_TEXTURE_2D, record->glName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);

    bool mipmaps;
    switch (filterMode) {
        case FilterBilinear:
            mipmaps = buildMipmaps != 0;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                            mipmaps ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
            break;
        case FilterTrilinear:
            mipmaps = true;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
            break;
        default:
            mipmaps = false;
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            break;
    }

    if (mipmaps) {
        // gluBuild2DMipmaps reads the smaller levels it makes itself under the unpack
        // alignment in force, and under 8 it reads one of 4-byte rows (an RGBA level one
        // pixel wide) past its end. The rows handed to it need no more than 4, so the
        // mipmaps are built under 4 and the alignment goes back afterwards.
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        if (alignment > 4) glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        gluBuild2DMipmaps(GL_TEXTURE_2D, components, record->width, record->height,
                          record->pixelFormat, GL_UNSIGNED_BYTE, pixels);
        if (alignment > 4) glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    } else
        glTexImage2D(GL_TEXTURE_2D, 0, components, record->width, record->height, 0,
                     record->pixelFormat, GL_UNSIGNED_BYTE, pixels);
}
