#pragma once

// Connects the process-wide services of the libraries to the application, once at start-up, for
// the window and the command line alike: the log, the localization table.
void configureApplicationServices();
