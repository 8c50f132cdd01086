#pragma once

#include "ApplicationLocatorSource.h"
#include "persistence/ObjectID.h"
#include "software/InstalledApplication.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>

class InstalledSoftwareScanner;
class LibrarySession;

// An installed application as discovery shows it: whether the catalogue already has it.
struct DiscoveredApplication
{
    InstalledApplication application;
    bool inCatalogue = false;
    QString bundleIdentifier; // the CFBundleIdentifier of an application bundle
};

// Finds the installed applications (desktop entries, AppImages and application bundles) and adds
// the ones chosen to the catalogue. A product counts as the application's when its
// bundleIdentifier equals the application's ID or its title equals the application's name
// ignoring case.
class SoftwareDiscoveryService
{
    Q_DISABLE_COPY_MOVE(SoftwareDiscoveryService)

public:
    // Makes the scanner a discovery uses (tests point it at fixture folders).
    using ScannerSource = std::function<InstalledSoftwareScanner()>;

    SoftwareDiscoveryService(LibrarySession& session, ApplicationLocatorSource locators, ScannerSource scanners);

    // The installed applications in title order, NoDisplay ones left out; with includeCatalogued
    // false, only those the catalogue does not have yet. Reads the catalogue on the calling
    // thread's context; the scan itself touches no library object and may run on a worker.
    QList<DiscoveredApplication> discover(bool includeCatalogued);

    // The two halves of discover(): the installed applications in title order, NoDisplay ones left
    // out, none marked (reads the disk only, so it may run on a worker); then, on the main thread,
    // the marking of those the catalogue has.
    QList<DiscoveredApplication> installedApplications() const;
    void markInCatalogue(QList<DiscoveredApplication>& applications) const;

    // Adds the applications with these IDs (as discover() gives them) as new products, with title,
    // version, publisher, website, e-mail, bundleIdentifier and icon, in one saved change. An ID
    // that names no installed application changes nothing and answers nullopt with an error text
    // naming it. Answers the new products in the order of the IDs.
    std::optional<QList<Persistence::ObjectID>> addApplications(const QStringList& ids, QString* error);
    // The same for applications already found (the window's sheet has them).
    std::optional<QList<Persistence::ObjectID>> addApplications(const QList<InstalledApplication>& applications,
                                                                QString* error);

private:
    LibrarySession& m_session;
    ApplicationLocatorSource m_locators;
    ScannerSource m_scanners;
};
