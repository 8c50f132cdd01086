#pragma once

#include "base/StartupFolders.h"

#include <functional>

// Connects the process-wide services of the libraries to the application, once at start-up, for
// the window and the command line alike: the log, the localization table.
void configureApplicationServices();

// Shows a folder problem to the person (an alert in the window, a line on the terminal).
using FolderProblemPresenter = std::function<void(const FolderProblem& problem)>;

// Checks the application's folders before anything uses them, and makes a folder that fails later
// (the toolkit's fatal errors) end the process the same way: `present` tells the person, then the
// process ends with status 1. False when a problem was found and presented at start-up.
bool checkApplicationFolders(FolderProblemPresenter present);
