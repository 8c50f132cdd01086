#include "PreferencesPanes.h"

#include "CurrencyListPane.h"
#include "FadedText.h"
#include "MailSources.h"
#include "PreferencesController.h"
#include "PreferencesPane.h"
#include "attachments/MailImportService.h"
#include "base/Localization.h"
#include "model/IdentitySources.h"
#include "model/RegistrationAutofill.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserDefaults.h"
#include "prefs/UserPreferences.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QThread>

#include <cmath>

namespace {

QLabel* noteLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    useFadedText(label);
    return label;
}

// The autosave period in whole seconds; the spin box cannot hold text, zero or a negative period.
void addAutoSaveInterval(PreferencesPane* pane)
{
    PreferencesController& controller = pane->controller();
    auto* seconds = new QSpinBox(pane);
    seconds->setObjectName(PreferenceKeys::AutoSaveTimeInterval);
    seconds->setRange(PreferencesController::MinimumAutoSaveSeconds, PreferencesController::MaximumAutoSaveSeconds);
    seconds->setSuffix(localizedString(QStringLiteral("PreferencesSecondsSuffix")));
    // Typing "120" must not store 1 and 12 on the way.
    seconds->setKeyboardTracking(false);
    pane->addRow(localizedString(QStringLiteral("PreferencesAutoSaveLabel")), seconds);
    pane->addLoader([pane, seconds] {
        const QSignalBlocker blocker(seconds);
        seconds->setValue(int(std::lround(pane->prefs().autoSaveTimeInterval())));
    });
    QObject::connect(seconds, &QSpinBox::valueChanged, pane,
                     [&controller](int value) { controller.setAutoSaveTimeInterval(value); });
}

template<typename Setter>
std::function<bool()> folderChoice(PreferencesController& controller, const QString& key, Setter set)
{
    return [&controller, key, set] {
        return controller.chooseFolder(key,
                                       [&controller, set](const QString& path) { (controller.prefs().*set)(path); });
    };
}

void addFolder(PreferencesPane* pane, const QString& key, const QString& label, PreferencesPane::TextGetter get,
               PreferencesPane::TextSetter set)
{
    pane->addFolder(key, label, get, folderChoice(pane->controller(), key, set));
}

// Where "Find Licences in Mail" reads, shown by the sheet's names for the sources.
void addMailSources(PreferencesPane* pane)
{
    using PreferenceKeys::MailSource;
    const auto label = [](const QString& source) { return MailSources::label(source); };
    QStringList labels;
    for (const QString& source : UserPreferences::mailSources()) {
        labels.append(label(source));
    }
    PreferencesController& controller = pane->controller();
    pane->addChoice(
        MailSource, localizedString(QStringLiteral("PreferencesMailSourceChoice")), labels,
        [pane, label] {
            const QString source = pane->prefs().mailSource();
            return source.isEmpty() ? QString() : label(source);
        },
        [pane, label, &controller](const QString& text) {
            for (const QString& source : UserPreferences::mailSources()) {
                if (label(source) == text) {
                    pane->prefs().setMailSource(source);
                    controller.notePreferenceChanged(MailSource);
                }
            }
        });
    pane->addFolder(PreferenceKeys::MailSourcePath, localizedString(QStringLiteral("PreferencesMailSourcePathField")),
                    &UserPreferences::mailSourcePath, [&controller] { return controller.chooseMailSourcePath(); });
}

QString identitySourceLabel(IdentitySources::Source source)
{
    using IdentitySources::Source;
    switch (source) {
    case Source::AddressCard:
        return localizedString(QStringLiteral("IdentitySourceAddressCard"));
    case Source::Thunderbird:
        return localizedString(QStringLiteral("IdentitySourceThunderbird"));
    case Source::Evolution:
        return localizedString(QStringLiteral("IdentitySourceEvolution"));
    case Source::OnlineAccounts:
        return localizedString(QStringLiteral("IdentitySourceOnlineAccounts"));
    case Source::Git:
        return localizedString(QStringLiteral("IdentitySourceGit"));
    case Source::Account:
        return localizedString(QStringLiteral("IdentitySourceAccount"));
    }
    return {};
}

QString describedIdentity(const PersonIdentity& identity)
{
    if (!identity.isUsable()) {
        return localizedString(QStringLiteral("PreferencesIdentityNothingFound"));
    }
    QStringList known;
    for (const QString& part : {identity.name, identity.email, identity.organization}) {
        if (!part.trimmed().isEmpty()) {
            known.append(part.trimmed());
        }
    }
    return known.join(QStringLiteral(", "));
}

// Reads every source on a worker (files, and the session bus with its timeout) and shows what each
// one knows in `label` when done, unless the pane has gone meanwhile.
void showIdentitySources(QLabel* label, const QString& profile)
{
    label->setText(localizedString(QStringLiteral("PreferencesIdentityReading")));
    const QString cardPath = RegistrationAutofill::cardPath();
    QPointer<QLabel> target(label);
    QThread* worker = QThread::create([target, cardPath, profile] {
        std::vector<PersonIdentity> found;
        for (const IdentitySources::Source source : IdentitySources::all()) {
            found.push_back(IdentitySources::read(source, cardPath, profile).identity);
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [target, found] {
                if (!target) {
                    return;
                }
                QStringList lines;
                for (std::size_t i = 0; i < found.size(); ++i) {
                    lines.append(
                        localizedFormat(QStringLiteral("PreferencesIdentitySourceLineFormat"),
                                        {identitySourceLabel(IdentitySources::all()[i]), describedIdentity(found[i])}));
                }
                target->setText(lines.join(QLatin1Char('\n')));
            },
            Qt::QueuedConnection);
    });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

// Which source new products take the person's details from, and what each source knows.
void addIdentitySources(PreferencesPane* pane)
{
    using PreferenceKeys::RegistrationInfoSource;
    const QString automatic = localizedString(QStringLiteral("PreferencesIdentitySourceAutomatic"));
    QStringList labels {automatic};
    for (const IdentitySources::Source source : IdentitySources::all()) {
        labels.append(identitySourceLabel(source));
    }
    PreferencesController& controller = pane->controller();
    pane->addChoice(
        RegistrationInfoSource, localizedString(QStringLiteral("PreferencesIdentitySourceLabel")), labels,
        [pane, automatic] {
            const auto source
                = IdentitySources::fromKey(pane->prefs().defaults().value(RegistrationInfoSource).toString());
            return source ? identitySourceLabel(*source) : automatic;
        },
        [pane, &controller](const QString& text) {
            QString key = QString::fromLatin1(IdentitySources::Automatic);
            for (const IdentitySources::Source source : IdentitySources::all()) {
                if (identitySourceLabel(source) == text) {
                    key = IdentitySources::key(source);
                }
            }
            pane->prefs().defaults().setValue(RegistrationInfoSource, key);
            controller.notePreferenceChanged(RegistrationInfoSource);
        });
    auto* found = new QLabel(pane);
    found->setObjectName(QStringLiteral("IdentitySourcesFound"));
    found->setTextFormat(Qt::PlainText);
    found->setWordWrap(true);
    pane->addRow(localizedString(QStringLiteral("PreferencesIdentitySourcesFoundLabel")), found);
    pane->addLoader([pane, found] { showIdentitySources(found, pane->prefs().addressBookProfile()); });
}

} // namespace

namespace PreferencesPanes {

PreferencesPane* makeGeneralPane(PreferencesController& controller, QWidget* parent)
{
    using namespace PreferenceKeys;
    auto* pane = new PreferencesPane(QString::fromLatin1(PreferencesController::GeneralPane), controller, parent);
    addAutoSaveInterval(pane);
    pane->addChoice(
        AttachmentSortKey, localizedString(QStringLiteral("PreferencesAttachmentSortLabel")),
        PreferencesController::availableAttachmentSortKeys(), [&controller] { return controller.attachmentSortKey(); },
        [&controller](const QString& key) { controller.setAttachmentSortKey(key); });
    pane->addCheckBox(PrintAllOneAppPerPage, localizedString(QStringLiteral("PreferencesOneProductPerPageCheckBox")),
                      &UserPreferences::printAllOneAppPerPage, &UserPreferences::setPrintAllOneAppPerPage);
    addFolder(pane, ImportAppPath, localizedString(QStringLiteral("PreferencesImportAppPathLabel")),
              &UserPreferences::importAppPath, &UserPreferences::setImportAppPath);
    addFolder(pane, ImportIconPath, localizedString(QStringLiteral("PreferencesImportIconPathLabel")),
              &UserPreferences::importIconPath, &UserPreferences::setImportIconPath);
    addFolder(pane, ImportFilePath, localizedString(QStringLiteral("PreferencesImportFilePathLabel")),
              &UserPreferences::importFilePath, &UserPreferences::setImportFilePath);
    addFolder(pane, ExportAttachmentPath, localizedString(QStringLiteral("PreferencesExportAttachmentPathLabel")),
              &UserPreferences::exportAttachmentPath, &UserPreferences::setExportAttachmentPath);
    addFolder(pane, ExportCSVPath, localizedString(QStringLiteral("PreferencesExportCSVPathLabel")),
              &UserPreferences::exportCSVPath, &UserPreferences::setExportCSVPath);
    auto* currencies = new CurrencyListPane(&controller.delegate(), pane);
    pane->addRow(localizedString(QStringLiteral("PreferencesCurrenciesLabel")), currencies);
    pane->addLoader([currencies] { currencies->reload(); });
    return pane;
}

PreferencesPane* makeAutoFillPane(PreferencesController& controller, QWidget* parent)
{
    using namespace PreferenceKeys;
    auto* pane = new PreferencesPane(QString::fromLatin1(PreferencesController::AutoFillPane), controller, parent);
    pane->addCheckBox(DefaultUserInfoToAddressBook, localizedString(QStringLiteral("PreferencesAutoFillCheckBox")),
                      &UserPreferences::defaultUserInfoToAddressBook,
                      &UserPreferences::setDefaultUserInfoToAddressBook);
    pane->addChoice(
        AddressBookProfile, localizedString(QStringLiteral("PreferencesAddressBookProfileLabel")),
        PreferencesController::addressBookProfiles(), [&controller] { return controller.prefs().addressBookProfile(); },
        [&controller](const QString& profile) {
            controller.prefs().setAddressBookProfile(profile);
            controller.notePreferenceChanged(AddressBookProfile);
        });
    addIdentitySources(pane);
    pane->addRow(QString(), noteLabel(localizedString(QStringLiteral("PreferencesAutoFillNote")), pane));
    return pane;
}

PreferencesPane* makeEmailScannerPane(PreferencesController& controller, QWidget* parent)
{
    using namespace PreferenceKeys;
    auto* pane = new PreferencesPane(QString::fromLatin1(PreferencesController::EmailScannerPane), controller, parent);
    pane->addCheckBox(ScanEmailUponImport, localizedString(QStringLiteral("PreferencesScanEmailCheckBox")),
                      &UserPreferences::scanEmailUponImport, &UserPreferences::setScanEmailUponImport);
    pane->addCheckBox(AskBeforeReplacingCurrentInfo,
                      localizedString(QStringLiteral("PreferencesAskBeforeReplacingCheckBox")),
                      &UserPreferences::askBeforeReplaceInfo, &UserPreferences::setAskBeforeReplaceInfo);
    pane->addCheckBox(AutoCopySerial, localizedString(QStringLiteral("PreferencesAutoCopySerialCheckBox")),
                      &UserPreferences::autoCopySerial, &UserPreferences::setAutoCopySerial);
    return pane;
}

PreferencesPane* makeSyncUpdatePane(PreferencesController& controller, QWidget* parent)
{
    using namespace PreferenceKeys;
    auto* pane = new PreferencesPane(QString::fromLatin1(PreferencesController::SyncUpdatePane), controller, parent);
    pane->addCheckBox(SyncOn, localizedString(QStringLiteral("PreferencesSyncOnCheckBox")), &UserPreferences::syncOn,
                      &UserPreferences::setSyncOn);
    pane->addFolder(SyncDropFolderLocation, localizedString(QStringLiteral("PreferencesDropboxFolderLabel")),
                    &UserPreferences::syncDropFolderLocation,
                    [&controller] { return controller.locateDropboxFolder(); });
    pane->addRow(QString(), noteLabel(localizedString(QStringLiteral("PreferencesSyncNote")), pane));
    auto* links = new QWidget(pane);
    auto* row = new QHBoxLayout(links);
    row->setContentsMargins(0, 0, 0, 0);
    auto* getDropbox = new QPushButton(localizedString(QStringLiteral("PreferencesGetDropboxButton")), links);
    getDropbox->setObjectName(QStringLiteral("getDropbox"));
    auto* getTouch = new QPushButton(localizedString(QStringLiteral("PreferencesGetKeymoorForPhoneButton")), links);
    getTouch->setObjectName(QStringLiteral("getKeymoorTouch"));
    row->addWidget(getDropbox);
    row->addWidget(getTouch);
    row->addStretch(1);
    QObject::connect(getDropbox, &QPushButton::clicked, pane, [&controller] { controller.getDropbox(); });
    QObject::connect(getTouch, &QPushButton::clicked, pane, [&controller] { controller.getKeymoorTouch(); });
    pane->addRow(QString(), links);
    return pane;
}

PreferencesPane* makeAdvancedPane(PreferencesController& controller, QWidget* parent)
{
    using namespace PreferenceKeys;
    auto* pane = new PreferencesPane(QString::fromLatin1(PreferencesController::AdvancedPane), controller, parent);
    QCheckBox* detect = pane->addCheckBox(
        AutoDetectEmailReader, localizedString(QStringLiteral("PreferencesDefaultMailProgramCheckBox")),
        &UserPreferences::autoDetectEmailReader, &UserPreferences::setAutoDetectEmailReader);
    QCheckBox* appleMail
        = pane->addCheckBox(EnableAppleMail, localizedString(QStringLiteral("PreferencesAppleMailCheckBox")),
                            &UserPreferences::enableAppleMail, &UserPreferences::setEnableAppleMail);
    QCheckBox* outlook
        = pane->addCheckBox(EnableMicrosoftOutlook, localizedString(QStringLiteral("PreferencesOutlookCheckBox")),
                            &UserPreferences::enableMicrosoftOutlook, &UserPreferences::setEnableMicrosoftOutlook);
    // The two choices only count while the default mail program is not detected.
    const auto follow = [appleMail, outlook](bool detecting) {
        appleMail->setEnabled(!detecting);
        outlook->setEnabled(!detecting);
    };
    QObject::connect(detect, &QCheckBox::toggled, pane, follow);
    pane->addLoader([detect, follow] { follow(detect->isChecked()); });
    // The helpers of the other platform's mail programs only count when the person installed one.
    pane->addLoader([detect, appleMail, outlook] {
        const bool mail = MailImportService::isHelperInstalled(QStringLiteral("MailHelper"));
        const bool outlookHelper = MailImportService::isHelperInstalled(QStringLiteral("OutlookHelper"));
        appleMail->setVisible(mail);
        outlook->setVisible(outlookHelper);
        detect->setVisible(mail || outlookHelper);
    });
    addMailSources(pane);
    return pane;
}

} // namespace PreferencesPanes
