// The built-in geometry's vertex tables: position, normal, texture coordinate
// (cube and floor plane); position, texture coordinate (full-screen quad).
#pragma once

constexpr int cubeVertexCount = 36;
constexpr int planeVertexCount = 6;
constexpr int quadVertexCount = 4;
constexpr int cellOutlineVertexCount = 24;

extern const float cubeVertices[cubeVertexCount * 8];
extern const float planeVertices[planeVertexCount * 8];
extern const float quadVertices[quadVertexCount * 5];
// The twelve edges of the unit cube around the origin, as line pairs of
// positions.
extern const float cellOutlineVertices[cellOutlineVertexCount * 3];
