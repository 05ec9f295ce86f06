#version 330 core
// Cartoon look for the trophy and the stars: the flashlight's diffuse term
// falls into a few flat bands, highlights are hard spots, edges catch a rim.

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

const float bloomThreshold = 1.0;
const float bandCount = 4.0;

float banded(float value) {
    // A narrow smooth step at each band edge avoids crawling stair-steps.
    float scaled = value * bandCount;
    float band = floor(scaled);
    float edge = fwidth(scaled);
    float blend = smoothstep(1.0 - edge, 1.0, fract(scaled));
    return (band + blend) / bandCount;
}

vec3 brightPart(vec3 color) {
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    if (luminance <= bloomThreshold) {
        return vec3(0.0);
    }
    return color * ((luminance - bloomThreshold) / luminance);
}

void main() {
    vec3 albedo = texture(material.diffuse, TexCoords).rgb;
    vec3 viewDir = normalize(viewPos - FragPos);
    // Thin parts of a model may show their back faces: light the seen side.
    vec3 norm = faceforward(normalize(Normal), -viewDir, normalize(Normal));
    vec3 toLight = light.position - FragPos;
    float distance = length(toLight);
    vec3 lightDir = toLight / max(distance, 1e-4);

    float theta = dot(lightDir, normalize(-light.direction));
    float spot = step(light.outerCutOff, theta) *
                 mix(0.5, 1.0, step(light.cutOff, theta));
    float attenuation = 1.0 / (light.constant + light.linear * distance +
                               light.quadratic * distance * distance);

    float diff = banded(max(dot(norm, lightDir), 0.0));
    vec3 reflectDir = reflect(-lightDir, norm);
    float specPower = pow(max(dot(viewDir, reflectDir), 0.0), material.shininess);
    float highlight = smoothstep(0.45, 0.55, specPower);
    vec3 specularSample = max(texture(material.specular, TexCoords).rgb, vec3(0.35));

    float rim = smoothstep(0.62, 0.7, 1.0 - max(dot(viewDir, norm), 0.0));

    vec3 color = light.ambient * albedo;
    color += spot * attenuation *
             (light.diffuse * diff * albedo + light.specular * highlight * specularSample);
    color += rim * 0.35 * albedo;

    FragColor = vec4(color, 1.0);
    BrightColor = vec4(brightPart(color), 1.0);
}
