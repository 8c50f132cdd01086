#pragma once

// Owning handles for the GLib and libsecret objects the keychain uses (internal to the library).
#include <libsecret/secret.h>
#include <memory>

namespace ZRGLib {

struct ErrorDeleter
{
    void operator()(GError* error) const { g_error_free(error); }
};
using Error = std::unique_ptr<GError, ErrorDeleter>;

struct ObjectDeleter
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template<typename T>
using Object = std::unique_ptr<T, ObjectDeleter>;

struct HashTableDeleter
{
    void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
using HashTable = std::unique_ptr<GHashTable, HashTableDeleter>;

struct SecretValueDeleter
{
    void operator()(SecretValue* value) const { secret_value_unref(value); }
};
using Value = std::unique_ptr<SecretValue, SecretValueDeleter>;

// A list of SecretItem references, each released with the list.
struct ItemListDeleter
{
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using ItemList = std::unique_ptr<GList, ItemListDeleter>;

// Collects a GError out-parameter into an Error when it goes out of scope:
//   ZRGLib::Error error; call(..., ZRGLib::ErrorSlot(error));
class ErrorSlot
{
public:
    explicit ErrorSlot(Error& target)
        : m_target(target)
    { }
    ~ErrorSlot() { m_target.reset(m_error); }
    ErrorSlot(const ErrorSlot&) = delete;
    ErrorSlot& operator=(const ErrorSlot&) = delete;

    operator GError**() { return &m_error; }

private:
    Error& m_target;
    GError* m_error = nullptr;
};

} // namespace ZRGLib
