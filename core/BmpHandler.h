#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An uncompressed 24-bit BMP held in memory as rows of pixels that game code
// queries one by one (the level heightmap is read through it). Row 0 is the
// top row of the picture, column 0 the left. With the write-back flag set,
// every SetPixel and the destructor save the image to its file.
class CBmpHandler {
public:
    // Files that declare more than this many pixels per side are malformed.
    static constexpr int maxSide = 16384;
    // End-of-file lines written per Load at most; one summary line follows.
    static constexpr int maxEofLines = 64;

    CBmpHandler() = default;
    virtual ~CBmpHandler();
    CBmpHandler(const CBmpHandler&)            = delete;
    CBmpHandler& operator=(const CBmpHandler&) = delete;

    virtual void Load(const char* fileName, bool writeBack);
    virtual void Create(const char* fileName, bool writeBack, int width, int height);
    virtual void Save();
    // The sixth argument (alpha) is accepted and ignored: pixels have no alpha.
    virtual void SetPixel(int row, int column, int red, int green, int blue, int alpha);
    virtual int  GetRed(int row, int column) const;
    virtual int  GetGreen(int row, int column) const;
    virtual int  GetBlue(int row, int column) const;
    virtual int  GetAlpha(int row, int column) const;
    virtual int  GetBitsPerPixel() const { return 24; }
    virtual int  GetWidth() const;
    virtual int  GetHeight() const;

    // The pixel as red | green << 8 | blue << 16, for callers that need all three.
    uint32_t GetPixel(int row, int column) const;

private:
    void Release();
    bool Inside(int row, int column) const;
    int  Component(int row, int column, int shift) const;
    void FillHeaders(int width, int height);
    bool IsFormatSupported() const;
    bool SeekToPixels(FILE* file, long fileLength);
    bool ReadPixels(FILE* file, long fileLength);

    bool                  writeBack = false;
    std::string           fileName;
    uint8_t               fileHeader[14] = {};
    uint8_t               infoHeader[40] = {};
    int                   width          = 0;
    int                   height         = 0;
    long                  pixelOffset    = 54; // where the pixel rows start in the file
    std::vector<uint32_t> pixels;              // row-major, top row first
};
