#include "SourceListSplitter.h"

SourceListSplitter::SourceListSplitter(QWidget* list, QWidget* details, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent)
{
    setObjectName(QStringLiteral("sourceListSplitter"));
    list->setMinimumWidth(MinimumListWidth);
    details->setMinimumWidth(MinimumDetailWidth);
    addWidget(list);
    addWidget(details);
    setChildrenCollapsible(false);
    // Only the right side stretches; the list gives way only below the right side's minimum.
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setSizes({380, 660});
}

SourceListSplitter::~SourceListSplitter() = default;
