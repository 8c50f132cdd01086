#include "ZRSystem.h"

#include <QRegularExpression>
#include <QSysInfo>

#include <algorithm>

namespace {

constexpr qint32 LastDigitMask = 0xfff0;

// A decimal number written with its digits read as hexadecimal: 12 becomes 0x12.
qint32 decimalDigitsAsHex(int value, int digits)
{
    qint32 packed = 0;
    for (int shift = 0; shift < digits * 4; shift += 4) {
        packed |= (value % 10) << shift;
        value /= 10;
    }
    return packed;
}

} // namespace

qint32 ZRSystem::packedVersion(const QString& versionText)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = pattern.match(versionText);
    if (!match.hasMatch()) {
        return -1;
    }
    // Each part is kept within the digits it has, as larger releases are still at least as new.
    const int major = std::min(match.captured(1).left(3).toInt(), 99);
    const int minor = match.captured(2).isEmpty() ? 0 : std::min(match.captured(2).left(2).toInt(), 9);
    const qint32 packed = (decimalDigitsAsHex(major, 2) << 8) | (decimalDigitsAsHex(minor, 1) << 4);
    return packed & LastDigitMask;
}

qint32 ZRSystem::version()
{
    const qint32 release = packedVersion(QSysInfo::productVersion());
    return release >= 0 ? release : packedVersion(QSysInfo::kernelVersion());
}

QString ZRSystem::computerName()
{
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? QString() : name;
}
