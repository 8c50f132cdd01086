#include "ThunderbirdProfilesIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A profiles.ini is a few hundred bytes; anything far larger is not one.
constexpr qint64 MaximumSize = 1024 * 1024;

bool isProfileSection(const QString& name)
{
    return name.startsWith(QLatin1String("Profile"), Qt::CaseInsensitive);
}

} // namespace

QString ThunderbirdProfilesIni::Section::value(const char* key) const
{
    for (const auto& [name, text] : values) {
        if (name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0) {
            return text;
        }
    }
    return QString();
}

ThunderbirdProfilesIni::ThunderbirdProfilesIni(QString folder, std::vector<Section> sections)
    : m_folder(std::move(folder))
    , m_sections(std::move(sections))
{ }

std::optional<ThunderbirdProfilesIni> ThunderbirdProfilesIni::read(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > MaximumSize) {
        return std::nullopt;
    }
    std::vector<Section> sections;
    const QString text = QString::fromUtf8(file.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            sections.push_back({line.mid(1, line.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || sections.empty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        sections.back().values.emplace_back(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return ThunderbirdProfilesIni(QFileInfo(path).absolutePath(), std::move(sections));
}

QStringList ThunderbirdProfilesIni::candidateProfiles() const
{
    QStringList candidates;
    for (const Section& section : m_sections) {
        const QString path = section.value("Default");
        if (section.name.startsWith(QLatin1String("Install"), Qt::CaseInsensitive) && !path.isEmpty()) {
            candidates.append(resolved(path, isRelativeProfilePath(path)));
        }
    }
    for (const Section& section : m_sections) {
        if (isProfileSection(section.name) && section.value("Default") == QLatin1String("1")) {
            candidates.append(resolved(section.value("Path"), section.value("IsRelative") != QLatin1String("0")));
        }
    }
    for (const Section& section : m_sections) {
        if (isProfileSection(section.name) && !section.value("Path").isEmpty()) {
            candidates.append(resolved(section.value("Path"), section.value("IsRelative") != QLatin1String("0")));
        }
    }
    candidates.removeDuplicates();
    candidates.removeAll(QString());
    return candidates;
}

// An [Install] section names a profile by the Path of its [Profile] section; that section says
// whether the path is relative. A path no section lists is relative unless it is absolute.
bool ThunderbirdProfilesIni::isRelativeProfilePath(const QString& path) const
{
    for (const Section& section : m_sections) {
        if (isProfileSection(section.name) && section.value("Path") == path) {
            return section.value("IsRelative") != QLatin1String("0");
        }
    }
    return QDir::isRelativePath(path);
}

QString ThunderbirdProfilesIni::resolved(const QString& path, bool isRelative) const
{
    if (path.isEmpty()) {
        return QString();
    }
    return QDir::cleanPath(isRelative ? QDir(m_folder).filePath(path) : path);
}
