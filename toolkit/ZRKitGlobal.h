#pragma once

// Symbols of libZRKit.so that other modules use by name.
#define ZRKIT_EXPORT __attribute__((visibility("default")))

extern "C" {
// Width of the arrow point of the back button, used by the drawing helpers.
ZRKIT_EXPORT extern const double ZRBackButtonTriangleWidth;
}
