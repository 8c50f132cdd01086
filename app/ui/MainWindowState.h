#pragma once

#include <QString>

class QHeaderView;
class QMainWindow;
class QSplitter;
class QTabWidget;
class UserDefaults;

// The parts of the main window's arrangement kept between runs: its geometry, the list/details
// divider, the list's columns (shown, widths, sort column) and the details tab shown.
class MainWindowState
{
public:
    static const QString GeometryKey;
    static const QString SplitterKey;
    static const QString ColumnsKey;
    static const QString TabKey;

    struct Parts
    {
        QMainWindow* window = nullptr;
        QSplitter* splitter = nullptr;
        QHeaderView* header = nullptr;
        QTabWidget* tabs = nullptr;
    };

    static void save(UserDefaults& defaults, const Parts& parts);
    // Answers whether the list's columns were restored (else they keep their first-run layout).
    static bool restore(const UserDefaults& defaults, const Parts& parts);
};
