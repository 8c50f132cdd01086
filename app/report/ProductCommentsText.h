#pragma once

#include <QByteArray>
#include <QString>

class ProductEntity;

// The notes of a product as plain text, as the report and the sync folder show them. Notes are
// stored as UTF-8; records of older versions may hold RTF, which gives its characters without the
// formatting. Bytes that are neither give what can be recovered as Latin-1 rather than nothing.
QString productCommentsString(const ProductEntity& product);

// The same for the stored bytes themselves.
QString commentsStringFromData(const QByteArray& comments);
