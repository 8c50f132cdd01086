#pragma once

#include <QString>

#include <optional>

// Why Keymoor cannot keep its files, in words for the person: which folder, where, and why.
struct FolderProblem
{
    QString title; // "Keymoor cannot find your cache folder"
    QString message; // what it means for the person
    QString reason; // the path and what is wrong with it
};

namespace StartupFolders {

// Checks, before anything else runs, that the cache and state folders exist (creating them: the
// log lives in the state folder) and that the application-support and library folders are folders or can be created
// (creating nothing: a command that only looks must leave no trace). The first problem found.
std::optional<FolderProblem> check();

// The problem for an error the toolkit reports about the cache folder while the program runs.
FolderProblem cacheFolderProblem(const QString& reason);

} // namespace StartupFolders
