#include "ImportService.h"

ImportService::ImportService(LibrarySession& session, ApplicationLocatorSource locators)
    : m_text(session, m_tally, locators)
    , m_files(session, m_tally, locators)
    , m_bundles(session, m_tally, m_files, std::move(locators))
{ }
