#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Everything the application controller says to or asks of the person, in one place. The window
// shows real dialogs, the command line answers from its flags, and tests script the answers, so every
// command can run without a display. Calls come from the main thread.

enum class AlertStyle { Informational, Warning, Critical };

struct Alert
{
    AlertStyle style = AlertStyle::Informational;
    QString title; // the alert's main text; may be empty
    QString message; // the informative text below it; may be empty
    QStringList buttons; // texts in order; the first is the default. Empty means one "OK" button.
    int escapeButton = -1; // the button Escape answers; -1 for none
};

enum class Answer { Yes, No, Cancel };

struct Question
{
    AlertStyle style = AlertStyle::Warning;
    QString title;
    QString message;
    QString yesButton; // the default button
    QString noButton;
    QString cancelButton; // empty: the question cannot be cancelled (Escape answers No)
};

struct OpenPanelOptions
{
    QString title;
    QString prompt; // text of the confirming button; empty for the usual one
    QString startFolder; // "~" already expanded
    bool chooseFiles = true;
    bool chooseFolders = false;
    bool allowsMultipleSelection = false;
    bool canCreateFolders = false;
    QStringList allowedExtensions; // without dots; empty allows every file
};

struct SavePanelOptions
{
    QString title;
    QString prompt;
    QString startFolder;
    QString proposedName;
    bool canCreateFolders = true;
    bool confirmOverwrite = true; // false when the caller writes to the next free name itself
};

// An error shown to the person, as the persistence layer and file operations report them.
struct PresentableError
{
    QString description; // what went wrong
    QString recoverySuggestion; // what the person can do; may be empty
    QString details; // underlying error text; may be empty
};

class UserInterface
{
public:
    UserInterface() = default;
    virtual ~UserInterface();

    UserInterface(const UserInterface&) = delete;
    UserInterface& operator=(const UserInterface&) = delete;

    // Shows an alert and answers the index of the button chosen.
    virtual int runAlert(const Alert& alert) = 0;
    virtual Answer ask(const Question& question) = 0;

    // The chosen paths, or nullopt when the person cancelled.
    virtual std::optional<QStringList> runOpenPanel(const OpenPanelOptions& options) = 0;
    virtual std::optional<QString> runSavePanel(const SavePanelOptions& options) = 0;

    // Shows an error; answers true when the person dealt with it (recovered), false otherwise.
    virtual bool presentError(const PresentableError& error) = 0;

    // The progress sheet over the main window: a message and an indeterminate indicator. Starting
    // while shown replaces the message; one stop hides it however many starts came before; a stop
    // while hidden changes nothing.
    virtual void startProgress(const QString& message) = 0;
    virtual void stopProgress() = 0;
    virtual bool isProgressShown() const = 0;

    // Puts plain text on the clipboard. `sensitive` marks it so clipboard managers do not keep it
    // (licence keys). An empty text leaves an empty plain-text clipboard.
    virtual void setClipboardText(const QString& text, bool sensitive) = 0;
};
