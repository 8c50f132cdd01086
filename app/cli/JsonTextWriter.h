#pragma once

#include <QJsonValue>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

// Writes JSON text in exactly the indented layout of QJsonDocument (four spaces a level, the same
// escapes and number forms) into a growing buffer, one value at a time: writing a large array item
// by item takes a fraction of the time and memory of building a document first. The caller writes
// the members of an object in sorted key order, as a document keeps them.
//
//     writer.beginObject();
//     writer.name(u"title");
//     writer.string(u"Editor");
//     writer.end();
class JsonTextWriter
{
public:
    JsonTextWriter() = default;
    // A writer for one value that goes inside `depth` open containers of another writer: indented
    // as there, to be put after that writer's item() with appendText().
    explicit JsonTextWriter(size_t depth)
        : m_open(depth, Container {']', false})
    { }

    void beginObject() { open('{'); }
    void beginArray() { open('['); }
    // Closes the innermost open object or array.
    void end();
    // Starts the next member of the open object, respectively the next item of the open array.
    void name(QStringView key);
    // The same for a key written once beforehand with quotedName(): no escaping per member.
    void encodedName(std::string_view quoted);
    static std::string quotedName(QStringView key);
    void item();

    void null() { m_text += "null"; }
    void boolean(bool value) { m_text += value ? "true" : "false"; }
    // Numbers as a document writes them (it keeps every number as a double).
    void number(double value);
    void string(QStringView string);
    // The same for text in UTF-8, copied as it is when it is well-formed (the usual case); other
    // bytes are read as QString::fromUtf8() reads them.
    void utf8String(std::string_view utf8);
    // Whether utf8String() copies the text as it is: well-formed UTF-8 without a byte order mark or
    // noncharacters, which every decoder reads back unchanged.
    static bool isPlainUtf8(std::string_view utf8);
    // Any JSON value, objects with their keys in the order the object keeps them (sorted).
    void json(const QJsonValue& value);
    void appendText(std::string_view text) { m_text += text; }

    const std::string& text() const { return m_text; }
    // Forgets the text written so far (after it went out); open containers stay open.
    void clear() { m_text.clear(); }

private:
    void open(char bracket);
    void indent(size_t depth) { m_text.append(4 * depth, ' '); }

    std::string m_text;
    struct Container
    {
        char close;
        bool empty;
    };
    std::vector<Container> m_open;
};
