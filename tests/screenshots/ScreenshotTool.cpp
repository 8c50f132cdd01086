// Renders the windows people see first to PNG files, offscreen, over a small invented catalogue in
// a private temporary home:
//  - main-window.png (and main-window-dark.png in a dark Fusion palette),
//  - attachments-viewer.png showing a receipt e-mail,
//  - preferences.png,
//  - import-sheet.png and export-sheet.png.
// With --check the files are read back and each must have the size of its window and more than
// one colour, so the pictures cannot silently turn blank or vanish. With --scale 2 everything is
// drawn at twice the size (as on a 200% screen) and the names end in "-200" (main-window-200.png).
//
//   keymoor_screenshots OUTPUT_FOLDER [--check] [--scale FACTOR]

#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "import/ZRImportSheetController.h"
#include "model/AttachmentEntity.h"
#include "model/ProductEntity.h"
#include "persistence/Decimal.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestData.h"
#include "ui/AttachmentsWindowController.h"
#include "ui/DelimitedExportSheet.h"
#include "ui/ImportSheet.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesController.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QMainWindow>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cstdio>
#include <map>

using namespace Persistence;

namespace {

struct InventedProduct
{
    const char* title;
    const char* version;
    const char* publisher;
    const char* serial;
    const char* price;
    const char* currency;
    QDate purchased;
    QColor colour;
};

const InventedProduct Catalogue[] = {
    {"Lumen Sketch",
     "4.2",
     "Lumen Works",
     "LSK4-7QH2-PX9M-44RT-ZB6W",
     "59.00",
     "€",
     {2026, 4, 14},
     QColor(0xe0, 0x7a, 0x1f)},
    {"Harbor FTP",
     "3.1.4",
     "Blue Harbour",
     "HFTP-2231-9930-1187",
     "29.95",
     "$",
     {2025, 11, 2},
     QColor(0x1f, 0x6f, 0xb5)},
    {"Inkwell Notes", "12.0", "Inkwell Labs", "INK-A8F3-22KD", "19.00", "$", {2024, 6, 30}, QColor(0x55, 0x55, 0x8a)},
    {"Nordlicht Photo",
     "2.1",
     "Nordlicht Software",
     "NLP-5521-KQ",
     "89.00",
     "€",
     {2026, 1, 8},
     QColor(0x2a, 0x9d, 0x8f)},
    {"Pixel Forge", "7.5", "Forge & Co", "PF7-0042-8812-7731", "49.00", "£", {2023, 9, 21}, QColor(0xc0, 0x39, 0x2b)},
    {"Quill Writer", "5.0.2", "Quill Software", "QW5-PRO-66120", "35.00", "$", {2025, 3, 3}, QColor(0x8e, 0x44, 0xad)},
    {"Sundial Backup", "1.9", "Sundial", "SDB-19-440-2210", "24.00", "$", {2022, 12, 12}, QColor(0xf1, 0xc4, 0x0f)},
    {"Terra Maps",
     "2026.1",
     "Terra Cartography",
     "TM-2026-8891-XX",
     "120.00",
     "$",
     {2026, 2, 27},
     QColor(0x27, 0xae, 0x60)},
};

const QSize MainWindowSize(1100, 700);

QImage inventedIcon(const QColor& colour, QChar letter)
{
    QImage icon(256, 256, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(16, 16, 224, 224), 48, 48);
    QFont font = painter.font();
    font.setPixelSize(150);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(icon.rect(), Qt::AlignCenter, QString(letter));
    return icon;
}

// Fills the library; answers the receipt e-mail attached to the first product.
AttachmentEntity* fillCatalogue(KeymoorAppDelegate& delegate)
{
    ObjectContext* context = delegate.managedObjectContext();
    AttachmentEntity* receipt = nullptr;
    for (const InventedProduct& invented : Catalogue) {
        auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(QString::fromUtf8(invented.title));
        product->setProductVersion(QString::fromUtf8(invented.version));
        product->setPublisher(QString::fromUtf8(invented.publisher));
        product->setSerialNumber(QString::fromUtf8(invented.serial));
        product->setPurchaseCurrency(QString::fromUtf8(invented.currency));
        product->setPurchasePrice(Decimal::fromString(QString::fromUtf8(invented.price)));
        product->setPurchaseDate(QDateTime(invented.purchased, QTime(10, 0), QTimeZone::utc()));
        product->setRegisteredName(QStringLiteral("Ada Example"));
        product->setRegisteredEmail(QStringLiteral("ada@example.org"));
        product->setExternalIconImage(inventedIcon(invented.colour, QString::fromUtf8(invented.title).at(0)));
        if (!receipt) {
            product->setProductWebsite(QStringLiteral("https://lumenworks.example/sketch"));
            receipt = product->attachDocument(testDataPath("/screenshots/receipt.eml"));
        }
    }
    return delegate.saveAction() ? receipt : nullptr;
}

QPalette darkPalette()
{
    QPalette palette;
    const QColor window(0x2b, 0x2b, 0x2e);
    const QColor base(0x1e, 0x1e, 0x20);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x6f, 0xd0));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x6a, 0xa8, 0xff));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return palette;
}

void settle()
{
    for (int pass = 0; pass < 5; ++pass) {
        QApplication::processEvents();
    }
}

// "-200" at 200%, nothing at 100%: the pictures of one scale sit beside those of another.
QString scaleSuffix()
{
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    return scale > 0 && qRound(scale * 100) != 100 ? QStringLiteral("-%1").arg(qRound(scale * 100)) : QString();
}

bool save(QWidget& widget, const QDir& folder, const QString& baseName, std::map<QString, QSize>& written)
{
    settle();
    const QImage picture = widget.grab().toImage();
    const QString name = QString(baseName).replace(QStringLiteral(".png"), scaleSuffix() + QStringLiteral(".png"));
    const QString path = folder.filePath(name);
    if (picture.isNull() || !picture.save(path, "PNG")) {
        std::fprintf(stderr, "keymoor_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    written[name] = picture.size();
    std::printf("%s %dx%d\n", qPrintable(path), picture.width(), picture.height());
    return true;
}

bool shootMainWindow(KeymoorAppDelegate& delegate, const QDir& folder, std::map<QString, QSize>& written)
{
    MainWindow window(&delegate);
    window.resize(MainWindowSize);
    window.show();
    window.selectFirstProduct();
    if (!save(window, folder, QStringLiteral("main-window.png"), written)) {
        return false;
    }
    const QPalette light = QApplication::palette();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
    const bool dark = save(window, folder, QStringLiteral("main-window-dark.png"), written);
    QApplication::setPalette(light);

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    PreferencesController* preferences = window.preferencesController();
    preferences->showWindow();
    const bool prefs = save(*preferences->window(), folder, QStringLiteral("preferences.png"), written);
    preferences->window()->close();

    // The sheets open at the size they ask for, as on a screen large enough for them (the
    // offscreen screen is small at 200%).
    ZRImportSheetController sheetController;
    sheetController.setFieldQuote(QStringLiteral("Double Quote"));
    sheetController.setImportTextHasHeaderRow(true);
    // Deep enough that the field shows none of the random temporary folder.
    const QString sample = QDir::home().filePath(QStringLiteral("Documents/Purchases/software-licences.csv"));
    QDir::home().mkpath(QStringLiteral("Documents/Purchases"));
    QFile::copy(testDataPath("/import/products.csv"), sample);
    sheetController.setImportTextFile(sample);
    ImportSheet sheet(&delegate, &sheetController, {}, &window);
    sheet.show();
    sheet.resize(sheet.sizeHint().expandedTo(sheet.size()));
    const bool imports = save(sheet, folder, QStringLiteral("import-sheet.png"), written);
    sheet.close();

    DelimitedExportSheet exportSheet(delegate.dataMigrator(), &window);
    exportSheet.show();
    exportSheet.resize(exportSheet.sizeHint().expandedTo(exportSheet.size()));
    const bool exports = save(exportSheet, folder, QStringLiteral("export-sheet.png"), written);
    exportSheet.close();
    return dark && prefs && imports && exports;
}

bool shootReceipt(KeymoorAppDelegate& delegate, AttachmentEntity* receipt, const QDir& folder,
                  std::map<QString, QSize>& written)
{
    AttachmentsWindowController viewer(&delegate);
    viewer.resize(820, 620);
    if (!viewer.showWindowForObjectID(receipt->objectID())) {
        std::fprintf(stderr, "keymoor_screenshots: the receipt cannot be shown\n");
        return false;
    }
    return save(viewer, folder, QStringLiteral("attachments-viewer.png"), written);
}

// The written pictures must read back at their windows' sizes and show more than one colour.
bool checkPictures(const QDir& folder, const std::map<QString, QSize>& written)
{
    bool good = written.size() == 6;
    for (const auto& [name, size] : written) {
        const QImage picture(folder.filePath(name));
        bool varied = false;
        for (int y = 0; !varied && y < picture.height(); y += 7) {
            varied = picture.pixel(picture.width() / 2, y) != picture.pixel(0, 0);
        }
        if (picture.size() != size || size.width() < 300 || size.height() < 200 || !varied) {
            std::fprintf(stderr, "keymoor_screenshots: %s is %dx%d%s\n", qPrintable(name), picture.width(),
                         picture.height(), varied ? "" : " and of one colour");
            good = false;
        }
    }
    return good;
}

// The factor given with --scale; 1 without it, 0 when it is not a sensible factor.
double scaleArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--scale") == 0) {
            bool ok = false;
            const double scale = i + 1 < argc ? QByteArray(argv[i + 1]).toDouble(&ok) : 0;
            return ok && scale >= 0.5 && scale <= 4 ? scale : 0;
        }
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The scale must be set before the application starts.
    const double scale = scaleArgument(argc, argv);
    if (scale != 1) {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    }
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2 || arguments.at(1).startsWith(QLatin1Char('-')) || scale == 0) {
        std::fprintf(stderr, "usage: keymoor_screenshots OUTPUT_FOLDER [--check] [--scale FACTOR]\n");
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "keymoor_screenshots: cannot make %s\n", qPrintable(folder.path()));
        return 1;
    }
    QTemporaryDir home;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"}) {
        const QString path = home.filePath(QString::fromLatin1(name).toLower());
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }
    qputenv("HOME", QFile::encodeName(home.path()));
    Log::setLogFilePath(QString());
    Log::setEchoToStandardError(false);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    ScriptedUserInterface ui;
    UserDefaults defaults(home.filePath(QStringLiteral("Keymoor.conf")));
    KeymoorAppDelegate delegate(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &defaults);
    delegate.initializeDefaultData();
    AttachmentEntity* receipt = fillCatalogue(delegate);
    if (!receipt) {
        std::fprintf(stderr, "keymoor_screenshots: the invented catalogue cannot be saved\n");
        return 1;
    }
    std::map<QString, QSize> written;
    const bool shot = shootReceipt(delegate, receipt, folder, written) && shootMainWindow(delegate, folder, written);
    if (!shot) {
        return 1;
    }
    return arguments.contains(QStringLiteral("--check")) && !checkPictures(folder, written) ? 1 : 0;
}
