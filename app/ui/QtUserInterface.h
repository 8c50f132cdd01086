#pragma once

#include "base/UserInterface.h"

#include <QPointer>

class ProgressSheet;
class QWidget;

// The UserInterface of the window: window-modal message boxes and file dialogs over the main
// window, the progress sheet, and the system clipboard. Main thread only.
class QtUserInterface : public UserInterface
{
public:
    // `window` is the main window the dialogs belong to; it must outlive this object or be null.
    explicit QtUserInterface(QWidget* window);
    ~QtUserInterface() override;

    // Makes `window` (or none) the parent of the dialogs and of the progress sheet: the interface
    // is made before the window, because the controller needs it to open the library.
    void setWindow(QWidget* window);
    QWidget* window() const { return m_window; }

    ProgressSheet* progressSheet() const;

    int runAlert(const Alert& alert) override;
    Answer ask(const Question& question) override;
    std::optional<QStringList> runOpenPanel(const OpenPanelOptions& options) override;
    std::optional<QString> runSavePanel(const SavePanelOptions& options) override;
    bool presentError(const PresentableError& error) override;
    void startProgress(const QString& message) override;
    void stopProgress() override;
    bool isProgressShown() const override;
    void setClipboardText(const QString& text, bool sensitive) override;

private:
    QPointer<QWidget> m_window;
    QPointer<ProgressSheet> m_progressSheet;
};
