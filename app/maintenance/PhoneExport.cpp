#include "PhoneExport.h"

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

std::optional<QByteArray> sealedEnvelope(const QByteArray& json, const QByteArray& passphrase, int iterations)
{
    const std::optional<ZRPassphraseBox> box = ZRPassphraseBox::seal(json, passphrase, iterations);
    if (!box) {
        return std::nullopt;
    }
    QJsonObject envelope {{QStringLiteral("version"), 1},
                          {QStringLiteral("kdf"), QStringLiteral("PBKDF2-SHA256")},
                          {QStringLiteral("iterations"), box->iterations},
                          {QStringLiteral("salt"), QString::fromLatin1(box->salt.toBase64())},
                          {QStringLiteral("iv"), QString::fromLatin1(box->iv.toBase64())},
                          {QStringLiteral("ciphertext"), QString::fromLatin1(box->ciphertext.toBase64())}};
    return QJsonDocument(envelope).toJson(QJsonDocument::Compact);
}

std::optional<QByteArray> page(const QByteArray& json, const QByteArray& passphrase, int iterations, QString* error)
{
    QFile file(TemplatePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QByteArray data = json;
    if (!passphrase.isEmpty()) {
        const std::optional<QByteArray> sealed = sealedEnvelope(json, passphrase, iterations);
        if (!sealed) {
            *error = localizedString(QStringLiteral("PhoneExportSealFailed"));
            return std::nullopt;
        }
        data = *sealed;
    }
    QString text = localizeTemplate(QString::fromUtf8(file.readAll()));
    const QString notice = localizedString(passphrase.isEmpty() ? QStringLiteral("PhoneExportPageNotEncrypted")
                                                                : QStringLiteral("PhoneExportPageEncrypted"));
    text.replace(QStringLiteral("{{NOTICE}}"), notice.toHtmlEscaped());
    // The data goes in last, so nothing in it is ever taken for a placeholder.
    const qsizetype at = text.indexOf(QStringLiteral("{{DATA}}"));
    QByteArray bytes = text.left(at).toUtf8();
    bytes += embeddableJson(data);
    bytes += text.mid(at + 8).toUtf8();
    return bytes;
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
