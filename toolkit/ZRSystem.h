#pragma once

#include "ZRKitGlobal.h"

#include <QString>

// Facts about the running system.
class ZRKIT_EXPORT ZRSystem
{
public:
    // The operating-system release in packed form 0xMMmp with the last digit masked off: two
    // decimal digits of the major version, one of the minor version (9 at most), as hexadecimal
    // digits ("12.4" gives 0x1240). The distribution's release is used, and the kernel's when the
    // distribution reports none. -1 when neither can be read.
    static qint32 version();

    // The packing of `version` for a version text "major[.minor[.patch]]" (anything after the
    // leading numbers is ignored); -1 when the text does not start with a number.
    static qint32 packedVersion(const QString& versionText);

    // The computer's host name, or a null text when it has none.
    static QString computerName();
};
