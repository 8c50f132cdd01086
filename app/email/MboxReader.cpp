#include "MboxReader.h"

#include "MailStoreFiles.h"
#include "MboxLineReader.h"

#include <QFile>

// The message being collected while the file is split.
struct MboxReader::Split
{
    MailStoreMessage message;
    bool open = false; // a "From " line was seen
    bool tooLarge = false;
    bool previousLineBlank = true; // the start of the file counts as after an empty line
    bool inSeparator = false; // the rest of a long "From " line
    qint64 nextIndex = 0;
};

namespace {

bool isFromLine(QByteArrayView line)
{
    return line.startsWith("From ");
}

bool isBlankLine(const MboxLineReader::Segment& segment)
{
    return segment.startsLine && segment.endsLine
        && (segment.bytes == "\n" || segment.bytes == "\r\n" || segment.bytes.isEmpty());
}

// mboxrd: a line of ">" characters followed by "From " loses its first ">".
QByteArrayView unquoted(QByteArrayView line)
{
    qsizetype quotes = 0;
    while (quotes < line.size() && line.at(quotes) == '>') {
        ++quotes;
    }
    if (quotes > 0 && line.sliced(quotes).startsWith("From ")) {
        return line.sliced(1);
    }
    return line;
}

// The empty line before the next "From " line separates messages; it is not part of the message.
void dropSeparatingBlankLine(QByteArray& bytes)
{
    if (bytes.endsWith("\r\n\r\n")) {
        bytes.chop(2);
    } else if (bytes.endsWith("\n\n")) {
        bytes.chop(1);
    }
}

} // namespace

MboxReader::MboxReader(QString path, const MailStoreReader::Options& options)
    : m_path(std::move(path))
    , m_options(options)
{ }

bool MboxReader::read(const MailStoreReader::Visitor& visit, MailStoreReader::Counts& counts, QString& error) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return true;
    }
    MboxLineReader lines(file, 0);
    Split state;
    split(lines, state, visit, counts);
    if (lines.failed()) {
        error = file.errorString();
    }
    return !counts.stopped;
}

std::optional<MailStoreMessage> MboxReader::messageAt(qint64 offset, qint64 index) const
{
    QFile file(m_path);
    if (offset < 0 || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !file.seek(offset)) {
        return std::nullopt;
    }
    MboxLineReader lines(file, offset);
    Split state;
    state.nextIndex = index;
    std::optional<MailStoreMessage> found;
    MailStoreReader::Counts counts;
    split(
        lines, state,
        [&](const MailStoreMessage& message) {
            found = message;
            return false;
        },
        counts);
    // The offset must be the message's own "From " line, not a place inside a message.
    if (found && found->place.offset != offset) {
        return std::nullopt;
    }
    return found;
}

void MboxReader::split(MboxLineReader& lines, Split& state, const MailStoreReader::Visitor& visit,
                       MailStoreReader::Counts& counts) const
{
    // Hands over the collected message, or counts it when it cannot be read; false to stop.
    const auto finish = [&]() {
        if (!state.open) {
            return true;
        }
        state.open = false;
        dropSeparatingBlankLine(state.message.bytes);
        if (state.tooLarge || !MailStoreFiles::looksLikeMessage(state.message.bytes)) {
            ++counts.unreadable;
            return true;
        }
        return MailStoreFiles::deliver(visit, state.message, counts);
    };
    const auto append = [&](QByteArrayView bytes) {
        if (!state.open || state.tooLarge) {
            return; // bytes before the first "From " line belong to no message
        }
        if (state.message.bytes.size() + bytes.size() > m_options.maximumMessageSize) {
            state.tooLarge = true;
            state.message.bytes = QByteArray();
            return;
        }
        state.message.bytes.append(bytes);
    };

    MboxLineReader::Segment segment;
    while (lines.next(segment)) {
        if (!segment.startsLine) {
            if (!state.inSeparator) {
                append(segment.bytes);
            }
            state.inSeparator = state.inSeparator && !segment.endsLine;
            continue;
        }
        if (state.previousLineBlank && isFromLine(segment.bytes)) {
            if (!finish()) {
                return;
            }
            state.open = true;
            state.tooLarge = false;
            state.message.bytes = QByteArray();
            state.message.place = {m_path, state.nextIndex++, segment.offset};
            state.inSeparator = !segment.endsLine;
            state.previousLineBlank = false;
            continue;
        }
        state.previousLineBlank = isBlankLine(segment);
        append(unquoted(segment.bytes));
    }
    finish();
}
