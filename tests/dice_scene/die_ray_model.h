// What a frame of the die must show at a pixel, worked out apart from the
// renderer: the die's corners turned with the maths library's sine and cosine,
// the viewing ray through the pixel met with the faces, and the face painted
// last among those the ray passes through (the faces cover one another in
// their fixed painting order, nearer or not).
#ifndef TESTS_DICE_SCENE_DIE_RAY_MODEL_H
#define TESTS_DICE_SCENE_DIE_RAY_MODEL_H

#include <array>
#include <cstdint>

// Texels u from uMin to uMax and v from vMin to vMax, ends included.
struct TexelWindow {
    int uMin;
    int uMax;
    int vMin;
    int vMax;
};

enum class Seen {
    Unsure,      // too near a face's outline, or too many texels under the pixel
    Background,  // the ray misses the die
    Face,        // one of the texels of the window
};

struct PixelExpectation {
    Seen seen = Seen::Unsure;
    int face = -1;  // painted last among the faces the ray meets
    TexelWindow texels = {};
};

struct Vec3 {
    double x;
    double y;
    double z;
};

class DieRayModel {
public:
    // Angles in 1/256 degree, as the die keeps them.
    DieRayModel(int32_t angleX, int32_t angleY);

    PixelExpectation At(int x, int y) const;

    // The face whose hit point on the ray through (x, y) is nearest the eye,
    // or -1 when the ray misses the die.
    int NearestFaceAt(int x, int y) const;

    // How many of the twelve triangles have corners 1 and 2 within the affine
    // fill's depth tolerance of corner 0.
    int NearlyFlatTriangles() const;

private:
    struct Face {
        std::array<Vec3, 4> corners;  // camera space, in order round the face
        std::array<double, 4> u;
        std::array<double, 4> v;
        std::array<double, 8> screen;  // x, y of each corner in pixels
        double stray;                  // how far, in texels, an affine map may stray from the true one
    };

    static int FlatTriangles(const Face& face);
    static double AffineStray(const Face& face);

    bool Inside(const Face& face, double x, double y) const;
    double DistanceToOutline(const Face& face, double x, double y) const;
    Vec3 Hit(const Face& face, double x, double y) const;
    void TexelAt(const Face& face, double x, double y, double* u, double* v) const;

    std::array<Face, 6> faces_;
};

#endif
