#version 330 core
// One direction of the separable bloom blur. The kernel is the binomial row
// 1 8 28 56 70 56 28 8 1 (/256), nine taps wide. Neighbouring taps are paired
// and fetched with one bilinear read placed between their texel centres at
// the weighted offset, so nine taps cost five texture reads:
//   centre 70/256;  taps 1 and 2: 84/256 at (56*1 + 28*2) / 84 = 4/3;
//   taps 3 and 4: 9/256 at (8*3 + 1*4) / 9 = 28/9.
in vec2 uv;

uniform sampler2D image;
uniform bool horizontal;

out vec4 fragColor;

const float centreWeight = 70.0 / 256.0;
const float nearWeight = 84.0 / 256.0;
const float farWeight = 9.0 / 256.0;
const float nearOffset = 4.0 / 3.0;
const float farOffset = 28.0 / 9.0;

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 stride = horizontal ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = texture(image, uv).rgb * centreWeight;
    sum += (texture(image, uv + stride * nearOffset).rgb +
            texture(image, uv - stride * nearOffset).rgb) * nearWeight;
    sum += (texture(image, uv + stride * farOffset).rgb +
            texture(image, uv - stride * farOffset).rgb) * farWeight;
    fragColor = vec4(sum, 1.0);
}
