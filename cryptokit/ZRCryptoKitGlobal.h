#pragma once

// Symbols of libZRCryptoKit.so that other modules use by name.
#define ZRCRYPTOKIT_EXPORT __attribute__((visibility("default")))
