#pragma once

#include <QColor>

class QWidget;

// Secondary text (captions, a version under a title) is the text colour faded towards the
// background: dimmer than the main text and readable in any palette. The palette's placeholder
// colour is not used for it, because a dark palette made by hand often keeps the light palette's
// placeholder colour, dark on dark.
QColor fadedText(const QColor& text, const QColor& background);

// Gives a label (or any widget drawing with the window text role) the faded text colour of its
// current palette.
void useFadedText(QWidget* widget);
