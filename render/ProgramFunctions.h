#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// The vertex-program and multitexture entry points (GL_ARB_vertex_program,
// GL_ARB_multitexture) that cel shading needs, fetched by each object that
// uses them when it is created.
struct CProgramFunctions {
    PFNGLGENPROGRAMSARBPROC           genPrograms           = nullptr;
    PFNGLDELETEPROGRAMSARBPROC        deletePrograms        = nullptr;
    PFNGLPROGRAMSTRINGARBPROC         programString         = nullptr;
    PFNGLBINDPROGRAMARBPROC           bindProgram           = nullptr;
    PFNGLPROGRAMENVPARAMETER4FARBPROC programEnvParameter4f = nullptr;
    PFNGLACTIVETEXTUREARBPROC         activeTexture         = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC   clientActiveTexture   = nullptr;

    // Fetches all seven; false (and all null) unless every one is found.
    bool Load();
    bool IsLoaded() const { return bindProgram != nullptr; }
};
