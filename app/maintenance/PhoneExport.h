#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The catalogue as one self-contained HTML page for reading on a phone: the products (the JSON
// array "list --json" prints) travel in the page's "keymoor-data" script element and their icons
// (PhoneExportIcons::iconMap) in its "keymoor-icons" element, both in clear or both sealed under a
// passphrase (PBKDF2-SHA256 and AES-256-GCM, which the page opens with WebCrypto).
namespace PhoneExport {

// The name the export gets in a remembered target folder.
QString defaultFileName();

// The JSON text made safe inside a script element: '<' and the line separators U+2028/U+2029 are
// written as \u escapes, so no title can close the element or open a comment.
QByteArray embeddableJson(const QByteArray& json);

// The envelopes of texts sealed under one key (one salt, an IV each): {"version":1,"kdf":
// "PBKDF2-SHA256","iterations":N,"salt":..,"iv":..,"ciphertext":..} with base64 fields, in the
// order of `texts`. Nothing when sealing fails.
std::optional<QList<QByteArray>> sealedEnvelopes(const QList<QByteArray>& texts, const QByteArray& passphrase,
                                                 int iterations);

// The whole page with the icons of the products read from their "iconFile"; an empty passphrase
// leaves the catalogue in clear and the page says so.
std::optional<QByteArray> page(const QByteArray& json, const QByteArray& passphrase, int iterations, QString* error);

// Writes the page atomically, readable by the owner only.
bool write(const QByteArray& json, const QByteArray& passphrase, const QString& target, QString* error,
           int iterations = 600000);

// The first line of the file without its line end; nothing (and `error` filled) when the file
// cannot be read or the line is empty.
std::optional<QByteArray> readPassphraseFile(const QString& path, QString* error);

} // namespace PhoneExport
