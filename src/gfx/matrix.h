#pragma once
// A 2-D affine transform of 32-bit floats (m11, m12, m21, m22, dx, dy) that
// maps a row vector: x' = m11·x + m21·y + dx, y' = m12·x + m22·y + dy.
// a * b applies a first, then b, so a child's transform times its parent's
// gives the child's transform towards the parent's parent.

#include "gfx/geometry.h"

namespace gfx {

struct Matrix {
    float m11 = 1.0f;
    float m12 = 0.0f;
    float m21 = 0.0f;
    float m22 = 1.0f;
    float dx = 0.0f;
    float dy = 0.0f;

    static constexpr Matrix identity() { return {}; }
    static constexpr Matrix translation(float x, float y) { return {1, 0, 0, 1, x, y}; }
    static constexpr Matrix scale(float sx, float sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Rotation by angle degrees, clockwise on screen (y points down).
    static Matrix rotation(float degrees);

    float determinant() const { return m11 * m22 - m12 * m21; }
    bool isIdentity() const { return *this == Matrix{}; }

    Point transformPoint(Point p) const { return {m11 * p.x + m21 * p.y + dx, m12 * p.x + m22 * p.y + dy}; }
    // The smallest axis-aligned rectangle that holds the transformed
    // rectangle (not finite when the transform or the rectangle is not).
    Rect transformBounds(const Rect& r) const;

    // The inverse; false (and the matrix unchanged) when it is singular.
    bool invert();

    friend Matrix operator*(const Matrix& a, const Matrix& b)
    {
        return {a.m11 * b.m11 + a.m12 * b.m21,  a.m11 * b.m12 + a.m12 * b.m22,
                a.m21 * b.m11 + a.m22 * b.m21,  a.m21 * b.m12 + a.m22 * b.m22,
                a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
    }
    Matrix& operator*=(const Matrix& b) { return *this = *this * b; }

    friend bool operator==(const Matrix&, const Matrix&) = default;
};

} // namespace gfx
