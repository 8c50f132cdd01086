#pragma once

#include <memory>

class AttachedEmail;
class QTextDocument;

// What is printed for an attached e-mail: a header block (sender, subject in bold, date,
// recipients) and the message body, its HTML rendered without loading anything it refers to.
class ZREmailPrintView
{
public:
    ZREmailPrintView() = delete;

    static std::unique_ptr<QTextDocument> printableViewForEmailEntity(const AttachedEmail& email);
};
