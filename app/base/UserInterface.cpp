#include "UserInterface.h"

UserInterface::~UserInterface() = default;
