#include "ZRKitGlobal.h"

extern "C" {
const double ZRBackButtonTriangleWidth = 7.0;
}
