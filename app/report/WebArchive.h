#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>

#include <optional>

// A saved web page (".webarchive"): a property list holding the page's main resource and the
// images and style sheets it uses, each with its address, bytes, media type and text encoding.
class WebArchive
{
public:
    struct Resource
    {
        QUrl url;
        QByteArray data;
        QString mimeType;
        QString textEncodingName;
    };

    // Nothing (and `error` filled) for bytes that are no web archive.
    static std::optional<WebArchive> fromData(const QByteArray& bytes, QString* error = nullptr);

    const Resource& mainResource() const { return m_main; }
    // The main resource read as text in its recorded encoding (UTF-8 when it records none).
    QString mainResourceText() const;
    // The bytes of the resource saved for `url`, resolved against the page's own address when
    // relative; nothing when the archive does not hold it.
    std::optional<QByteArray> subresource(const QUrl& url) const;

private:
    Resource m_main;
    QHash<QUrl, QByteArray> m_subresources;
};
