#version 330 core
// Flashlight lighting for the room, floor and blocks, darkened where the
// fixed overhead light's shadow map says something stands in between.

layout(location = 0) out vec4 FragColor;
layout(location = 1) out vec4 BrightColor;

in vec3 FragPos;
in vec3 Normal;
in vec2 TexCoords;
in vec4 FragPosLightSpace;

struct Material {
    sampler2D diffuse;
    sampler2D specular;
    float shininess;
};

struct Light {
    vec3 position;
    vec3 direction;
    float cutOff;
    float outerCutOff;

    vec3 ambient;
    vec3 diffuse;
    vec3 specular;

    float constant;
    float linear;
    float quadratic;
};

uniform Material material;
uniform Light light;
uniform vec3 viewPos;
uniform sampler2D shadowMap;
// A mark on every face that tells the block kinds apart without colour: 0
// none (the default, and the plain room's), 1 a plus, 2 a ring.
uniform int blockMark;
// How much shows through a surface: 0 solid (the default), towards 1 faint.
uniform float seeThrough;

// The shadow light looks from (5, 9.5, 5) at the origin through an
// orthographic box, so the direction towards it is the same everywhere.
const vec3 towardsShadowLight = normalize(vec3(5.0, 9.5, 5.0));
// Only what rises above this luminance feeds the bloom.
const float bloomThreshold = 1.0;

float shadowAmount(vec3 normal) {
    vec3 projected = FragPosLightSpace.xyz / FragPosLightSpace.w * 0.5 + 0.5;
    // Beyond the light's box nothing was rendered, so nothing can shade it.
    if (projected.z > 1.0 || any(lessThan(projected.xy, vec2(0.0))) ||
        any(greaterThan(projected.xy, vec2(1.0)))) {
        return 0.0;
    }
    // Surfaces grazed by the light need more bias against self-shadowing.
    float cosTheta = clamp(dot(normal, towardsShadowLight), 0.05, 1.0);
    float tanTheta = sqrt(1.0 - cosTheta * cosTheta) / cosTheta;
    float bias = 0.0006 + min(0.0018 * tanTheta, 0.01);

    // Bilinearly weighted 2x2 comparison: soft edges for four fetches.
    ivec2 size = textureSize(shadowMap, 0);
    vec2 texelPos = projected.xy * vec2(size) - 0.5;
    ivec2 base = ivec2(floor(texelPos));
    vec2 weight = fract(texelPos);
    ivec2 maxTexel = size - 1;
    float receiver = projected.z - bias;
    float s00 = step(texelFetch(shadowMap, clamp(base, ivec2(0), maxTexel), 0).r, receiver);
    float s10 = step(texelFetch(shadowMap, clamp(base + ivec2(1, 0), ivec2(0), maxTexel), 0).r,
                     receiver);
    float s01 = step(texelFetch(shadowMap, clamp(base + ivec2(0, 1), ivec2(0), maxTexel), 0).r,
                     receiver);
    float s11 = step(texelFetch(shadowMap, clamp(base + ivec2(1, 1), ivec2(0), maxTexel), 0).r,
                     receiver);
    return mix(mix(s00, s10, weight.x), mix(s01, s11, weight.x), weight.y);
}

vec3 brightPart(vec3 color) {
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    if (luminance <= bloomThreshold) {
        return vec3(0.0);
    }
    return color * ((luminance - bloomThreshold) / luminance);
}

// How much of the face's mark covers this point of the face.
float markCoverage(vec2 uv) {
    vec2 offset = abs(uv - 0.5);
    if (blockMark == 1) {
        bool across = offset.x < 0.08 && offset.y < 0.32;
        bool along = offset.y < 0.08 && offset.x < 0.32;
        return across || along ? 1.0 : 0.0;
    }
    if (blockMark == 2) {
        float radius = length(uv - 0.5);
        return radius > 0.2 && radius < 0.32 ? 1.0 : 0.0;
    }
    return 0.0;
}

void main() {
    // Both maps are read before the branch: implicit-derivative lookups are
    // only defined where every pixel of a quad takes the same path.
    vec3 albedo = texture(material.diffuse, TexCoords).rgb;
    vec3 specularSample = texture(material.specular, TexCoords).rgb;
    vec3 color = light.ambient * albedo;

    vec3 toLight = light.position - FragPos;
    float distance = length(toLight);
    vec3 lightDir = toLight / max(distance, 1e-4);
    float theta = dot(lightDir, normalize(-light.direction));
    // Outside the cone only the ambient term remains. GPUs skip the branch for
    // whole groups of pixels outside it; llvmpipe measured no gain from it.
    if (theta > light.outerCutOff) {
        vec3 viewDir = normalize(viewPos - FragPos);
        // The room box is seen from inside, against its outward normals:
        // light every surface on the side the viewer sees.
        vec3 norm = faceforward(normalize(Normal), -viewDir, normalize(Normal));
        float diff = max(dot(norm, lightDir), 0.0);
        vec3 reflectDir = reflect(-lightDir, norm);
        float highlight = pow(max(dot(viewDir, reflectDir), 0.0), material.shininess);

        float spot = smoothstep(0.0, 1.0, clamp((theta - light.outerCutOff) /
                                                    (light.cutOff - light.outerCutOff),
                                                0.0, 1.0));
        float attenuation = 1.0 / (light.constant + light.linear * distance +
                                   light.quadratic * distance * distance);
        float lit = spot * attenuation * (1.0 - shadowAmount(norm));
        color += lit * (light.diffuse * diff * albedo +
                        light.specular * highlight * specularSample);
    }

    // The mark is pale and unlit, so it reads in any light and in grey.
    color = mix(color, vec3(0.92), markCoverage(TexCoords));
    FragColor = vec4(color, 1.0 - seeThrough);
    BrightColor = vec4(brightPart(color), 1.0 - seeThrough);
}
