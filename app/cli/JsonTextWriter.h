#pragma once

#include <QJsonValue>
#include <QString>

#include <string>
#include <utility>
#include <variant>
#include <vector>

// Writes JSON text in exactly the indented layout of QJsonDocument (four spaces a level, keys in
// sorted order, the same escapes and number forms) into a growing buffer, straight from plain
// values: writing a large array object by object takes a fraction of the time and memory of
// building a document first.
class JsonTextWriter
{
public:
    // null, true/false, a whole number, a number, text, or any JSON value (arrays, objects).
    using Value = std::variant<std::monostate, bool, qint64, double, QString, QJsonValue>;
    using Member = std::pair<QString, Value>;

    static QJsonValue toJsonValue(const Value& value);

    // One object at `level`, its first line not indented; `members` are in key order.
    void appendObject(const std::vector<Member>& members, int level);
    void appendValue(const Value& value, int level);
    void appendJson(const QJsonValue& value, int level);
    void appendString(QStringView string);
    void appendText(std::string_view text) { m_text += text; }

    const std::string& text() const { return m_text; }
    void clear() { m_text.clear(); }

private:
    void appendNumber(double number);
    template<typename Items, typename Each>
    void appendItems(const Items& items, char open, char close, int level, Each each);

    std::string m_text;
};
