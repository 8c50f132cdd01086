#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Thunderbird's "profiles.ini": which profile folders it lists and which one is the default.
class ThunderbirdProfilesIni
{
public:
    // Nothing when the file cannot be read.
    static std::optional<ThunderbirdProfilesIni> read(const QString& path);

    // The profile folders in the order Thunderbird picks its default: the [Install*] section's
    // Default, then the profile marked Default=1, then every profile in file order. Relative paths
    // are resolved against the ini's folder. The folders may not exist.
    QStringList candidateProfiles() const;

private:
    struct Section
    {
        QString name;
        std::vector<std::pair<QString, QString>> values;

        QString value(const char* key) const;
    };

    ThunderbirdProfilesIni(QString folder, std::vector<Section> sections);
    QString resolved(const QString& path, bool isRelative) const;
    bool isRelativeProfilePath(const QString& path) const;

    QString m_folder;
    std::vector<Section> m_sections;
};
