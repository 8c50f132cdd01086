#include "ApplicationSetup.h"

#include "ZRApplicationFolders.h"
#include "base/AppLogging.h"
#include "base/Localization.h"
#include "email/ZREmailParser.h"

#include <cstdlib>

void configureApplicationServices()
{
    installApplicationLogging();
    ZREmailParser::setLocalizer([](const QString& key) { return localizedString(key); });
}

bool checkApplicationFolders(FolderProblemPresenter present)
{
    ZR_setFatalErrorHandler([present](const ZRError& error) {
        present(StartupFolders::cacheFolderProblem(error.description));
        std::exit(1);
    });
    if (const auto problem = StartupFolders::check()) {
        present(*problem);
        return false;
    }
    return true;
}
