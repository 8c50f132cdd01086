#include "ExportField.h"

const QList<QPair<QString, QString>>& exportableKeyPathLabelKeys()
{
    static const QList<QPair<QString, QString>> keys {
        {QStringLiteral("title"), QStringLiteral("ExportTitle")},
        {QStringLiteral("productVersion"), QStringLiteral("ExportVersion")},
        {QStringLiteral("serialNumber"), QStringLiteral("ExportSerialNumber")},
        {QStringLiteral("registeredName"), QStringLiteral("ExportRegisteredName")},
        {QStringLiteral("registeredEmail"), QStringLiteral("ExportRegisteredEmail")},
        {QStringLiteral("registeredCompany"), QStringLiteral("ExportRegisteredCompany")},
        {QStringLiteral("publisher"), QStringLiteral("ExportPublisher")},
        {QStringLiteral("productWebsite"), QStringLiteral("ExportWebsite")},
        {QStringLiteral("productEmail"), QStringLiteral("ExportSupportEmail")},
        {QStringLiteral("purchaseDate"), QStringLiteral("ExportPurchaseDate")},
        {QStringLiteral("purchaseCurrency"), QStringLiteral("ExportPurchaseCurrency")},
        {QStringLiteral("purchasePrice"), QStringLiteral("ExportPurchasePrice")},
        {QStringLiteral("purchaseOrderNumber"), QStringLiteral("ExportPurchaseOrderNumber")},
        {QStringLiteral("commentsString"), QStringLiteral("ExportNotes")},
        {QStringLiteral("licenseType"), QStringLiteral("ExportLicenseType")},
        {QStringLiteral("expiryDate"), QStringLiteral("ExportExpiryDate")},
        {QStringLiteral("renewalDate"), QStringLiteral("ExportRenewalDate")},
        {QStringLiteral("renewalPeriodMonths"), QStringLiteral("ExportRenewalPeriodMonths")},
        {QStringLiteral("renewalPrice"), QStringLiteral("ExportRenewalPrice")},
        {QStringLiteral("seats"), QStringLiteral("ExportSeats")},
        {QStringLiteral("remindDaysBefore"), QStringLiteral("ExportRemindDaysBefore")},
        {QStringLiteral("archived"), QStringLiteral("ExportArchived")},
    };
    return keys;
}
