!!ARBvp1.0
# Cel shading of a textured mesh: shade coordinate on unit 0, the mesh's
# own texture coordinates on unit 1.
ATTRIB inPosition = vertex.position;
ATTRIB inNormal   = vertex.normal;
ATTRIB inColour   = vertex.color;
ATTRIB inTexCoord = vertex.texcoord[0];
PARAM  mvp[4]     = { state.matrix.mvp };
PARAM  light      = program.env[0];
PARAM  limits     = { 0.0, 1.0, 0.0, 1.0 };
TEMP   toLight, normal, shade;

DP4 result.position.x, mvp[0], inPosition;
DP4 result.position.y, mvp[1], inPosition;
DP4 result.position.z, mvp[2], inPosition;
DP4 result.position.w, mvp[3], inPosition;

# Unit vectors towards the light and along the normal, object space.
SUB toLight.xyz, light, inPosition;
DP3 toLight.w, toLight, toLight;
RSQ toLight.w, toLight.w;
MUL toLight.xyz, toLight, toLight.w;
DP3 normal.w, inNormal, inNormal;
RSQ normal.w, normal.w;
MUL normal.xyz, inNormal, normal.w;

DP3 shade.x, normal, toLight;
MAX shade.x, shade.x, limits.x;
MIN shade.x, shade.x, limits.y;
MOV shade.yzw, limits.xxzw;
MOV result.texcoord[0], shade;
MOV result.texcoord[1], inTexCoord;
MOV result.color, inColour;
END
