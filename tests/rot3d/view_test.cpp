// TRot3D view: the integer matrices in both modes and handedness, the projection's
// integer division and limits, magnification, centres and the cube's size.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "platform/registry.h"
#include "rot3d/rot3d.h"

namespace {

using kvr::Integer;
using kvr::TRot3D;

// Rows of the matrix as given by GetRotMat.
struct Mat {
  Integer m[3][3];
};
Mat mat(const TRot3D& r) {
  Mat a{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) a.m[i][j] = r.GetRotMat(i + 1, j + 1);
  return a;
}

void expect_rows(const TRot3D& r, std::initializer_list<std::initializer_list<Integer>> rows) {
  int i = 1;
  for (const auto& row : rows) {
    int j = 1;
    for (Integer v : row) {
      EXPECT_EQ(r.GetRotMat(i, j), v) << "element " << i << ", " << j;
      ++j;
    }
    ++i;
  }
}

TEST(Rot3DView, TwoAngleMatrixBothHandednessWithExactZeros) {
  TRot3D r(nullptr);
  r.SetViewAngles(90, 0, 0);
  // cos 90 is not 0 in floating point; the element must still be exactly 0.
  expect_rows(r, {{1000, 0, 0}, {0, 0, -1000}, {0, 1000, 0}});
  r.SetViewAngles(0, 45, 30);  // the y angle does not enter
  expect_rows(r, {{866, -500, 0}, {500, 866, 0}, {0, 0, 1000}});
  r.SetAxDir(kvr::adRightHanded);
  expect_rows(r, {{-500, 866, 0}, {866, 500, 0}, {0, 0, 1000}});
  r.SetViewAngles(60, 45, 180);
  expect_rows(r, {{0, -1000, 0}, {-500, 0, -866}, {-866, 0, 500}});
  EXPECT_EQ(r.GetRotMat(0, 1), 0);
  EXPECT_EQ(r.GetRotMat(1, 4), 0);
}

TEST(Rot3DView, ThreeAngleMatrix) {
  TRot3D r(nullptr);
  r.SetMRot3Axes(true);
  r.SetViewAngles(0, 0, 0);
  expect_rows(r, {{1000, 0, 0}, {0, 1000, 0}, {0, 0, 1000}});
  r.SetViewAngles(0, 90, 0);
  expect_rows(r, {{0, 0, 1000}, {0, 1000, 0}, {-1000, 0, 0}});
  // About z alone it agrees with the two-angle matrix.
  r.SetViewAngles(0, 0, 30);
  expect_rows(r, {{866, -500, 0}, {500, 866, 0}, {0, 0, 1000}});
  r.SetAxDir(kvr::adRightHanded);
  expect_rows(r, {{-500, 866, 0}, {866, 500, 0}, {0, 0, 1000}});
  // Switching the mode back recomputes.
  r.SetMRot3Axes(false);
  r.SetAxDir(kvr::adLeftHanded);
  r.SetViewAngles(90, 0, 0);
  EXPECT_EQ(r.GetRotMat(2, 3), -1000);
}

// Every matrix turns the cube: orthogonal rows of length 1000 (within rounding), so
// that no view shears or stretches the picture.
TEST(Rot3DView, EveryMatrixIsARotation) {
  TRot3D r(nullptr);
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> ang(-400, 400);
  for (int mode = 0; mode < 4; ++mode) {
    r.SetMRot3Axes(mode & 1);
    r.SetAxDir(mode & 2 ? kvr::adRightHanded : kvr::adLeftHanded);
    for (int k = 0; k < 200; ++k) {
      r.SetViewAngles(ang(rng), ang(rng), ang(rng));
      const Mat a = mat(r);
      for (int i = 0; i < 3; ++i)
        for (int j = i; j < 3; ++j) {
          int64_t dot = 0;
          for (int c = 0; c < 3; ++c) dot += int64_t(a.m[i][c]) * a.m[j][c];
          EXPECT_NEAR(double(dot), i == j ? 1e6 : 0.0, 2000.0) << "mode " << mode << " rows " << i << j;
        }
    }
  }
}

TEST(Rot3DView, AnglesAreStoredUnwrappedAndNonFiniteOnesIgnored) {
  TRot3D r(nullptr);
  EXPECT_DOUBLE_EQ(r.ViewAngleX(), 110);
  EXPECT_DOUBLE_EQ(r.ViewAngleY(), 150);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 210);
  r.SetViewAngleZ(725);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 725);
  r.SetViewAngles(std::nan(""), 0, 0);
  r.SetViewAngleX(std::numeric_limits<double>::infinity());
  EXPECT_DOUBLE_EQ(r.ViewAngleX(), 110);
}

// Identity view, magnification 1 (divisor 4000), centre (150, 100).
struct Projection : ::testing::Test {
  TRot3D r{nullptr};
  void SetUp() override {
    r.SetBounds(0, 0, 300, 200);
    r.SetMRot3Axes(true);
    r.SetViewAngles(0, 0, 0);
    r.SetMagnify(1.0);
  }
};

TEST_F(Projection, IntegerDivisionTruncatesTowardsZeroAndResultsAreLimited) {
  EXPECT_EQ(r.MagnifyDivisor(), 4000);
  EXPECT_EQ(r.Project(0, 0, 0).X, 150);
  EXPECT_EQ(r.Project(7, 0, 0).X, 151);   // 7000 div 4000
  EXPECT_EQ(r.Project(-7, 0, 0).X, 149);  // -1, not -2
  EXPECT_EQ(r.Project(0, -3, 0).Y, 100);
  EXPECT_EQ(r.Project(0, 400, 999).Y, 200);
  EXPECT_EQ(r.Project(TRot3D::kModelLimit, 0, 0).X, 30000);
  EXPECT_EQ(r.Project(0, -TRot3D::kModelLimit, 0).Y, -30000);
  r.SetViewAngles(0, 0, 45);
  // Sums past 32 bits stay exact.
  const kvr::TPoint p = r.Project(TRot3D::kModelLimit, TRot3D::kModelLimit, TRot3D::kModelLimit);
  EXPECT_EQ(p.X, 150);
  EXPECT_EQ(p.Y, 30000);
}

TEST_F(Projection, MagnificationIsKeptAsItsIntegerDivisor) {
  r.SetMagnify(3);
  EXPECT_EQ(r.MagnifyDivisor(), 1333);
  EXPECT_DOUBLE_EQ(r.Magnification(), 4000.0 / 1333);
  r.SetMagnify(0.01);
  EXPECT_EQ(r.MagnifyDivisor(), 40000);
  r.SetMagnify(1e9);
  EXPECT_EQ(r.MagnifyDivisor(), 800);
  r.SetMagnify(std::nan(""));
  EXPECT_EQ(r.MagnifyDivisor(), 800);
  EXPECT_DOUBLE_EQ(TRot3D(nullptr).Magnification(), 0.8);
}

TEST(Rot3DView, CentresFollowTheSizeNotTheConstruction) {
  TRot3D r(nullptr);
  EXPECT_EQ(r.CentX(), 0);
  r.SetBounds(0, 0, 300, 201);
  EXPECT_EQ(r.CentX(), 150);
  EXPECT_EQ(r.CentY(), 100);
  r.SetCentX(1000);
  r.SetCentY(-5);
  EXPECT_EQ(r.CentX(), 300);
  EXPECT_EQ(r.CentY(), 0);
  r.SetBounds(10, 10, 300, 201);  // moved, not resized
  EXPECT_EQ(r.CentX(), 300);
  r.SetBounds(10, 10, 500, 401);
  EXPECT_EQ(r.CentX(), 250);
  EXPECT_EQ(r.CentY(), 200);
}

TEST(Rot3DView, CubeAndAxisSizes) {
  TRot3D r(nullptr);
  EXPECT_EQ(r.BoundBoxSize(), 800);
  EXPECT_EQ(r.CubeCorners[5][0], 400);
  EXPECT_EQ(r.CubeCorners[5][1], -400);
  EXPECT_EQ(r.CubeCorners[5][2], 400);
  r.SetBoundBoxSize(1001);
  EXPECT_EQ(r.BoundBoxSize(), 1000);
  EXPECT_EQ(r.CubeCorners[7][1], 500);
  r.SetBoundBoxSize(9000);
  EXPECT_EQ(r.BoundBoxSize(), 4000);
  r.SetBoundBoxSize(-3);
  EXPECT_EQ(r.BoundBoxSize(), 0);
  EXPECT_EQ(r.CubeCorners[7][0], 0);
  r.SetAxSize(5000);
  EXPECT_EQ(r.AxSize(), 4000);
  r.SetAxSize(-1);
  EXPECT_EQ(r.AxSize(), 0);
}

TEST(Rot3DView, RegisteredOnThePalette) {
  kvr::Kvr_rot3d::Register();
  kvr::TComponent* c = kvr::CreateRegisteredComponent("TRot3D", nullptr);
  ASSERT_NE(dynamic_cast<TRot3D*>(c), nullptr);
  delete c;
}

}  // namespace
