#pragma once

#include <memory>

class AttachmentEntity;
class QTextDocument;

// What is printed for an attached file shown as text: its name in bold and its date, then its
// content, rendered as HTML when the text mentions "html" (in any letter case), else as plain text.
// Content that does not decode in the attachment's encoding (UTF-8 unless it records one), or that
// is larger than a visible text may be, prints as nothing below the header.
class ZRTextPrintView
{
public:
    ZRTextPrintView() = delete;

    static std::unique_ptr<QTextDocument> printableViewForAttachment(const AttachmentEntity& attachment);
};
