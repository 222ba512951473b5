#include "render/ModelFile.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/FileGate.h"

namespace {

constexpr size_t chunkHeaderBytes = 6;
constexpr size_t maxNameLength    = 255;

struct CChunkHeader {
    uint16_t id     = 0;
    uint32_t length = 0;
    size_t   end    = 0;
};

// Materials and texture names beyond this are cut, as their records hold.
std::string Truncated(const std::string& text) {
    return text.size() > maxNameLength ? text.substr(0, maxNameLength) : text;
}

float Finite(float value) {
    return std::isfinite(value) ? value : 0.0f;
}

} // namespace

// Little-endian reads that never pass the end they are given.
class CModelFile::CChunkReader {
public:
    explicit CChunkReader(const std::vector<uint8_t>& data) : bytes(data) {}

    size_t position = 0;
    // Chunk lengths and list counts that claimed more than their parent holds.
    int lyingLengths = 0;
    int lyingCounts  = 0;

    bool     Has(size_t count, size_t end) const { return position + count <= end && end <= bytes.size(); }
    uint8_t  Byte() { return bytes[position++]; }
    uint16_t U16() {
        const uint16_t value = static_cast<uint16_t>(bytes[position] | bytes[position + 1] << 8);
        position += 2;
        return value;
    }
    uint32_t U32() {
        const uint32_t low = U16();
        return low | static_cast<uint32_t>(U16()) << 16;
    }
    float Float() {
        const uint32_t bits = U32();
        float          value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // The header of the chunk at the position. Its end is cut at `end`, the
    // end of its parent; a length below the header's own size cannot be
    // stepped over and is reported as it stands (end = just behind the header).
    bool Header(size_t end, CChunkHeader& header) {
        if (!Has(chunkHeaderBytes, end)) {
            return false;
        }
        const size_t start = position;
        header.id          = U16();
        header.length      = U32();
        header.end         = start + std::min<size_t>(std::max<size_t>(header.length, chunkHeaderBytes), end - start);
        if (header.length < chunkHeaderBytes || header.length > end - start) {
            ++lyingLengths;
        }
        return true;
    }
    // A list's 16-bit count and how many records of `recordBytes` the chunk
    // really holds behind it: the smaller of the two. False when the chunk is
    // too short for the count itself.
    bool Count(size_t end, size_t recordBytes, size_t& count) {
        if (!Has(2, end)) {
            return false;
        }
        const uint16_t declared = U16(); // read before the room behind it is measured
        count                   = std::min<size_t>(declared, (end - position) / recordBytes);
        if (count < declared) {
            ++lyingCounts;
        }
        return true;
    }
    // Bytes up to a terminating zero (consumed) or the end, whichever comes first.
    std::string ZeroTerminated(size_t end) {
        std::string text;
        while (position < end && position < bytes.size()) {
            const char c = static_cast<char>(bytes[position++]);
            if (c == '\0') {
                break;
            }
            text += c;
        }
        return text;
    }

private:
    const std::vector<uint8_t>& bytes;
};

void CModelMesh::TexCoordAt(int vertex, float& s, float& t) const {
    const size_t at = static_cast<size_t>(vertex) * 2;
    if (vertex < 0 || at + 1 >= texCoords.size()) {
        s = t = 0.0f;
        return;
    }
    s = texCoords[at];
    t = texCoords[at + 1];
}

CModelFile::Result CModelFile::LoadFile(const char* path) {
    std::vector<uint8_t> bytes;
    if (!CFileGate::ReadWholeFile(path, FileKind::model, bytes)) {
        // No content of an earlier file may survive a failed load.
        *this = CModelFile();
        return fileMissing;
    }
    return Parse(bytes);
}

CModelFile::Result CModelFile::Parse(const std::vector<uint8_t>& bytes) {
    meshes.clear();
    materials.clear();
    newerVersion         = false;
    truncated            = false;
    radius               = 0;
    clampedCoordinates   = 0;
    nonFiniteCoordinates = 0;
    lyingLengths         = 0;
    lyingCounts          = 0;
    CChunkReader reader(bytes);
    CChunkHeader primary;
    if (!reader.Header(bytes.size(), primary) || primary.id != chunkPrimary) {
        return notPrimaryChunk;
    }
    truncated = primary.length > bytes.size();
    ReadChildren(reader, primary.end, chunkPrimary, 1);
    // The primary chunk's own lie is the cut file, told apart.
    lyingLengths = reader.lyingLengths - (truncated ? 1 : 0);
    lyingCounts  = reader.lyingCounts;
    DropBrokenFaces();
    CalcNormals();
    CalcRadius();
    return loaded;
}

// Reads the chunks between the current position and `end`. A chunk whose
// length runs past its parent is cut at the parent's end; a length below the
// header size cannot be stepped over, so the rest of the parent is skipped.
void CModelFile::ReadChildren(CChunkReader& reader, size_t end, uint16_t parent, int depth) {
    if (depth > maxDepth) {
        reader.position = end;
        return;
    }
    CChunkHeader header;
    while (reader.Header(end, header)) {
        if (header.length < chunkHeaderBytes) {
            reader.position = end;
            return;
        }
        ReadChunk(reader, header.id, header.end, parent, depth);
        reader.position = header.end;
    }
    reader.position = end;
}

void CModelFile::ReadChunk(CChunkReader& reader, uint16_t id, size_t end, uint16_t parent, int depth) {
    switch (parent) {
    case chunkPrimary:
        if (id == chunkVersion && end - reader.position == 4) {
            newerVersion = reader.U32() > lastKnownVersion;
        } else if (id == chunkEditor) {
            // The first chunk of the editor data (the mesh version) is skipped unread.
            CChunkHeader first;
            if (reader.Header(end, first)) {
                reader.position = first.end;
            }
            ReadChildren(reader, end, chunkEditor, depth + 1);
        }
        break;
    case chunkEditor:
        if (id == chunkObject) {
            meshes.emplace_back();
            meshes.back().objectName = reader.ZeroTerminated(end);
            ReadChildren(reader, end, chunkObject, depth + 1);
        } else if (id == chunkMaterial) {
            materials.emplace_back();
            materials.back().index = static_cast<int>(materials.size()) - 1;
            ReadChildren(reader, end, chunkMaterial, depth + 1);
        }
        break;
    case chunkObject: // the mesh context: an object and its triangle mesh
        if (id == chunkTriangleMesh) {
            ReadChildren(reader, end, chunkObject, depth + 1);
        } else if (id == chunkVertices) {
            ReadVertices(reader, end);
        } else if (id == chunkFaces) {
            ReadFaces(reader, end);
            // The chunks nested in the face list belong to the mesh context.
            ReadChildren(reader, end, chunkObject, depth + 1);
        } else if (id == chunkFaceMaterial) {
            ReadFaceMaterial(reader, end);
        } else if (id == chunkTexCoords) {
            ReadTexCoords(reader, end);
        }
        break;
    case chunkMaterial:
        if (id == chunkMaterialName) {
            materials.back().name = Truncated(reader.ZeroTerminated(end));
        } else if (id == chunkDiffuse) {
            ReadDiffuse(reader, end);
        } else if (id == chunkTextureMap) {
            ReadChildren(reader, end, chunkMaterial, depth + 1);
        } else if (id == chunkTextureFile) {
            materials.back().textureFile = Truncated(reader.ZeroTerminated(end));
        }
        break;
    default:
        break;
    }
}

void CModelFile::ReadVertices(CChunkReader& reader, size_t end) {
    size_t count = 0;
    if (!reader.Count(end, 12, count)) {
        return;
    }
    CModelMesh& mesh = meshes.back();
    mesh.vertices.resize(count);
    for (CVector3& vertex : mesh.vertices) {
        const float x = Coordinate(reader.Float());
        const float y = Coordinate(reader.Float());
        const float z = Coordinate(reader.Float());
        vertex        = CVector3(x, z, -y); // the file's z is up
    }
}

// A coordinate that is not a finite number is 0 (counted); one beyond maxCoordinate is
// clamped to it (and counted, so the loader can say so).
float CModelFile::Coordinate(float value) {
    if (!std::isfinite(value)) {
        ++nonFiniteCoordinates;
        return 0.0f;
    }
    if (std::fabs(value) > maxCoordinate) {
        ++clampedCoordinates;
        return value < 0.0f ? -maxCoordinate : maxCoordinate;
    }
    return value;
}

void CModelFile::ReadFaces(CChunkReader& reader, size_t end) {
    size_t count = 0;
    if (!reader.Count(end, 8, count)) {
        return;
    }
    CModelMesh& mesh = meshes.back();
    mesh.faces.resize(count);
    for (CModelFace& face : mesh.faces) {
        for (uint16_t& corner : face.corners) {
            corner = reader.U16();
        }
        reader.U16(); // edge flags, unused
    }
}

void CModelFile::ReadFaceMaterial(CChunkReader& reader, size_t end) {
    const std::string name = reader.ZeroTerminated(end);
    CModelMesh&       mesh = meshes.back();
    mesh.materialIndex     = -1;
    mesh.textured          = false;
    for (const CModelMaterial& material : materials) {
        if (material.name == name) {
            mesh.materialIndex = material.index;
            mesh.textured      = !material.textureFile.empty();
            break;
        }
    }
}

void CModelFile::ReadTexCoords(CChunkReader& reader, size_t end) {
    size_t count = 0;
    if (!reader.Count(end, 8, count)) {
        return;
    }
    CModelMesh& mesh = meshes.back();
    mesh.texCoords.resize(count * 2);
    for (float& value : mesh.texCoords) {
        value = Finite(reader.Float());
    }
}

// The diffuse colour sits in a colour sub-chunk: three bytes, or three floats
// 0..1 (converted here rather than copied raw into the byte triple).
void CModelFile::ReadDiffuse(CChunkReader& reader, size_t end) {
    CChunkHeader colourChunk;
    if (!reader.Header(end, colourChunk)) {
        return;
    }
    uint8_t* colour = materials.back().colour;
    if ((colourChunk.id == chunkColourBytes || colourChunk.id == chunkColourGamma) && reader.Has(3, colourChunk.end)) {
        for (int i = 0; i < 3; ++i) {
            colour[i] = reader.Byte();
        }
    } else if (colourChunk.id == chunkColourFloat && reader.Has(12, colourChunk.end)) {
        for (int i = 0; i < 3; ++i) {
            const float value = Finite(reader.Float());
            colour[i]         = static_cast<uint8_t>(std::lround(std::max(0.0f, std::min(value, 1.0f)) * 255.0f));
        }
    }
}

void CModelFile::DropBrokenFaces() {
    for (CModelMesh& mesh : meshes) {
        const size_t vertexCount = mesh.vertices.size();
        mesh.faces.erase(std::remove_if(mesh.faces.begin(), mesh.faces.end(),
                                        [vertexCount](const CModelFace& face) {
                                            return face.corners[0] >= vertexCount || face.corners[1] >= vertexCount ||
                                                   face.corners[2] >= vertexCount;
                                        }),
                         mesh.faces.end());
    }
}

// Smooth normals: the mean of the (unnormalised) normals of the faces that
// share a vertex, turned to face outwards for the file's winding. A vertex
// that no face uses, or whose faces cancel out, points up.
void CModelFile::CalcNormals() {
    for (CModelMesh& mesh : meshes) {
        std::vector<CVector3> sums(mesh.vertices.size());
        std::vector<int>      uses(mesh.vertices.size(), 0);
        for (const CModelFace& face : mesh.faces) {
            const CVector3& a      = mesh.vertices[face.corners[0]];
            const CVector3& b      = mesh.vertices[face.corners[1]];
            const CVector3& c      = mesh.vertices[face.corners[2]];
            const CVector3  normal = Cross(a - c, c - b);
            for (uint16_t corner : face.corners) {
                sums[corner] = sums[corner] + normal;
                ++uses[corner];
            }
        }
        mesh.normals.assign(mesh.vertices.size(), CVector3(0, 1, 0));
        for (size_t i = 0; i < sums.size(); ++i) {
            const CVector3 mean   = uses[i] > 0 ? sums[i] * (-1.0f / static_cast<float>(uses[i])) : CVector3();
            const float    length = mean.Length();
            if (length > 0.0f && std::isfinite(length)) {
                mesh.normals[i] = mean * (1.0f / length);
            }
        }
    }
}

void CModelFile::CalcRadius() {
    radius = 0;
    for (const CModelMesh& mesh : meshes) {
        for (const CVector3& vertex : mesh.vertices) {
            const float distance = vertex.Length();
            if (std::isfinite(distance) && distance > static_cast<float>(radius)) {
                radius = distance >= static_cast<float>(INT_MAX) ? INT_MAX : static_cast<int>(distance);
            }
        }
    }
}
