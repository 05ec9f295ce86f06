#version 330 core
// One direction of the separable bloom blur: the binomial row
// 1 8 28 56 70 56 28 8 1 (/256), nine texels wide. Each fragment reads whole
// texels with texelFetch around the texel under its coordinate; on a software
// rasteriser that costs far less than filtered reads, even against the five
// bilinear reads that could cover the same nine taps. Taps past the border
// repeat the edge texel.
in vec2 uv;

uniform sampler2D image;
uniform bool horizontal;

out vec4 fragColor;

const float weights[5] = float[](70.0 / 256.0, 56.0 / 256.0, 28.0 / 256.0, 8.0 / 256.0,
                                 1.0 / 256.0);

void main() {
    ivec2 lastTexel = textureSize(image, 0) - 1;
    ivec2 centre = min(ivec2(uv * vec2(lastTexel + 1)), lastTexel);
    ivec2 stride = horizontal ? ivec2(1, 0) : ivec2(0, 1);
    vec3 sum = texelFetch(image, centre, 0).rgb * weights[0];
    for (int i = 1; i < 5; ++i) {
        ivec2 ahead = min(centre + stride * i, lastTexel);
        ivec2 behind = max(centre - stride * i, ivec2(0));
        sum += (texelFetch(image, ahead, 0).rgb + texelFetch(image, behind, 0).rgb) * weights[i];
    }
    fragColor = vec4(sum, 1.0);
}
