#include "ApplicationSetup.h"

#include "base/AppLogging.h"
#include "base/Localization.h"
#include "email/ZREmailParser.h"

void configureApplicationServices()
{
    installApplicationLogging();
    ZREmailParser::setLocalizer([](const QString& key) { return localizedString(key); });
}
