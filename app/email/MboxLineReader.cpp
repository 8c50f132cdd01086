#include "MboxLineReader.h"

#include <algorithm>
#include <cstring>

MboxLineReader::MboxLineReader(QIODevice& device, qint64 startOffset, qsizetype segmentSize)
    : m_device(device)
    , m_buffer(2 * segmentSize, Qt::Uninitialized)
    , m_segmentSize(segmentSize)
    , m_offset(startOffset)
{ }

bool MboxLineReader::next(Segment& segment)
{
    for (;;) {
        const char* start = m_buffer.constData() + m_begin;
        const qsizetype available = m_end - m_begin;
        // Looking no further than one segment keeps every piece of a long line the same size.
        if (const void* newline = std::memchr(start, '\n', size_t(std::min(available, m_segmentSize)))) {
            segment = take(static_cast<const char*>(newline) - start + 1, true);
            return true;
        }
        if (available >= m_segmentSize) {
            segment = take(m_segmentSize, false);
            return true;
        }
        if (m_atEnd) {
            if (available == 0) {
                return false;
            }
            segment = take(available, true);
            return true;
        }
        fill();
    }
}

void MboxLineReader::fill()
{
    const qsizetype kept = m_end - m_begin;
    if (m_begin > 0 && kept > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, size_t(kept));
    }
    m_begin = 0;
    m_end = kept;
    const qint64 read = m_device.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (read < 0) {
        m_failed = true;
    }
    if (read <= 0) {
        m_atEnd = true;
        return;
    }
    m_end += qsizetype(read);
}

MboxLineReader::Segment MboxLineReader::take(qsizetype size, bool endsLine)
{
    Segment segment;
    segment.bytes = QByteArrayView(m_buffer.constData() + m_begin, size);
    segment.offset = m_offset;
    segment.startsLine = m_atLineStart;
    segment.endsLine = endsLine;
    m_begin += size;
    m_offset += size;
    m_atLineStart = endsLine;
    return segment;
}
