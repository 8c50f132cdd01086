#pragma once

#include <QString>

class ProductEntity;

// The notes of a product as plain text, as the report and the sync folder show them: the product
// record's own reading (UTF-8, or the characters of notes older versions stored as rich text).
QString productCommentsString(const ProductEntity& product);
