#include "gfx/matrix.h"

#include <gtest/gtest.h>

namespace {

using gfx::Matrix;
using gfx::Point;

void expectPoint(Point actual, Point expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

TEST(Matrix, MapsRowVectors)
{
    const Matrix m{2, 3, 5, 7, 11, 13};
    // x' = m11·x + m21·y + dx, y' = m12·x + m22·y + dy
    expectPoint(m.transformPoint({1, 0}), {13, 16});
    expectPoint(m.transformPoint({0, 1}), {16, 20});
    expectPoint(m.transformPoint({2, 3}), {2 * 2 + 5 * 3 + 11, 3 * 2 + 7 * 3 + 13});
}

TEST(Matrix, QuarterTurnStandsTheXAxisUp)
{
    const Matrix quarter{0, -1, 1, 0, 0, 100};
    expectPoint(quarter.transformPoint({0, 0}), {0, 100});
    expectPoint(quarter.transformPoint({100, 0}), {0, 0});  // x runs upward
    expectPoint(quarter.transformPoint({0, 10}), {10, 100}); // y runs right
}

TEST(Matrix, ProductAppliesTheLeftMatrixFirst)
{
    const Matrix child = Matrix::scale(2, 3);
    const Matrix parent = Matrix::translation(10, 20);
    const Point p{1, 1};
    expectPoint((child * parent).transformPoint(p), parent.transformPoint(child.transformPoint(p)));
    expectPoint((child * parent).transformPoint(p), {12, 23});
    expectPoint((parent * child).transformPoint(p), {22, 63});

    const Matrix rotation = Matrix::rotation(90);
    expectPoint(rotation.transformPoint({1, 0}), {0, 1}); // clockwise on a y-down screen
    const Matrix composed = rotation * Matrix::translation(5, 0) * Matrix::scale(2, 2);
    expectPoint(composed.transformPoint({1, 0}), {10, 2});
}

TEST(Matrix, InverseUndoesAndSingularStaysPut)
{
    const Matrix m{0, -1, 1, 0, 3, 40};
    Matrix inverse = m;
    ASSERT_TRUE(inverse.invert());
    for (Point p : {Point{0, 0}, Point{7, -2}, Point{-3.5f, 12}})
        expectPoint(inverse.transformPoint(m.transformPoint(p)), p);
    const Matrix product = m * inverse;
    const float expected[] = {1, 0, 0, 1, 0, 0};
    const float actual[] = {product.m11, product.m12, product.m21, product.m22, product.dx, product.dy};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "element " << i;

    Matrix singular{1, 2, 2, 4, 5, 6};
    const Matrix before = singular;
    EXPECT_FALSE(singular.invert());
    EXPECT_EQ(singular, before);
}

} // namespace
