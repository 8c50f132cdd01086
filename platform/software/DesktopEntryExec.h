#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The command of a desktop entry's "Exec" value: its arguments as the quoting gives them, and the
// field codes ("%f", "%U", ...) filled in. The value is taken with the general escapes ("\s",
// "\\", ...) already undone, as DesktopEntryFile::string gives it.
namespace DesktopEntryExec {

struct Argument
{
    QString text; // quotes and their backslashes removed; field codes still in place
    bool quoted = false;
};

// What the field codes stand for.
struct Fields
{
    QStringList files; // "%f", "%F", "%u", "%U"
    QString icon; // "%i" gives "--icon" and this, when it is not empty
    QString name; // "%c"
    QString desktopFile; // "%k"
};

// Arguments are separated by spaces or tabs. Double quotes enclose an argument with spaces or
// reserved characters; inside them a backslash makes the next '"', '`', '$' or '\' literal. A quote
// left open, or one of the characters a shell would act on ('\'', '\\', '<', '>', '|', '&', ';',
// '$', '`', '(', ')') outside quotes, is an error: such a value was written for a shell and is not
// run without one.
std::optional<QList<Argument>> split(const QString& exec, QString* error);

// The arguments with the field codes filled in. "%F", "%U" and "%i" stand alone and give any
// number of arguments; "%f" and "%u" give the first file. An argument made of field codes alone
// that give nothing is left out. The deprecated codes "%d", "%D", "%n", "%N", "%v" and "%m" are
// removed; any other code is an error.
std::optional<QStringList> expand(const QList<Argument>& arguments, const Fields& fields, QString* error);

// Whether the command takes one file at a time ("%f" or "%u"), so that several files need one
// start each.
bool takesOneFile(const QList<Argument>& arguments);

} // namespace DesktopEntryExec
