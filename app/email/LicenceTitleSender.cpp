#include "LicenceTitleSender.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace {

const QSet<QString>& senderNoise()
{
    static const QSet<QString> words = {
        QStringLiteral("billing"),    QStringLiteral("customer"), QStringLiteral("do-not-reply"),
        QStringLiteral("donotreply"), QStringLiteral("licences"), QStringLiteral("licenses"),
        QStringLiteral("licensing"),  QStringLiteral("no-reply"), QStringLiteral("noreply"),
        QStringLiteral("order"),      QStringLiteral("orders"),   QStringLiteral("registration"),
        QStringLiteral("sales"),      QStringLiteral("service"),  QStringLiteral("services"),
        QStringLiteral("shop"),       QStringLiteral("store"),    QStringLiteral("support"),
        QStringLiteral("team"),       QStringLiteral("the"),
    };
    return words;
}

// Subdomains that name a mail system rather than the company.
const QSet<QString>& mailSubdomains()
{
    static const QSet<QString> labels = {
        QStringLiteral("e"),      QStringLiteral("em"),      QStringLiteral("email"),  QStringLiteral("mail"),
        QStringLiteral("mailer"), QStringLiteral("mg"),      QStringLiteral("news"),   QStringLiteral("newsletter"),
        QStringLiteral("notify"), QStringLiteral("noreply"), QStringLiteral("orders"), QStringLiteral("send"),
        QStringLiteral("shop"),   QStringLiteral("smtp"),    QStringLiteral("store"),  QStringLiteral("www"),
    };
    return labels;
}

struct Sender
{
    QString name;
    QString address;
};

Sender parsed(const QString& from)
{
    static const QRegularExpression angle(QStringLiteral("^(.*)<([^<>]*)>\\s*$"));
    static const QRegularExpression comment(QStringLiteral("^([^\\s()]+@[^\\s()]+)\\s*\\((.*)\\)\\s*$"));
    const QString text = from.trimmed();
    if (const QRegularExpressionMatch match = angle.match(text); match.hasMatch()) {
        return {match.captured(1), match.captured(2).trimmed()};
    }
    if (const QRegularExpressionMatch match = comment.match(text); match.hasMatch()) {
        return {match.captured(2), match.captured(1)};
    }
    return text.contains(QLatin1Char('@')) ? Sender {QString(), text} : Sender {text, QString()};
}

QString cleanedDisplayName(QString name)
{
    static const QRegularExpression via(QStringLiteral("\\s+(via|through|c/o)\\s+.*$"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression separators(QStringLiteral("\\s[-–—|:]\\s|,"));
    name.remove(QLatin1Char('"'));
    name.remove(via);
    name.replace(separators, QStringLiteral(" "));
    if (name.contains(QLatin1Char('@'))) {
        return QString();
    }
    QStringList kept;
    for (const QString& word : name.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!senderNoise().contains(word.toLower())) {
            kept.append(word);
        }
    }
    return kept.join(QLatin1Char(' ')).trimmed();
}

} // namespace

namespace LicenceTitleSender {

QString publisher(const QString& from)
{
    const Sender sender = parsed(from);
    if (const QString name = cleanedDisplayName(sender.name); !name.isEmpty()) {
        return name;
    }
    const qsizetype at = sender.address.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? QString() : nameOfDomain(sender.address.mid(at + 1));
}

QString nameOfDomain(const QString& domain)
{
    static const QSet<QString> secondLevels = {QStringLiteral("co"),  QStringLiteral("com"), QStringLiteral("org"),
                                               QStringLiteral("net"), QStringLiteral("ac"),  QStringLiteral("gov"),
                                               QStringLiteral("edu"), QStringLiteral("ne"),  QStringLiteral("or")};
    QStringList labels = domain.trimmed().toLower().split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (labels.size() < 2) {
        return QString();
    }
    const QString topLevel = labels.takeLast();
    if (topLevel.size() == 2 && labels.size() >= 2 && secondLevels.contains(labels.back())) {
        labels.removeLast();
    }
    while (labels.size() > 1 && mailSubdomains().contains(labels.front())) {
        labels.removeFirst();
    }
    QString name = labels.back();
    name[0] = name[0].toUpper();
    return name;
}

} // namespace LicenceTitleSender
