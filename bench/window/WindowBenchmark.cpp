// The main window over a large library: makes a library of 100,000 products (by default) in a
// temporary home, opens it again as the application does at start, then measures
//  - the time from creating the main window to the list shown with the first product selected and
//    its details filled in;
//  - the idle time after that in which the search texts are made;
//  - the time the search field takes to refilter the list for each keystroke of a typed word,
//    then for each keystroke that deletes it again (median and max).
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//   window_benchmark [products]

#include "../support/UserFolders.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"
#include "ui/MainWindow.h"
#include "ui/ProductDetailView.h"
#include "ui/ProductListModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Persistence;

namespace {

constexpr int ProductsWithIcons = 40;

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Products as a catalogue holds them: every searched field filled, a few accented titles, and
// icons for the first products of the list.
bool fillLibrary(KeymoorAppDelegate& delegate, int count)
{
    ObjectContext* context = delegate.managedObjectContext();
    QImage picture(64, 64, QImage::Format_ARGB32);
    picture.fill(Qt::darkCyan);
    const QStringList publishers {QStringLiteral("Inkwell Labs"), QStringLiteral("Nordlicht Software"),
                                  QStringLiteral("Café Tools"), QStringLiteral("Blue Harbour")};
    for (int i = 0; i < count; ++i) {
        auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
        const QString number = QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
        product->setTitle((i % 7 == 0 ? QStringLiteral("Éditeur %1") : QStringLiteral("Product %1")).arg(number));
        product->setProductVersion(QStringLiteral("%1.%2").arg(i % 9 + 1).arg(i % 4));
        product->setSerialNumber(QStringLiteral("SER-%1-%2").arg(number).arg(i * 7919 % 100000));
        product->setPublisher(publishers.at(i % publishers.size()));
        product->setRegisteredName(QStringLiteral("Owner %1").arg(i % 500));
        product->setRegisteredEmail(QStringLiteral("owner%1@example.com").arg(i % 500));
        if (i < ProductsWithIcons) {
            product->setExternalIconImage(picture);
        }
    }
    StoreError error;
    if (!context->save(&error)) {
        std::printf("saving the library failed: %s\n", qPrintable(error.toString()));
        return false;
    }
    return true;
}

struct Spread
{
    double median = 0;
    double max = 0;
};

Spread spreadOf(std::vector<double> times)
{
    if (times.empty()) {
        return {};
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

// Each keystroke sets the field's text as typing does; the time includes the repaint.
std::vector<double> typeIntoSearch(MainWindow& window, const QStringList& texts)
{
    std::vector<double> times;
    for (const QString& text : texts) {
        QElapsedTimer timer;
        timer.start();
        window.searchField()->setText(text);
        window.repaint();
        QApplication::processEvents();
        times.push_back(elapsedMs(timer));
    }
    return times;
}

void measureSearch(MainWindow& window, const QString& word)
{
    QStringList typing;
    for (qsizetype i = 1; i <= word.size(); ++i) {
        typing.append(word.left(i));
    }
    QStringList deleting;
    for (qsizetype i = word.size() - 1; i >= 0; --i) {
        deleting.append(word.left(i));
    }
    const Spread typed = spreadOf(typeIntoSearch(window, typing));
    const int matches = window.productListModel()->rowCount();
    const Spread deleted = spreadOf(typeIntoSearch(window, deleting));
    std::printf("typing \"%s\" (%d keystrokes, %d matches):  median %7.1f ms  max %7.1f ms\n", qPrintable(word),
                int(typing.size()), matches, typed.median, typed.max);
    std::printf("deleting it again:                          median %7.1f ms  max %7.1f ms\n", deleted.median,
                deleted.max);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    QTemporaryDir root(QDir::currentPath() + QStringLiteral("/window-bench-XXXXXX"));
    useFreshUserFolders(root.path());
    qputenv("HOME", QFile::encodeName(root.path()));
    Log::setEchoToStandardError(false);
    ScriptedUserInterface ui;
    UserDefaults defaults(root.filePath(QStringLiteral("Keymoor.conf")));

    QElapsedTimer timer;
    timer.start();
    {
        KeymoorAppDelegate maker(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &defaults);
        maker.initializeDefaultData();
        if (!fillLibrary(maker, count)) {
            return 1;
        }
    }
    std::printf("%d products made and saved in %.0f ms\n", count, elapsedMs(timer));

    timer.restart();
    KeymoorAppDelegate delegate(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &defaults);
    delegate.initializeDefaultData();
    std::printf("library opened in %.1f ms\n", elapsedMs(timer));

    // As the application starts: the window is made, shown, and the first product selected.
    timer.restart();
    MainWindow window(&delegate);
    window.show();
    window.selectFirstProduct();
    window.repaint();
    QApplication::processEvents();
    const double shown = elapsedMs(timer);
    const ProductEntity* first = window.productListModel()->product(0);
    const bool filled = first && window.findChild<ProductDetailView*>()->product() == first;
    std::printf("window shown with %d products, first product's details %s: %.1f ms\n",
                window.productListModel()->rowCount(), filled ? "filled" : "NOT filled", shown);

    // The search texts are made while the window waits for its first keystrokes.
    timer.restart();
    const ProductListModel* model = window.productListModel();
    while (model->preparedSearchTexts() < model->rowCount()) {
        QApplication::processEvents();
    }
    std::printf("search texts made in idle time: %.1f ms\n", elapsedMs(timer));

    measureSearch(window, QStringLiteral("product 0421"));
    measureSearch(window, QStringLiteral("éditeur"));
    measureSearch(window, QStringLiteral("owner4"));
    return filled ? 0 : 1;
}
