#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTextDocument>

#include <functional>
#include <optional>

// A text document that never reaches outside for what its HTML refers to: no network, no files,
// except image files inside the folders it is given (the report's cached icons). HTML from e-mails
// is shown and printed through it, so a message cannot make Keymoor load remote images (which would
// tell the sender the message was read) or read local files it names. Refused images are drawn as
// blank space.
class OfflineTextDocument : public QTextDocument
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OfflineTextDocument)

public:
    explicit OfflineTextDocument(QObject* parent = nullptr);

    // Image files below these folders may be loaded through "file:" URLs.
    void setAllowedImageFolders(const QStringList& folders);
    QStringList allowedImageFolders() const { return m_folders; }

    // Answers the bytes of resources the document's owner holds itself (the parts of a message
    // named by "cid:" addresses, the files of a saved web page); asked before anything else.
    using ResourceResolver = std::function<std::optional<QByteArray>(const QUrl& url)>;
    void setResourceResolver(ResourceResolver resolver) { m_resolver = std::move(resolver); }

    // Whether a resource of the given type at `url` would be loaded from its file.
    bool isAllowedResource(int type, const QUrl& url) const;

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QStringList m_folders;
    ResourceResolver m_resolver;
};
