#include <vector>

#include "FuzzInput.h"
#include "render/ModelFile.h"

// The 3DS chunk reader must end, stay in bounds, and leave only faces whose corners exist.
FUZZ_TARGET("") {
    CModelFile model;
    model.Parse(std::vector<uint8_t>(data, data + size));
    for (const CModelMesh& mesh : model.GetMeshes()) {
        for (const CModelFace& face : mesh.faces) {
            for (uint16_t corner : face.corners) {
                Require(corner < mesh.vertices.size() && mesh.normals.size() == mesh.vertices.size());
            }
        }
    }
}
