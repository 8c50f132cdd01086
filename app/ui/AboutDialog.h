#pragma once

#include <QString>

class QWidget;

// The Help > About box: the program's name, version, licence and web addresses.
class AboutDialog
{
public:
    // The box's text (rich text), kept apart so it can be checked without showing the box.
    static QString text();
    static void show(QWidget* parent);
};
