#pragma once

#include <GL/gl.h>

#include <list>
#include <memory>
#include <string>

#include "render/Texture.h"

// The level's cache of textures by file name. Each file is decoded and
// uploaded once; a texture uploaded with compression lives in a separate list,
// so one file may be cached once plain and once compressed. A failed load is
// cached too and keeps answering 0, which binds as "no texture".
class CTextureManager {
public:
    // Takes the texture-compression capability from the application object.
    CTextureManager();
    ~CTextureManager();
    CTextureManager(const CTextureManager&)            = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;

    // GL texture name for a ".bmp" or ".tga" file (suffix in any letter case;
    // cache keys are the names exactly as given), 0 on any failure.
    GLuint LoadTexture(const char* fileName, bool compress);
    // Re-applies the filter pair (see CTexture::SetFilter) to every texture.
    void ApplyFilter(TextureFilter textureFilter, MipmapMode mipmapMode);
    // Deletes every texture object and empties both lists (needs the GL
    // context that the textures were made in, if any was uploaded).
    void Clear();

    bool   IsCompressionAvailable() const { return compressionAvailable; }
    size_t GetPlainCount() const { return plainList.size(); }
    size_t GetCompressedCount() const { return compressedList.size(); }

private:
    enum class ImageKind { none, bmp, tga };
    struct Entry {
        std::string               fileName;
        std::unique_ptr<CTexture> texture;
    };

    static ImageKind KindOf(const char* fileName);

    bool             compressionAvailable = false;
    std::list<Entry> plainList;
    std::list<Entry> compressedList;
};
