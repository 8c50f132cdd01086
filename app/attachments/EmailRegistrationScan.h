#pragma once

#include <functional>
#include <optional>

class AttachedEmail;
class LibrarySession;
class ProductEntity;
struct ZRRegistrationInfo;

// The registration scan of attached e-mails: reads an attached message for a serial number, the
// registered e-mail address and the purchase date, and hands what it found to the registration
// writer (which asks before replacing a serial and copies it when the person wants that). Also
// decides whether new e-mails are scanned when they are attached.
class EmailRegistrationScan
{
public:
    // Writes scanned registration data into a product; answers whether the product changed.
    using RegistrationWriter = std::function<bool(ProductEntity* product, const ZRRegistrationInfo& info)>;

    EmailRegistrationScan(LibrarySession& session, RegistrationWriter writer);

    // Scans an attached e-mail and writes what it finds into the e-mail's own product (asking first
    // when the product has a serial number and the person wants that). Answers whether it changed.
    bool scanEmailForRegistrationInfo(AttachedEmail* email) const;

    // "Scan Email Upon Import Key", unless overridden for this run.
    bool scanEmailUponImport() const;
    // Overrides the preference for this run (command line --no-scan); nullopt: the preference.
    void setScanEmailUponImportOverride(std::optional<bool> scan) { m_scanOverride = scan; }

private:
    LibrarySession& m_session;
    RegistrationWriter m_writer;
    std::optional<bool> m_scanOverride;
};
