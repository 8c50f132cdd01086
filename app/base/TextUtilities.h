#pragma once

#include <QString>

// A new random UUID in canonical form: 36 characters, upper-case hexadecimal digits, for example
// "0F8FAD5B-D9CB-469F-A165-70867728950E". Records and stored files are named by these.
QString universallyUniuqueIdentifier();

// A file path in the form the mail-client helpers expect. Our helpers take POSIX paths, so the path
// is answered as it is.
QString hfsPath(const QString& path);
