#include "CliSession.h"

#include "CliCommand.h"
#include "TerminalUserInterface.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserPreferences.h"

#include <QFileInfo>
#include <QTextStream>

using namespace Persistence;

namespace {

SortDescriptor toSortDescriptor(const SortOrderEntry& entry)
{
    return SortDescriptor(entry.key, entry.ascending,
                          entry.comparison == SortComparison::CaseInsensitiveText
                              ? SortDescriptor::Comparison::LocalizedCaseInsensitive
                              : SortDescriptor::Comparison::Default);
}

} // namespace

CliSession::CliSession(CliStreams& streams, KeymoorAppDelegate::OpenMode mode)
    : m_streams(streams)
    , m_terminal(std::make_unique<TerminalUserInterface>(streams.out, streams.err))
    , m_delegate(std::make_unique<KeymoorAppDelegate>(m_terminal.get(), mode))
{ }

CliSession::~CliSession()
{
    m_delegate.reset();
}

bool CliSession::open()
{
    if (!m_delegate->managedObjectContext()) {
        // Looking at a library that does not exist yet shows an empty catalogue, and says why.
        const bool noLibraryYet = m_delegate->openMode() == KeymoorAppDelegate::OpenMode::ReadOnly
            && !QFileInfo::exists(LibraryPaths::persistentStoreLocation());
        if (noLibraryYet) {
            m_streams.err << "keymoor: " << localizedString(QStringLiteral("NoLibraryYetHint")) << Qt::endl;
        }
        return noLibraryYet;
    }
    m_delegate->initializeDefaultData();
    return true;
}

FetchRequest CliSession::productRequest(const Predicate& filter) const
{
    FetchRequest request(QStringLiteral("Product"), filter);
    for (const SortOrderEntry& entry : m_delegate->userPrefs().productSortDescriptorsArray()) {
        request.sortDescriptors.append(toSortDescriptor(entry));
    }
    request.sortDescriptors.append(SortDescriptor(QStringLiteral("uuid")));
    return request;
}

QList<ProductEntity*> CliSession::products(const Predicate& filter, const QStringList& prefetch, ObjectContext* context)
{
    QList<ProductEntity*> result;
    context = context ? context : m_delegate->managedObjectContext();
    if (!context) {
        return result;
    }
    FetchRequest request = productRequest(filter);
    request.relationshipKeyPathsForPrefetching = prefetch;
    StoreError error;
    const auto objects = context->execute(request, &error);
    if (!objects) {
        m_streams.err << "keymoor: the products could not be read: " << error.toString() << Qt::endl;
        return result;
    }
    for (ManagedObject* object : *objects) {
        if (auto* product = dynamic_cast<ProductEntity*>(object)) {
            result.append(product);
        }
    }
    return result;
}

ProductEntity* CliSession::findProduct(const QString& uuidOrTitle)
{
    // The store picks the candidates (UUID or title, ignoring case); the rules below choose.
    const auto candidates
        = Predicate::fromFormat(QStringLiteral("uuid ==[c] %@ OR title ==[c] %@"), {uuidOrTitle, uuidOrTitle});
    const QList<ProductEntity*> all = products(candidates.value_or(Predicate()));
    QList<ProductEntity*> exact;
    QList<ProductEntity*> caseless;
    for (ProductEntity* product : all) {
        if (product->uuid().compare(uuidOrTitle, Qt::CaseInsensitive) == 0) {
            return product;
        }
        if (product->title() == uuidOrTitle) {
            exact.append(product);
        } else if (product->title().compare(uuidOrTitle, Qt::CaseInsensitive) == 0) {
            caseless.append(product);
        }
    }
    const QList<ProductEntity*>& matches = exact.isEmpty() ? caseless : exact;
    if (matches.size() == 1) {
        return matches.first();
    }
    if (matches.isEmpty()) {
        m_streams.err << "keymoor: no product is titled \"" << uuidOrTitle << "\" or has that UUID." << Qt::endl;
        return nullptr;
    }
    m_streams.err << "keymoor: " << matches.size() << " products are titled \"" << uuidOrTitle
                  << "\"; name one by its UUID:" << Qt::endl;
    for (const ProductEntity* product : matches) {
        m_streams.err << "  " << product->uuid() << "  " << product->title() << ' ' << product->productVersion()
                      << Qt::endl;
    }
    return nullptr;
}

bool CliSession::save()
{
    return m_delegate->saveAction();
}

void CliSession::finish()
{
    m_delegate->applicationShouldTerminate();
}
