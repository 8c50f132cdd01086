// Scan time of purchase e-mails: each fixture message (text only, and parse plus text plus scan),
// and 1 MB messages, ordinary and shaped to make backtracking-prone patterns work hard.
#include "base/Log.h"
#include "email/ZREmail.h"
#include "email/ZREmailFileReader.h"
#include "email/ZRSerialScanner.h"

#include <QCoreApplication>
#include <QDir>

#include <benchmark/benchmark.h>

namespace {

QString fixtureFolder()
{
    return QStringLiteral(KEYMOOR_TEST_DATA_DIR "/email/serials");
}

QString repeatedTo(const QString& unit, qsizetype size)
{
    QString text;
    text.reserve(size + unit.size());
    while (text.size() < size) {
        text += unit;
    }
    return text;
}

// An ordinary long receipt: many order lines, the key near the end.
QString largeReceipt()
{
    const QString line
        = QStringLiteral("Item 1042: Example Widget Pro, quantity 1, price 19.99 USD, shipped to Jane.\n");
    return repeatedTo(line, 1024 * 1024) + QStringLiteral("\nSerial: SER-7781-2290-1123\n");
}

// Text that makes the unbounded alternations over line breaks backtrack.
QString pathologicalReceipt()
{
    const QString unit = QStringLiteral("1Password key: abc <td ZOT! S/n <tr>\n");
    return repeatedTo(unit, 1024 * 1024);
}

void scanText(benchmark::State& state, const QString& text)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(ZRSerialScanner::scan(text));
    }
}

void parseAndScan(benchmark::State& state, const QString& path)
{
    QString error;
    const std::optional<ZREmail> loaded = ZREmailFileReader::read(path, &error);
    if (!loaded) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    const QString raw = loaded->rawSource();
    for (auto _ : state) {
        const std::optional<ZREmail> email = ZREmail::emailFromString(raw);
        const std::optional<QString> text = email->textContent();
        benchmark::DoNotOptimize(ZRSerialScanner::scan(text.value_or(QString())));
    }
}

void registerFixtureBenchmarks()
{
    const QDir folder(fixtureFolder());
    for (const QString& name : folder.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
        const QString path = folder.filePath(name);
        const std::optional<ZREmail> email = ZREmailFileReader::read(path);
        const QString text = email ? email->textContent().value_or(QString()) : QString();
        benchmark::RegisterBenchmark(("ScanText/" + name).toStdString().c_str(), scanText, text)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("ParseAndScan/" + name).toStdString().c_str(), parseAndScan, path)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("ScanText/1MB-receipt", scanText, largeReceipt())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ScanText/1MB-backtracking-shapes", scanText, pathologicalReceipt())
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Log::setEchoToStandardError(false);
    Log::setLogFilePath(QString());
    registerFixtureBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
