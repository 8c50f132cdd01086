#include "GeneratedMbox.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QTimeZone>

namespace {

constexpr qint64 PurchaseEvery = 20; // 5%

QByteArray header(qint64 i, const QByteArray& from, const QByteArray& subject)
{
    const QDateTime date = QDateTime(QDate(2015, 1, 1), QTime(9, 0), QTimeZone::utc()).addSecs(i * 3607);
    return "From " + from + " " + date.toString(QStringLiteral("ddd MMM dd hh:mm:ss yyyy")).toLatin1() + "\n"
        + "Return-Path: <" + from + ">\nFrom: " + from + "\nTo: Jane Doe <jane.doe@example.org>\nSubject: " + subject
        + "\nDate: " + date.toString(Qt::RFC2822Date).toLatin1() + "\nMessage-ID: <m" + QByteArray::number(i)
        + "@example.net>\nMIME-Version: 1.0\n";
}

QByteArray paragraph(qint64 i, int lines)
{
    QByteArray text;
    for (int line = 0; line < lines; ++line) {
        text += "Line " + QByteArray::number(line) + " of message " + QByteArray::number(i)
            + ": news, offers and the weather for the week ahead, nothing to keep.\n";
    }
    return text;
}

QByteArray ordinaryMessage(qint64 i)
{
    QByteArray text
        = header(i, "news" + QByteArray::number(i % 50) + "@letters.example", "Weekly letter " + QByteArray::number(i));
    if (i % 3 != 0) {
        return text + "Content-Type: text/plain; charset=utf-8\n\n" + paragraph(i, 110) + "\n>From the archive.\n\n";
    }
    const QByteArray boundary = "b" + QByteArray::number(i);
    text += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\n\n--" + boundary
        + "\nContent-Type: text/plain; charset=utf-8\n\n" + paragraph(i, 40) + "\n--" + boundary
        + "\nContent-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n\n"
        + QByteArray(4500, char('a' + i % 26)).toBase64(QByteArray::Base64Encoding);
    // Base64 is written in lines of 76 characters.
    QByteArray wrapped;
    const qsizetype start = text.lastIndexOf("\n\n") + 2;
    for (qsizetype at = start; at < text.size(); at += 76) {
        wrapped += text.mid(at, 76) + "\n";
    }
    return text.left(start) + wrapped + "--" + boundary + "--\n\n";
}

QByteArray purchaseMessage(qint64 i)
{
    const QByteArray product = "Product " + QByteArray::number(i);
    const QByteArray serial = "SER-" + QByteArray::number(1000 + i % 9000) + "-" + QByteArray::number(7000 + i % 3000)
        + "-" + QByteArray::number(i, 16).toUpper().rightJustified(4, '0');
    return header(i, "store" + QByteArray::number(i % 40) + "@shop.example", "Your " + product + " licence")
        + "Content-Type: text/plain; charset=utf-8\n\nThank you for purchasing " + product
        + ".\n\nRegistered to: jane.doe@example.org\nSerial Number: " + serial + "\n\n" + paragraph(i, 100) + "\n";
}

} // namespace

GeneratedMbox GeneratedMbox::write(const QString& path, qint64 messageCount)
{
    GeneratedMbox result;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return result;
    }
    for (qint64 i = 0; i < messageCount; ++i) {
        const bool purchase = i % PurchaseEvery == PurchaseEvery / 2;
        const QByteArray message = purchase ? purchaseMessage(i) : ordinaryMessage(i);
        if (file.write(message) != message.size()) {
            return GeneratedMbox();
        }
        result.bytes += message.size();
        result.purchases += purchase ? 1 : 0;
        ++result.messages;
    }
    return result;
}
