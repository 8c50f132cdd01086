#pragma once

// Sends every diagnostic line of the process to the application log: the toolkit's lines, the
// persistence layer's and Qt's own messages (the codec library reports through a Qt category).
void installApplicationLogging();
