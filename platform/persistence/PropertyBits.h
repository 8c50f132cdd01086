#pragma once

#include <QBitArray>

#include <bit>

namespace Persistence {

// One flag per property of an object. Entities of up to 64 properties keep them in one word;
// larger ones in a bit array.
class PropertyBits
{
public:
    void resize(int size)
    {
        m_size = size;
        if (size > WordBits) {
            m_more.resize(size);
        }
    }
    int size() const { return m_size; }
    bool testBit(int index) const { return m_size > WordBits ? m_more.testBit(index) : (m_word >> index) & 1; }
    void setBit(int index)
    {
        if (m_size > WordBits) {
            m_more.setBit(index);
        } else {
            m_word |= quint64(1) << index;
        }
    }
    void clearBit(int index)
    {
        if (m_size > WordBits) {
            m_more.clearBit(index);
        } else {
            m_word &= ~(quint64(1) << index);
        }
    }
    void fill(bool value)
    {
        if (m_size > WordBits) {
            m_more.fill(value);
        } else {
            m_word = value && m_size > 0 ? ~quint64(0) >> (WordBits - m_size) : 0;
        }
    }
    bool any() const { return m_size > WordBits ? m_more.count(true) > 0 : m_word != 0; }

private:
    static constexpr int WordBits = 64;
    quint64 m_word = 0;
    int m_size = 0;
    QBitArray m_more;
};

} // namespace Persistence
