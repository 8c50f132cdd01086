#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

// Reads a device line by line through a buffer of a fixed size, so a line of any length costs no
// more memory than the buffer: a line longer than the segment size comes out in several segments.
// Each segment knows its byte offset in the device and whether it starts and ends its line.
class MboxLineReader
{
public:
    struct Segment
    {
        QByteArrayView bytes; // valid until the next call of next()
        qint64 offset = 0;
        bool startsLine = false;
        bool endsLine = false; // ends with "\n", or is the last bytes of the device
    };

    static constexpr qsizetype DefaultSegmentSize = 256 * 1024;

    // Reading starts at the device's current position, which is `startOffset`.
    MboxLineReader(QIODevice& device, qint64 startOffset, qsizetype segmentSize = DefaultSegmentSize);

    // The next segment; false at the end of the device or when reading fails.
    bool next(Segment& segment);
    bool failed() const { return m_failed; }

private:
    void fill();
    Segment take(qsizetype size, bool endsLine);

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_segmentSize;
    qsizetype m_begin = 0;
    qsizetype m_end = 0;
    qint64 m_offset;
    bool m_atLineStart = true;
    bool m_atEnd = false;
    bool m_failed = false;
};
