#pragma once

#include <functional>

class ApplicationLocator;

// Makes a new lookup over the application folders. The imports take one from the layer that knows
// which folders the person has chosen, so a new product named like an installed application
// starts from that application's information.
using ApplicationLocatorSource = std::function<ApplicationLocator()>;
