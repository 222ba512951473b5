#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Little-endian byte output for the binary formats the generator writes.
class CByteBuffer {
public:
    CByteBuffer() = default;
    explicit CByteBuffer(size_t expectedSize) { bytes.reserve(expectedSize); }

    void PutU8(uint32_t value) { bytes.push_back(static_cast<uint8_t>(value & 0xFF)); }
    void PutU16(uint32_t value) {
        PutU8(value);
        PutU8(value >> 8);
    }
    void PutU32(uint32_t value) {
        PutU16(value & 0xFFFF);
        PutU16(value >> 16);
    }
    void PutI16(int value) { PutU16(static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(value)))); }
    void PutFloat(float value) {
        uint32_t bits;
        memcpy(&bits, &value, sizeof bits);
        PutU32(bits);
    }
    void PutText(const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
    // The text and its terminating zero.
    void PutCString(const std::string& text) {
        PutText(text);
        PutU8(0);
    }
    void PutBytes(const std::vector<uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
    // Overwrites four bytes at `offset` (a length field written before its content was known).
    void PatchU32(size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes[offset + i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
        }
    }

    size_t                      Size() const { return bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes; }
    std::vector<uint8_t>        Take() { return std::move(bytes); }

private:
    std::vector<uint8_t> bytes;
};
