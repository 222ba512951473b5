#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// The vertex-program entry points (GL_ARB_vertex_program) that cel shading
// needs, fetched by each object that uses them when it is created.
struct CProgramFunctions {
    PFNGLGENPROGRAMSARBPROC           genPrograms           = nullptr;
    PFNGLDELETEPROGRAMSARBPROC        deletePrograms        = nullptr;
    PFNGLPROGRAMSTRINGARBPROC         programString         = nullptr;
    PFNGLBINDPROGRAMARBPROC           bindProgram           = nullptr;
    PFNGLPROGRAMENVPARAMETER4FARBPROC programEnvParameter4f = nullptr;

    // Fetches all five; false (and all null) unless every one is found.
    bool Load();
    bool IsLoaded() const { return bindProgram != nullptr; }
};
