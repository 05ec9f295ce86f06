#version 330 core
// A soft round particle. It draws into both outputs of the lit-scene target:
// the scene colour gets the particle, the bright colour a faint glow of it so
// the fountain shimmers a little through the bloom.
in vec2 cornerOffset;
in vec4 particleColor;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 brightColor;

const float glowShare = 0.25;

void main() {
    // Corners run from -0.5 to 0.5: fade out towards the inscribed circle.
    float falloff = 1.0 - smoothstep(0.3, 0.5, length(cornerOffset));
    if (falloff <= 0.0)
        discard;
    float alpha = particleColor.a * falloff;
    fragColor = vec4(particleColor.rgb, alpha);
    brightColor = vec4(particleColor.rgb, alpha * glowShare);
}
