// texture_params.h: how an effect asks for a texture (DEMOGL_TextureLoad's eleven values).
//
// The texture store keys its textures by name and these; the host fills them from the call.
#pragma once

namespace glimmerq {

struct TextureParams {
    int fileType = 1;
    int alphaSource = 0;
    int wrapS = 0;  // GL_REPEAT, GL_CLAMP, ...
    int wrapT = 0;
    int minFilter = 0;
    int magFilter = 0;
    bool mipmaps = false;
    bool compressed = false;
    int border = 0;
    int internalFormat = 0;
    int dimensions = 2;

    bool operator==(const TextureParams& o) const {
        return fileType == o.fileType && alphaSource == o.alphaSource && wrapS == o.wrapS && wrapT == o.wrapT &&
               minFilter == o.minFilter && magFilter == o.magFilter && mipmaps == o.mipmaps &&
               compressed == o.compressed && border == o.border && internalFormat == o.internalFormat &&
               dimensions == o.dimensions;
    }
};

}  // namespace glimmerq
