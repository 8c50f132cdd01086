#include "ZRManagedObject.h"

#include "base/Log.h"
#include "persistence/EntityDescription.h"

#include <QRandomGenerator>

#include <cstring>

using Persistence::ManagedObject;

QString ZRManagedObject::newUUIDString()
{
    // A random (version 4) UUID in upper-case hex. The process-wide generator is seeded from the
    // system's entropy source; asking that source itself for every new object costs about 2 µs
    // each on some machines, which an import of thousands of rows would feel.
    quint32 words[4];
    QRandomGenerator::global()->fillRange(words);
    uchar bytes[16];
    std::memcpy(bytes, words, sizeof bytes);
    bytes[6] = uchar((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = uchar((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    static constexpr char Digits[] = "0123456789ABCDEF";
    QString text(36, Qt::Uninitialized);
    QChar* out = text.data();
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            *out++ = QLatin1Char('-');
        }
        *out++ = QLatin1Char(Digits[bytes[i] >> 4]);
        *out++ = QLatin1Char(Digits[bytes[i] & 0xF]);
    }
    return text;
}

bool ZRManagedObject::copyAttributesFromManagedObject(ManagedObject* source, const QSet<QString>& excluded)
{
    if (!source || !source->entity()) {
        return false;
    }
    for (const auto& attribute : source->entity()->attributes()) {
        if (excluded.contains(attribute.name)) {
            continue;
        }
        if (!entity()->attribute(attribute.name)) {
            Log::write(QStringLiteral("Attribute %1 of %2 has no place in %3 and is not copied.")
                           .arg(attribute.name, source->entityName(), entityName()));
            continue;
        }
        if (!setValue(attribute.name, source->primitiveValue(attribute.name))) {
            Log::write(QStringLiteral("Copying attribute %1 of %2 failed.").arg(attribute.name, source->entityName()));
            return false;
        }
    }
    return true;
}

bool ZRManagedObject::copyRelationshipsFromManagedObject(ManagedObject* source, ReferenceMap& reference)
{
    if (!source || !source->entity()) {
        return false;
    }
    for (const auto& relationship : source->entity()->relationships()) {
        const auto* mine = entity()->relationship(relationship.name);
        if (!mine || mine->toMany != relationship.toMany) {
            continue;
        }
        if (relationship.toMany) {
            for (ManagedObject* related : source->toMany(relationship.name)) {
                if (ManagedObject* copy = reference.value(related->objectID().uriString())) {
                    addToMany(relationship.name, copy);
                }
            }
        } else if (ManagedObject* related = source->toOne(relationship.name)) {
            if (ManagedObject* copy = reference.value(related->objectID().uriString())) {
                setToOne(relationship.name, copy);
            }
        }
    }
    return true;
}

bool ZRManagedObject::copyFromManagedObject(ManagedObject* source, ReferenceMap& reference)
{
    if (!copyAttributesFromManagedObject(source) || !copyRelationshipsFromManagedObject(source, reference)) {
        return false;
    }
    reference.insert(source->objectID().uriString(), this);
    return true;
}
