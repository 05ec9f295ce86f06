#version 330 core
// The depth buffer is the only result of the shadow pass; no colour is written.

void main() {
}
