#include "WebArchive.h"

#include "email/ZRTextEncoding.h"
#include "plist/PropertyList.h"

namespace {

std::optional<WebArchive::Resource> resourceFrom(const QVariant& value)
{
    const QVariantMap map = value.toMap();
    const QVariant data = map.value(QStringLiteral("WebResourceData"));
    if (data.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    WebArchive::Resource resource;
    resource.url = QUrl(map.value(QStringLiteral("WebResourceURL")).toString());
    resource.data = data.toByteArray();
    resource.mimeType = map.value(QStringLiteral("WebResourceMIMEType")).toString();
    resource.textEncodingName = map.value(QStringLiteral("WebResourceTextEncodingName")).toString();
    return resource;
}

} // namespace

std::optional<WebArchive> WebArchive::fromData(const QByteArray& bytes, QString* error)
{
    const auto fail = [error](const QString& text) -> std::optional<WebArchive> {
        if (error) {
            *error = text;
        }
        return std::nullopt;
    };
    const std::optional<QVariant> root = PropertyList::fromData(bytes, error);
    if (!root) {
        return std::nullopt;
    }
    if (root->typeId() != QMetaType::QVariantMap) {
        return fail(QStringLiteral("The web archive holds no dictionary."));
    }
    const QVariantMap map = root->toMap();
    const std::optional<Resource> main = resourceFrom(map.value(QStringLiteral("WebMainResource")));
    if (!main) {
        return fail(QStringLiteral("The web archive holds no main resource."));
    }
    WebArchive archive;
    archive.m_main = *main;
    for (const QVariant& entry : map.value(QStringLiteral("WebSubresources")).toList()) {
        const std::optional<Resource> resource = resourceFrom(entry);
        if (resource && resource->url.isValid()) {
            archive.m_subresources.insert(resource->url.adjusted(QUrl::NormalizePathSegments), resource->data);
        }
    }
    return archive;
}

QString WebArchive::mainResourceText() const
{
    const ZRTextEncoding::Id encoding = m_main.textEncodingName.isEmpty()
        ? ZRTextEncoding::UTF8
        : ZRTextEncoding::encodingFromAlias(m_main.textEncodingName);
    return ZRTextEncoding::decode(m_main.data, encoding);
}

std::optional<QByteArray> WebArchive::subresource(const QUrl& url) const
{
    const QUrl absolute = url.isRelative() ? m_main.url.resolved(url) : url;
    const auto found = m_subresources.constFind(absolute.adjusted(QUrl::NormalizePathSegments));
    if (found == m_subresources.constEnd()) {
        return std::nullopt;
    }
    return *found;
}
