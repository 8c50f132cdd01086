#pragma once

#include <QString>

#include <optional>

// The text of a file to import as delimited text: UTF-8 (a byte-order mark is dropped) with its
// line breaks made line feeds (a text with CR LF loses every CR; otherwise a lone CR becomes a line
// feed). Nothing, with the reason in `problem`, when the file cannot be read or is no UTF-8 text.
std::optional<QString> readDelimitedTextFile(const QString& path, QString* problem);
