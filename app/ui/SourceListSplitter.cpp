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
    // Both sides share a wider window, so a wide window gives the list room for more columns.
    setStretchFactor(0, 2);
    setStretchFactor(1, 3);
    setSizes({380, 660});
}

SourceListSplitter::~SourceListSplitter() = default;
