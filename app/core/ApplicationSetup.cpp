#include "ApplicationSetup.h"

#include "AppLogging.h"
#include "Localization.h"
#include "email/ZREmailParser.h"

void configureApplicationServices()
{
    installApplicationLogging();
    ZREmailParser::setLocalizer([](const QString& key) { return localizedString(key); });
}
