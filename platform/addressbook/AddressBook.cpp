#include "AddressBook.h"

#include "VCardReader.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

QString AddressBook::defaultCardPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("Keymoor/me.vcf"));
}

AddressBook::AddressBook(const QString& cardPath)
    : m_cardPath(cardPath)
{ }

std::optional<AddressBookCard> AddressBook::meCard(QString* error) const
{
    if (!QFileInfo::exists(m_cardPath)) {
        return currentAccountCard();
    }
    VCardReader reader;
    std::optional<AddressBookCard> card = reader.readFile(m_cardPath);
    if (!card && error) {
        *error = reader.errorString();
    }
    return card;
}

AddressBookCard AddressBook::accountCard(const QString& comment, const QString& loginName)
{
    QString name = comment.section(QLatin1Char(','), 0, 0);
    if (name.contains(QLatin1Char('&')) && !loginName.isEmpty()) {
        name.replace(QLatin1Char('&'), loginName.left(1).toUpper() + loginName.mid(1));
    }
    AddressBookCard card;
    card.formattedName = name.trimmed().isEmpty() ? loginName : name.trimmed();
    return card;
}

AddressBookCard AddressBook::currentAccountCard()
{
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? size_t(suggested) : 16384);
    passwd entry {};
    passwd* found = nullptr;
    int status = 0;
    while ((status = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE
           && buffer.size() < 1024 * 1024) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0 || !found) {
        const QString login = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
        return accountCard(QString(), login);
    }
    return accountCard(QString::fromLocal8Bit(found->pw_gecos ? found->pw_gecos : ""),
                       QString::fromLocal8Bit(found->pw_name ? found->pw_name : ""));
}
