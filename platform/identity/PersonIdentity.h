#pragma once

#include <QString>

// Who the person is, as one place on this computer knows them.
struct PersonIdentity
{
    QString name;
    QString email;
    QString organization;

    // A source yields an identity when it knows a name or an address; an organisation alone is
    // not enough to register software with.
    bool isUsable() const { return !name.trimmed().isEmpty() || !email.trimmed().isEmpty(); }
};
