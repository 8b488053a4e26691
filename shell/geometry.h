// Geometry shared by both scenes.
#ifndef SHELL_GEOMETRY_H
#define SHELL_GEOMETRY_H

// One corner of a cube: in the cube's own space before it is turned, in camera
// space after (the eye at the origin looking along +z, x to the right, y up).
struct CubeCorner {
    double x;
    double y;
    double z;
};

#endif
