// The plain functions and constants of libZRCryptoKit.so are found by their names, as a program
// that loads the library at run time finds them.
#include <cstddef>
#include <cstdint>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct LibraryDeleter
{
    void operator()(void* handle) const { dlclose(handle); }
};

} // namespace

TEST(CryptoKitExports, PlainFunctionsAndConstantsAreFoundByName)
{
    const std::unique_ptr<void, LibraryDeleter> library(dlopen(ZRCRYPTOKIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL));
    ASSERT_TRUE(library) << dlerror();
    const char* names[] = {
        "base32_encoder_last_quintent", "base32_encoder_output_padding_size",
        "base32_encoder_buffer_size",   "base32_encode",
        "base32_decoder_buffer_size",   "base32_decode",
        "ZRPlainDataChunkSize",
    };
    for (const char* name : names) {
        EXPECT_NE(dlsym(library.get(), name), nullptr) << name;
    }

    const auto* chunkSize = static_cast<const uint64_t*>(dlsym(library.get(), "ZRPlainDataChunkSize"));
    ASSERT_NE(chunkSize, nullptr);
    EXPECT_EQ(*chunkSize, 0x100000u);

    using SizeFunction = size_t (*)(size_t);
    const auto bufferSize = reinterpret_cast<SizeFunction>(dlsym(library.get(), "base32_encoder_buffer_size"));
    ASSERT_NE(bufferSize, nullptr);
    EXPECT_EQ(bufferSize(6), 16u);
}

TEST(CryptoKitExports, InternalsStayHidden)
{
    const std::unique_ptr<void, LibraryDeleter> library(dlopen(ZRCRYPTOKIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL));
    ASSERT_TRUE(library) << dlerror();
    // The class that talks to the Secret Service is not part of the interface.
    EXPECT_EQ(dlsym(library.get(), "_ZN15ZRSecretSession4failEiRK7QString"), nullptr);
}
