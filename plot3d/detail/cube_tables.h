// Cube topology shared by the 3-D charts. Corner n of the cube has x from bit 2, y from
// bit 1 and z from bit 0 of n (set: the positive side).
#pragma once

namespace kvr::detail {

// Faces of the cube, corners in polygon order.
inline constexpr int kCubeFace[6][4] = {{1, 5, 7, 3}, {2, 3, 7, 6}, {2, 6, 4, 0},
                                        {0, 4, 5, 1}, {4, 5, 7, 6}, {0, 1, 3, 2}};
// The three faces meeting at each corner.
inline constexpr int kCubeCornerFaces[8][3] = {{5, 3, 2}, {0, 3, 5}, {1, 2, 5}, {0, 1, 5},
                                               {3, 4, 2}, {0, 3, 4}, {1, 2, 4}, {0, 4, 1}};
// The three corners joined to each corner by an edge.
inline constexpr int kCubeNeighbours[8][3] = {{1, 2, 4}, {0, 3, 5}, {0, 3, 6}, {1, 2, 7},
                                              {0, 5, 6}, {1, 4, 7}, {2, 4, 7}, {3, 5, 6}};

}  // namespace kvr::detail
