#include "render/TextureManager.h"

#include <cctype>

#include "core/Logger.h"
#include "core/Options.h"

CTextureManager::CTextureManager() : compressionAvailable(GetOptions().textureCompression) {}

CTextureManager::~CTextureManager() {
    Clear();
}

// Decided on a lower-case copy, by the text from the last '.' only, so
// "grass.bmp.txt" is no image and "SKY.TGA" is a TGA.
CTextureManager::ImageKind CTextureManager::KindOf(const char* fileName) {
    std::string lower(fileName);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const size_t dot = lower.rfind('.');
    if (dot == std::string::npos) {
        return ImageKind::none;
    }
    const std::string suffix = lower.substr(dot);
    if (suffix == ".bmp") {
        return ImageKind::bmp;
    }
    if (suffix == ".tga") {
        return ImageKind::tga;
    }
    return ImageKind::none;
}

GLuint CTextureManager::LoadTexture(const char* fileName, bool compress) {
    if (fileName == nullptr) {
        return 0;
    }
    const ImageKind kind = KindOf(fileName);
    if (kind == ImageKind::none) {
        GetLogger()->LogError("CTextureManager::LoadTexture: %s is neither a .bmp nor a .tga image", fileName);
        return 0;
    }
    const bool        effective = compress && compressionAvailable;
    std::list<Entry>& list      = effective ? compressedList : plainList;
    for (const Entry& entry : list) {
        if (entry.fileName == fileName) {
            return entry.texture->GetName();
        }
    }
    // A failure is cached with the name, so each file is reported once.
    Entry      entry{fileName, std::make_unique<CTexture>()};
    const bool loaded = kind == ImageKind::bmp ? entry.texture->LoadBmp(fileName, effective)
                                               : entry.texture->LoadTga(fileName, effective);
    if (!loaded) {
        GetLogger()->LogError("CTextureManager::LoadTexture: Couldn't load texture %s", fileName);
    }
    const GLuint name = entry.texture->GetName();
    list.push_back(std::move(entry));
    return name;
}

void CTextureManager::ApplyFilter(TextureFilter textureFilter, MipmapMode mipmapMode) {
    for (std::list<Entry>* list : {&compressedList, &plainList}) {
        for (Entry& entry : *list) {
            entry.texture->SetFilter(textureFilter, mipmapMode);
        }
    }
}

void CTextureManager::Clear() {
    // Each texture frees its pixels and deletes its GL object as it goes.
    compressedList.clear();
    plainList.clear();
}
