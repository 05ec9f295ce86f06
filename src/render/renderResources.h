// Every GL object the frame uses, made once at start-up and kept for the run.
// The program-wide objects of the renderer are all declared here.
#pragma once

#include "assets/textRenderer.h"
#include "render/shaderProgram.h"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>

#include <memory>

constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;

// The eight programs, in build order. basicProgram is released when the
// frame loop ends, lampProgram at process exit; the others live on.
extern std::unique_ptr<ShaderProgram> basicProgram;
extern std::unique_ptr<ShaderProgram> lampProgram;
extern ShaderProgram* textProgram;
extern ShaderProgram* toonProgram;
extern ShaderProgram* shadowProgram;
extern ShaderProgram* particleProgram;
extern ShaderProgram* blurProgram;
extern ShaderProgram* bloomCombineProgram;

extern TextRenderer textRenderer;
extern glm::mat4 textProjection;

// Built-in geometry.
extern GLuint cubeVao, cubeVbo;
extern GLuint lightVao;
extern GLuint planeVao, planeVbo;
extern GLuint quadVao, quadVbo;

// Image textures.
extern GLuint diffuseMap, specularMap, wallTexture;

// Off-screen targets: the lit scene (scene colour and bright colour) and the
// two ping-pong blur targets.
extern GLuint hdrTarget;
extern GLuint hdrColor[2];
extern GLuint hdrDepth;
extern GLuint blurTargets[2];
extern GLuint blurColor[2];

// Vertex tables: position, normal, texture coordinate (cube and plane);
// position, texture coordinate (quad).
extern const float cubeVertices[36 * 8];
extern const float planeVertices[6 * 8];
extern const float quadVertices[4 * 5];

// Stage one: the eight programs, the text renderer with its font, the text
// projection (textProgram is left current).
void setupRenderResources();

// Stage two, in start-up order (the particle resources and the shadow map
// come from their own files).
void createCubeGeometry();
void createLightMarkerGeometry();
void createPlaneGeometry();
void loadImageTextures();
void setSamplerUnits();
void createHdrTarget();
void createBlurTargets();
void createQuadGeometry();

// One texture from an image file; a file that cannot be decoded gets a
// placeholder and a console line.
void loadTexture(GLuint& texture, const char* path);

// True while a GL context is current: releases at process exit only happen
// while there is still a context to release into.
bool glContextIsCurrent();
