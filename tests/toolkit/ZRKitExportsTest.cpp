// The plain functions and the constant are looked up by name in the built library, as a program
// that loads it dynamically would do, and called through the found addresses.
#include "ZRKitGlobal.h"

#include <QByteArray>
#include <QSet>
#include <QStringList>
#include <QVariant>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

class LoadedLibrary
{
public:
    LoadedLibrary()
        : m_handle(dlopen(ZRKIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL))
    { }
    ~LoadedLibrary()
    {
        if (m_handle) {
            dlclose(m_handle);
        }
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool isLoaded() const { return m_handle != nullptr; }
    void* symbol(const char* name) const { return dlsym(m_handle, name); }

private:
    void* m_handle;
};

using EmptinessTest = bool (*)(const QVariant&);

} // namespace

TEST(ZRKitExports, EveryPlainFunctionAndTheConstantAreFoundByName)
{
    LoadedLibrary library;
    ASSERT_TRUE(library.isLoaded()) << dlerror();
    for (const char* name : {"ZRIsEmptyString", "ZRIsEmptyData", "ZRIsEmptyArray", "ZRIsEmptySet", "ZRStringFromBOOL",
                             "ZRBackButtonTriangleWidth"}) {
        EXPECT_NE(library.symbol(name), nullptr) << name;
    }
    const auto* width = static_cast<const double*>(library.symbol("ZRBackButtonTriangleWidth"));
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(*width, 7.0);
}

TEST(ZRKitExports, FunctionsFoundByNameWork)
{
    LoadedLibrary library;
    ASSERT_TRUE(library.isLoaded()) << dlerror();
    const auto isEmptyString = reinterpret_cast<EmptinessTest>(library.symbol("ZRIsEmptyString"));
    const auto fromBool = reinterpret_cast<QString (*)(bool)>(library.symbol("ZRStringFromBOOL"));
    ASSERT_NE(isEmptyString, nullptr);
    ASSERT_NE(fromBool, nullptr);
    EXPECT_TRUE(isEmptyString(QString()));
    EXPECT_FALSE(isEmptyString(QStringLiteral(" ")));
    EXPECT_EQ(fromBool(true), QStringLiteral("YES"));
    EXPECT_EQ(fromBool(false), QStringLiteral("NO"));
}

TEST(ZRKitEmptiness, StringAndDataCountOnlyLengthAndTreatThePlaceholderAsEmpty)
{
    struct Case
    {
        const char* what;
        QVariant value;
        bool empty;
    };
    const Case cases[] = {
        {"null placeholder", QVariant(), true},
        {"null pointer", QVariant::fromValue(nullptr), true},
        {"null text", QString(), true},
        {"empty text", QStringLiteral(""), true},
        {"blanks", QStringLiteral("   "), false},
        {"a line break", QStringLiteral("\n"), false},
        {"empty bytes", QByteArray(), true},
        {"one zero byte", QByteArray(1, '\0'), false},
        {"a number", 0, false},
        {"an empty list", QVariantList(), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZRIsEmptyString(c.value), c.empty) << c.what;
        EXPECT_EQ(ZRIsEmptyData(c.value), c.empty) << c.what;
    }
}

TEST(ZRKitEmptiness, ArraysAndSetsCountElements)
{
    struct Case
    {
        const char* what;
        QVariant value;
        bool empty;
    };
    const Case cases[] = {
        {"null", QVariant(), true},
        {"empty list", QVariantList(), true},
        {"empty string list", QStringList(), true},
        {"list holding only the placeholder", QVariantList {QVariant()}, false},
        {"string list", QStringList {QString()}, false},
        {"empty set", QVariant::fromValue(QSet<QString>()), true},
        {"set", QVariant::fromValue(QSet<QString> {QStringLiteral("a")}), false},
        {"empty text is no collection", QString(), false},
        {"empty bytes are no collection", QByteArray(), false},
        {"a number is no collection", 3, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZRIsEmptyArray(c.value), c.empty) << c.what;
        EXPECT_EQ(ZRIsEmptySet(c.value), c.empty) << c.what;
    }
}
