#pragma once

#include <QString>

// Version numbers ordered the way Debian packages order them, which also suits AppStream release
// numbers: "[epoch:]upstream[-revision]", compared part by part; within a part, runs of digits
// compare as numbers and the other characters one by one, letters before non-letters and "~"
// before everything, even the end ("1.0~rc1" comes before "1.0").
namespace SoftwareVersion {

// Negative when a comes before b, 0 when they are the same version, positive when a comes after b.
int compare(const QString& a, const QString& b);

// The version without epoch and Debian revision: "2:1.4.2-3" gives "1.4.2", "1.0-1ubuntu2" gives
// "1.0", "2:3" gives "3".
QString upstream(const QString& version);

} // namespace SoftwareVersion
