#include "TestData.h"

#ifndef KEYMOOR_TEST_DATA_DIR
#error "KEYMOOR_TEST_DATA_DIR must name the tests/data folder"
#endif

QString testDataPath(const char* relativePath)
{
    return QStringLiteral(KEYMOOR_TEST_DATA_DIR) + QString::fromUtf8(relativePath);
}
