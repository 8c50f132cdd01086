#include "PhoneExport.h"

#include "PhoneExportIcons.h"
#include "ZRPassphraseBox.h"
#include "base/FileWriting.h"
#include "base/Localization.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace PhoneExport {

namespace {

const QString TemplatePath = QStringLiteral(":/phone/PhoneExport.html");

// Fills {{T:Key}} with the localized text of Key, escaped for HTML.
QString localizeTemplate(const QString& text)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{\\{T:(\\w+)\\}\\}"));
    QString result;
    qsizetype last = 0;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text)) {
        result += QStringView(text).mid(last, match.capturedStart() - last);
        result += localizedString(match.captured(1)).toHtmlEscaped();
        last = match.capturedEnd();
    }
    result += QStringView(text).mid(last);
    return result;
}

// The page text with each placeholder, in the order they appear, replaced by its bytes. Each is
// looked for after the one before, in the template's own text only, so nothing in the data is ever
// taken for a placeholder.
QByteArray withData(const QString& text, const QList<std::pair<QString, QByteArray>>& parts)
{
    QByteArray bytes;
    qsizetype last = 0;
    for (const auto& [placeholder, value] : parts) {
        const qsizetype at = text.indexOf(placeholder, last);
        if (at < 0) {
            continue;
        }
        bytes += QStringView(text).mid(last, at - last).toUtf8();
        bytes += value;
        last = at + placeholder.size();
    }
    bytes += QStringView(text).mid(last).toUtf8();
    return bytes;
}

QByteArray envelope(const ZRPassphraseBox& box)
{
    const QJsonObject object {{QStringLiteral("version"), 1},
                              {QStringLiteral("kdf"), QStringLiteral("PBKDF2-SHA256")},
                              {QStringLiteral("iterations"), box.iterations},
                              {QStringLiteral("salt"), QString::fromLatin1(box.salt.toBase64())},
                              {QStringLiteral("iv"), QString::fromLatin1(box.iv.toBase64())},
                              {QStringLiteral("ciphertext"), QString::fromLatin1(box.ciphertext.toBase64())}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QString defaultFileName()
{
    return QStringLiteral("Keymoor.html");
}

QByteArray embeddableJson(const QByteArray& json)
{
    QByteArray safe = json;
    safe.replace('<', "\\u003c");
    safe.replace("\xE2\x80\xA8", "\\u2028");
    safe.replace("\xE2\x80\xA9", "\\u2029");
    return safe;
}

std::optional<QList<QByteArray>> sealedEnvelopes(const QList<QByteArray>& texts, const QByteArray& passphrase,
                                                 int iterations)
{
    const std::optional<QList<ZRPassphraseBox>> boxes = ZRPassphraseBox::sealAll(texts, passphrase, iterations);
    if (!boxes) {
        return std::nullopt;
    }
    QList<QByteArray> envelopes;
    for (const ZRPassphraseBox& box : *boxes) {
        envelopes.append(envelope(box));
    }
    return envelopes;
}

std::optional<QByteArray> page(const QByteArray& json, const QByteArray& passphrase, int iterations, QString* error)
{
    QFile file(TemplatePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QByteArray data = json;
    QByteArray icons = PhoneExportIcons::iconMap(json);
    if (!passphrase.isEmpty()) {
        const std::optional<QList<QByteArray>> sealed = sealedEnvelopes({data, icons}, passphrase, iterations);
        if (!sealed) {
            *error = localizedString(QStringLiteral("PhoneExportSealFailed"));
            return std::nullopt;
        }
        data = sealed->at(0);
        icons = sealed->at(1);
    }
    QString text = localizeTemplate(QString::fromUtf8(file.readAll()));
    const QString notice = localizedString(passphrase.isEmpty() ? QStringLiteral("PhoneExportPageNotEncrypted")
                                                                : QStringLiteral("PhoneExportPageEncrypted"));
    text.replace(QStringLiteral("{{NOTICE}}"), notice.toHtmlEscaped());
    return withData(
        text,
        {{QStringLiteral("{{DATA}}"), embeddableJson(data)}, {QStringLiteral("{{ICONS}}"), embeddableJson(icons)}});
}

bool write(const QByteArray& json, const QByteArray& passphrase, const QString& target, QString* error, int iterations)
{
    const std::optional<QByteArray> bytes = page(json, passphrase, iterations, error);
    return bytes && FileWriting::writeData(*bytes, target, error);
}

std::optional<QByteArray> readPassphraseFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = localizedFormat(QStringLiteral("PhoneExportPassphraseUnreadableFormat"), {path, file.errorString()});
        return std::nullopt;
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    if (line.isEmpty()) {
        *error = localizedFormat(QStringLiteral("PhoneExportPassphraseEmptyFormat"), {path});
        return std::nullopt;
    }
    return line;
}

} // namespace PhoneExport
