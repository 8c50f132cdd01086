#pragma once

#include <QSplitter>

// The main window's split view: the product list on the left, the product's tabs on the right.
// When the window is resized both sides share the change (the right side a little more). The divider stays within both
// minimums and neither pane can be collapsed.
class SourceListSplitter : public QSplitter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SourceListSplitter)

public:
    static constexpr int MinimumListWidth = 100;
    static constexpr int MinimumDetailWidth = 350;

    SourceListSplitter(QWidget* list, QWidget* details, QWidget* parent = nullptr);
    ~SourceListSplitter() override;
};
