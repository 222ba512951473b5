#include "core/BmpHandler.h"

#include <cstdio>
#include <cstring>

#include "core/Logger.h"
#include "platform/FileGate.h"

namespace {

constexpr int headerBytes = 54;

int32_t ReadInt32(const uint8_t* bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

void WriteInt32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void WriteInt16(uint8_t* bytes, uint16_t value) {
    bytes[0] = static_cast<uint8_t>(value);
    bytes[1] = static_cast<uint8_t>(value >> 8);
}

// Bytes per stored row: three per pixel, padded to a multiple of four.
long RowLength(int width) {
    return (static_cast<long>(width) * 3 + 3) / 4 * 4;
}

long FileLength(FILE* file) {
    if (fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long length = ftell(file);
    fseek(file, 0, SEEK_SET);
    return length;
}

} // namespace

CBmpHandler::~CBmpHandler() {
    if (writeBack) {
        Save();
    }
}

void CBmpHandler::Release() {
    pixels.clear();
    pixels.shrink_to_fit();
    width       = 0;
    height      = 0;
    pixelOffset = headerBytes;
    std::memset(fileHeader, 0, sizeof fileHeader);
    std::memset(infoHeader, 0, sizeof infoHeader);
}

void CBmpHandler::Load(const char* name, bool writeBackFlag) {
    Release();
    writeBack  = writeBackFlag;
    fileName   = name != nullptr ? name : "";
    FILE* file = CFileGate::OpenForReading(fileName.c_str(), FileKind::image);
    if (file == nullptr) {
        return;
    }
    const long fileLength  = FileLength(file);
    const bool headersRead = fread(fileHeader, 1, sizeof fileHeader, file) == sizeof fileHeader &&
                             fread(infoHeader, 1, sizeof infoHeader, file) == sizeof infoHeader;
    if (!headersRead) {
        GetLogger()->LogError("CBmpHandler::Load\t%s truncated header: %ld bytes", fileName.c_str(), fileLength);
    }
    if (!headersRead || !IsFormatSupported() || !SeekToPixels(file, fileLength) || !ReadPixels(file, fileLength)) {
        Release();
    }
    fclose(file);
}

// Pixels are three bytes each; any other depth or a compressed file would be
// read as noise, so it gives an empty image instead.
bool CBmpHandler::IsFormatSupported() const {
    const int bits        = infoHeader[14] | infoHeader[15] << 8;
    const int compression = ReadInt32(infoHeader + 16);
    if (bits != 24 || compression != 0) {
        GetLogger()->LogError("CBmpHandler::Load\t%s is %d bits per pixel with compression %d, not 24-bit uncompressed",
                              fileName.c_str(), bits, compression);
        return false;
    }
    return true;
}

// Files with a larger info header (or a colour table) say where the pixels
// start; an offset outside the file is malformed.
bool CBmpHandler::SeekToPixels(FILE* file, long fileLength) {
    const long offset = static_cast<uint32_t>(ReadInt32(fileHeader + 10));
    if (offset <= headerBytes) {
        return true; // the pixels follow the two headers
    }
    if (offset > fileLength || fseek(file, offset, SEEK_SET) != 0) {
        GetLogger()->LogError("CBmpHandler::Load\t%s pixel data offset %ld beyond the file's %ld bytes",
                              fileName.c_str(), offset, fileLength);
        return false;
    }
    pixelOffset = offset;
    return true;
}

// Reads the rows bottom-up, one byte at a time as the format is laid out. A
// byte that meets the end of the file is logged and stored as 0xFF, so a
// slightly truncated file still loads; a header that claims far more pixels
// than the file holds (or an absurd size) is refused before allocating.
bool CBmpHandler::ReadPixels(FILE* file, long fileLength) {
    const int32_t declaredWidth  = ReadInt32(infoHeader + 4);
    const int32_t declaredHeight = ReadInt32(infoHeader + 8);
    const long    available      = fileLength - pixelOffset;
    if (declaredWidth <= 0 || declaredHeight <= 0 || declaredWidth > maxSide || declaredHeight > maxSide ||
        RowLength(declaredWidth) * declaredHeight > 2 * available + RowLength(declaredWidth)) {
        GetLogger()->LogError("CBmpHandler::Load\t%s malformed header: %d x %d pixels in %ld bytes", fileName.c_str(),
                              declaredWidth, declaredHeight, fileLength);
        return false;
    }
    width  = declaredWidth;
    height = declaredHeight;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    int        eofLines = 0;
    const long padding  = RowLength(width) - static_cast<long>(width) * 3;
    for (int row = height - 1; row >= 0; --row) {
        for (int column = 0; column < width; ++column) {
            uint32_t pixel = 0;
            for (int shift : {16, 8, 0}) { // stored blue, green, red
                int value = fgetc(file);
                if (value == EOF) {
                    if (eofLines++ < maxEofLines) {
                        GetLogger()->LogError("CBmpHandler::Load\t%s EOF at i=%d j=%d", fileName.c_str(), row, column);
                    }
                    value = 0xFF;
                }
                pixel |= static_cast<uint32_t>(value) << shift;
            }
            pixels[static_cast<size_t>(row) * width + column] = pixel;
        }
        for (long skip = 0; skip < padding; ++skip) {
            fgetc(file);
        }
    }
    if (eofLines > maxEofLines) {
        GetLogger()->LogError("CBmpHandler::Load\t%s %d more EOF lines not written", fileName.c_str(),
                              eofLines - maxEofLines);
    }
    return true;
}

void CBmpHandler::FillHeaders(int newWidth, int newHeight) {
    const uint32_t imageSize = static_cast<uint32_t>(RowLength(newWidth) * newHeight);
    fileHeader[0]            = 'B';
    fileHeader[1]            = 'M';
    WriteInt32(fileHeader + 2, headerBytes + imageSize);
    WriteInt32(fileHeader + 10, headerBytes);
    WriteInt32(infoHeader + 0, 40);
    WriteInt32(infoHeader + 4, static_cast<uint32_t>(newWidth));
    WriteInt32(infoHeader + 8, static_cast<uint32_t>(newHeight));
    WriteInt16(infoHeader + 12, 1);
    WriteInt16(infoHeader + 14, 24);
    WriteInt32(infoHeader + 20, imageSize);
}

void CBmpHandler::Create(const char* name, bool writeBackFlag, int newWidth, int newHeight) {
    Release();
    writeBack = writeBackFlag;
    fileName  = name != nullptr ? name : "";
    if (newWidth <= 0 || newHeight <= 0 || newWidth > maxSide || newHeight > maxSide) {
        return;
    }
    FillHeaders(newWidth, newHeight);
    width  = newWidth;
    height = newHeight;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
}

void CBmpHandler::Save() {
    if (fileName.empty() || width <= 0 || height <= 0) {
        return;
    }
    FILE* file = CFileGate::OpenForWriting(fileName.c_str(), "wb");
    if (file == nullptr) {
        return;
    }
    FillHeaders(width, height);
    fwrite(fileHeader, 1, sizeof fileHeader, file);
    fwrite(infoHeader, 1, sizeof infoHeader, file);
    std::vector<uint8_t> rowBytes(static_cast<size_t>(RowLength(width)), 0);
    for (int row = height - 1; row >= 0; --row) {
        for (int column = 0; column < width; ++column) {
            const uint32_t pixel     = pixels[static_cast<size_t>(row) * width + column];
            rowBytes[column * 3 + 0] = static_cast<uint8_t>(pixel >> 16);
            rowBytes[column * 3 + 1] = static_cast<uint8_t>(pixel >> 8);
            rowBytes[column * 3 + 2] = static_cast<uint8_t>(pixel);
        }
        fwrite(rowBytes.data(), 1, rowBytes.size(), file);
    }
    fclose(file);
}

bool CBmpHandler::Inside(int row, int column) const {
    return row >= 0 && column >= 0 && row < height && column < width;
}

void CBmpHandler::SetPixel(int row, int column, int red, int green, int blue, int /*alpha*/) {
    if (!Inside(row, column)) {
        return;
    }
    pixels[static_cast<size_t>(row) * width + column] = static_cast<uint32_t>(red & 0xFF) |
                                                        static_cast<uint32_t>(green & 0xFF) << 8 |
                                                        static_cast<uint32_t>(blue & 0xFF) << 16;
    if (writeBack) {
        Save();
    }
}

uint32_t CBmpHandler::GetPixel(int row, int column) const {
    return Inside(row, column) ? pixels[static_cast<size_t>(row) * width + column] : 0u;
}

int CBmpHandler::Component(int row, int column, int shift) const {
    return Inside(row, column) ? static_cast<int>((GetPixel(row, column) >> shift) & 0xFF) : -1;
}

int CBmpHandler::GetRed(int row, int column) const {
    return Component(row, column, 0);
}

int CBmpHandler::GetGreen(int row, int column) const {
    return Component(row, column, 8);
}

int CBmpHandler::GetBlue(int row, int column) const {
    return Component(row, column, 16);
}

int CBmpHandler::GetAlpha(int row, int column) const {
    return Inside(row, column) ? 0 : -1;
}

int CBmpHandler::GetWidth() const {
    return width;
}

int CBmpHandler::GetHeight() const {
    return height;
}
