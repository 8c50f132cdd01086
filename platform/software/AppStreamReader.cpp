#include "AppStreamReader.h"

#include "SoftwareVersion.h"

#include <QFile>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

// One text field: untranslated values win, the first translation stands in for a missing one.
struct TextField
{
    QString untranslated;
    QString translated;

    void take(const QString& value, bool isTranslation)
    {
        QString& slot = isTranslation ? translated : untranslated;
        if (slot.isEmpty()) {
            slot = value.simplified();
        }
    }
    QString value() const { return untranslated.isEmpty() ? translated : untranslated; }
};

struct ComponentFields
{
    TextField name;
    TextField summary;
    TextField developer;
    TextField legacyDeveloper;
    QString contactEmail;
    QString helpEmail;
    AppStreamComponent component;
};

bool isTranslation(const QXmlStreamReader& xml)
{
    return xml.attributes().hasAttribute(QStringLiteral("http://www.w3.org/XML/1998/namespace"), QStringLiteral("lang"))
        || xml.attributes().hasAttribute(QStringLiteral("xml:lang"));
}

QString elementText(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
}

void readDeveloper(QXmlStreamReader& xml, ComponentFields& fields)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("name")) {
            const bool translation = isTranslation(xml);
            fields.developer.take(elementText(xml), translation);
        } else {
            xml.skipCurrentElement();
        }
    }
}

void readReleases(QXmlStreamReader& xml, AppStreamComponent& component)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("release")) {
            const QString version = xml.attributes().value(QStringLiteral("version")).toString().trimmed();
            if (!version.isEmpty()
                && (component.newestRelease.isEmpty()
                    || SoftwareVersion::compare(version, component.newestRelease) > 0)) {
                component.newestRelease = version;
            }
        }
        xml.skipCurrentElement();
    }
}

void readUrl(QXmlStreamReader& xml, ComponentFields& fields)
{
    const QString type = xml.attributes().value(QStringLiteral("type")).toString();
    const QString url = elementText(xml);
    if (type == QLatin1String("homepage") && fields.component.homepage.isEmpty()) {
        fields.component.homepage = url;
    } else if (type == QLatin1String("contact") && fields.contactEmail.isEmpty()) {
        fields.contactEmail = AppStreamReader::emailAddress(url);
    } else if (type == QLatin1String("help") && fields.helpEmail.isEmpty()) {
        fields.helpEmail = AppStreamReader::emailAddress(url);
    }
}

void readChild(QXmlStreamReader& xml, ComponentFields& fields)
{
    const auto name = xml.name();
    AppStreamComponent& component = fields.component;
    if (name == QLatin1String("id")) {
        component.id = elementText(xml);
    } else if (name == QLatin1String("name")) {
        const bool translation = isTranslation(xml);
        fields.name.take(elementText(xml), translation);
    } else if (name == QLatin1String("summary")) {
        const bool translation = isTranslation(xml);
        fields.summary.take(elementText(xml), translation);
    } else if (name == QLatin1String("developer")) {
        readDeveloper(xml, fields);
    } else if (name == QLatin1String("developer_name")) {
        const bool translation = isTranslation(xml);
        fields.legacyDeveloper.take(elementText(xml), translation);
    } else if (name == QLatin1String("url")) {
        readUrl(xml, fields);
    } else if (name == QLatin1String("launchable")) {
        const bool desktopId = xml.attributes().value(QStringLiteral("type")) == QLatin1String("desktop-id");
        const QString value = elementText(xml);
        if (desktopId && !value.isEmpty()) {
            component.desktopIds.append(value);
        }
    } else if (name == QLatin1String("releases")) {
        readReleases(xml, component);
    } else {
        // <update_contact> (private to the maintainers), <description>, screenshots and the rest.
        xml.skipCurrentElement();
    }
}

} // namespace

namespace AppStreamReader {

std::optional<AppStreamComponent> read(const QByteArray& data, QString* error)
{
    if (data.size() > MaximumSize) {
        *error = QStringLiteral("the metainfo is larger than %1 bytes").arg(MaximumSize);
        return std::nullopt;
    }
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement()) {
        *error = QStringLiteral("no XML: %1").arg(xml.errorString());
        return std::nullopt;
    }
    if (xml.name() != QLatin1String("component") && xml.name() != QLatin1String("application")) {
        *error = QStringLiteral("the root element is <%1>, not <component>").arg(xml.name().toString());
        return std::nullopt;
    }
    ComponentFields fields;
    while (xml.readNextStartElement()) {
        readChild(xml, fields);
    }
    if (xml.hasError()) {
        *error = QStringLiteral("malformed XML at line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        return std::nullopt;
    }
    AppStreamComponent component = fields.component;
    component.name = fields.name.value();
    component.summary = fields.summary.value();
    component.developer = fields.developer.value();
    if (component.developer.isEmpty()) {
        component.developer = fields.legacyDeveloper.value();
    }
    component.email = fields.contactEmail.isEmpty() ? fields.helpEmail : fields.contactEmail;
    return component;
}

std::optional<AppStreamComponent> readFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    if (file.size() > MaximumSize) {
        *error = QStringLiteral("the metainfo is larger than %1 bytes").arg(MaximumSize);
        return std::nullopt;
    }
    std::optional<AppStreamComponent> component = read(file.read(MaximumSize + 1), error);
    if (component) {
        component->path = path;
    }
    return component;
}

QString emailAddress(const QString& url)
{
    QString address = url.trimmed();
    if (address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
        address = QUrl::fromPercentEncoding(address.mid(7).section(QLatin1Char('?'), 0, 0).toUtf8()).trimmed();
    } else if (address.contains(QLatin1Char(':')) || address.contains(QLatin1Char('/'))) {
        return {};
    }
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    const bool plausible = at > 0 && at == address.lastIndexOf(QLatin1Char('@')) && at < address.size() - 1
        && !address.contains(QLatin1Char(' ')) && address.indexOf(QLatin1Char('.'), at) > at + 1;
    return plausible ? address : QString();
}

} // namespace AppStreamReader
