#include "FileWriting.h"

#include "persistence/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace FileWriting {

namespace {

constexpr qint64 ChunkSize = 1024 * 1024;

void setError(QString* error, const QString& text)
{
    if (error) {
        *error = text;
    }
}

} // namespace

bool writeData(const QByteArray& bytes, const QString& target, QString* error)
{
    if (target.isEmpty()) {
        setError(error, QStringLiteral("no target path"));
        return false;
    }
    return Persistence::AtomicFile::write(
        target,
        [&bytes](QIODevice& device, QString* writeError) {
            if (device.write(bytes) != bytes.size()) {
                setError(writeError, device.errorString());
                return false;
            }
            return true;
        },
        error);
}

bool copyFile(const QString& source, const QString& target, QString* error)
{
    if (target.isEmpty()) {
        setError(error, QStringLiteral("no target path"));
        return false;
    }
    const QFileInfo info(source);
    if (!info.exists()) {
        setError(error, QStringLiteral("\"%1\" does not exist").arg(source));
        return false;
    }
    if (!info.isFile()) {
        setError(error, QStringLiteral("\"%1\" is not a plain file").arg(source));
        return false;
    }
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("cannot read \"%1\": %2").arg(source, input.errorString()));
        return false;
    }
    return Persistence::AtomicFile::write(
        target,
        [&input](QIODevice& device, QString* writeError) {
            while (!input.atEnd()) {
                const QByteArray chunk = input.read(ChunkSize);
                if (chunk.isEmpty() && input.error() != QFileDevice::NoError) {
                    setError(writeError, input.errorString());
                    return false;
                }
                if (device.write(chunk) != chunk.size()) {
                    setError(writeError, device.errorString());
                    return false;
                }
            }
            return true;
        },
        error);
}

} // namespace FileWriting
