#pragma once

#include <functional>

namespace Persistence {
class ObjectContext;
} // namespace Persistence

// Answers the library's main context when an operation needs it (null when the library is not
// open). Asked at the moment of use, because the maintenance parts are made before the library
// is opened (the start-up upgrade runs before that).
using MainContextProvider = std::function<Persistence::ObjectContext*()>;
