#pragma once

#include <QString>

// The path of a file or folder under tests/data: testDataPath("/record/Sample.app"). The folder is
// compiled into the test main alone, so the test sources themselves do not depend on where the
// tree is checked out (and a second checkout builds them from the compiler cache).
QString testDataPath(const char* relativePath = "");
