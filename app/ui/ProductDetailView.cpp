#include "ProductDetailView.h"

#include "LicenceFieldsBox.h"
#include "ProductIconWell.h"
#include "base/Localization.h"
#include "model/PriceText.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserPreferences.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QEvent>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Persistence;

namespace {

const QString PriceKey = QStringLiteral("purchasePrice");
const QString CurrencyKey = QStringLiteral("purchaseCurrency");
const QString DateKey = QStringLiteral("purchaseDate");
const QString CommentsKey = QStringLiteral("comments");
const QString SerialKey = QStringLiteral("serialNumber");
const QString TitleKey = QStringLiteral("title");

const QStringList& lineKeys()
{
    static const QStringList keys {
        QStringLiteral("title"),           QStringLiteral("productVersion"),    QStringLiteral("registeredName"),
        QStringLiteral("registeredEmail"), QStringLiteral("registeredCompany"), QStringLiteral("publisher"),
        QStringLiteral("productWebsite"),  QStringLiteral("productEmail"),      QStringLiteral("purchaseOrderNumber"),
        QStringLiteral("bundleIdentifier")};
    return keys;
}

bool isEmptyValue(const QVariant& value)
{
    if (value.isNull() || !value.isValid()) {
        return true;
    }
    if (value.metaType() == QMetaType::fromType<QString>()) {
        return value.toString().isEmpty();
    }
    if (value.metaType() == QMetaType::fromType<QByteArray>()) {
        return value.toByteArray().isEmpty();
    }
    return false;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (isEmptyValue(a) || isEmptyValue(b)) {
        return isEmptyValue(a) && isEmptyValue(b);
    }
    const QMetaType decimal = QMetaType::fromType<Decimal>();
    if (a.metaType() == decimal && b.metaType() == decimal) {
        return a.value<Decimal>() == b.value<Decimal>();
    }
    return a == b;
}

QVariant textValue(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// The locale's short date with the full year: two-digit years would land in the wrong century.
QString dateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) {
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    return format;
}

// The purchase date picker shows its minimum as an empty field: a product without a date.
const QDate NoDate(1900, 1, 1);

} // namespace

ProductDetailView::ProductDetailView(ObjectContext* context, UserPreferences& prefs, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_prefs(prefs)
{
    setObjectName(QStringLiteral("detailView"));
    for (const QString& key : lineKeys()) {
        addLine(key);
    }
    QPlainTextEdit* serial = addText(SerialKey);
    serial->setPlaceholderText(localizedString(QStringLiteral("DetailSerialNumberPlaceholder")));
    serial->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // tells 0 from O, 1 from l
    addText(CommentsKey);
    m_iconWell = new ProductIconWell(this);

    m_date = new QDateEdit(this);
    m_date->setObjectName(DateKey);
    m_date->setCalendarPopup(true);
    m_date->setMinimumDate(NoDate);
    m_date->setSpecialValueText(QStringLiteral(" "));
    m_date->setKeyboardTracking(false);
    m_date->setDisplayFormat(dateFormat());
    connect(m_date, &QDateEdit::dateChanged, this, [this] {
        if (!m_loading) {
            m_dateEdited = true;
            commitDate();
        }
    });

    m_price = new QLineEdit(this);
    m_price->setObjectName(PriceKey);
    m_price->setAlignment(Qt::AlignRight);
    connect(m_price, &QLineEdit::editingFinished, this, [this] { commitPrice(); });

    m_currency = new QComboBox(this);
    m_currency->setObjectName(CurrencyKey);
    m_currency->setEditable(true);
    m_currency->setInsertPolicy(QComboBox::NoInsert);
    m_currency->setMinimumContentsLength(4);
    connect(m_currency, &QComboBox::activated, this, [this] {
        if (!m_loading) {
            commitCurrency();
        }
    });
    connect(m_currency->lineEdit(), &QLineEdit::editingFinished, this, [this] { commitCurrency(); });

    m_licence = new LicenceFieldsBox(this);
    connect(m_licence, &LicenceFieldsBox::edited, this, &ProductDetailView::productEdited);

    buildLayout();
    setTabChain();
    for (QDateEdit* date : findChildren<QDateEdit*>()) {
        date->installEventFilter(this); // Tab leaves a date field instead of stepping through its parts
    }
    reloadCurrencies();
    setProduct(nullptr);
}

ProductDetailView::~ProductDetailView() = default;

QLineEdit* ProductDetailView::addLine(const QString& key)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(key);
    m_lines.insert(key, edit);
    connect(edit, &QLineEdit::editingFinished, this, [this, key] { commitField(key); });
    return edit;
}

QPlainTextEdit* ProductDetailView::addText(const QString& key)
{
    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName(key);
    edit->setTabChangesFocus(true);
    edit->installEventFilter(this);
    m_texts.insert(key, edit);
    return edit;
}

// Each group of fields is a page of the tabs (the window puts the attachments in front); a page
// scrolls only when the window is too small for it, and the notes fill theirs.
void ProductDetailView::buildLayout()
{
    const auto form = [](const QList<QPair<QString, QWidget*>>& rows) {
        auto* page = new QWidget;
        auto* layout = new QFormLayout(page);
        layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        for (const auto& [label, widget] : rows) {
            layout->addRow(label, widget);
            widget->setAccessibleName(QString(label).remove(QLatin1Char(':')));
        }
        return page;
    };
    m_texts.value(SerialKey)->setFixedHeight(m_lines.value(QStringLiteral("title"))->sizeHint().height() * 3);
    m_iconWell->hide(); // shown by the summary above the tabs

    auto* priceRow = new QWidget;
    auto* priceLayout = new QHBoxLayout(priceRow);
    priceLayout->setContentsMargins(0, 0, 0, 0);
    priceLayout->addWidget(m_price, 1);
    priceLayout->addWidget(m_currency);
    m_currency->setAccessibleName(localizedString(QStringLiteral("DetailCurrencyAccessibleName")));
    m_price->setAccessibleName(localizedString(QStringLiteral("DetailPriceLabel")).remove(QLatin1Char(':')));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("productTabs"));
    addPage(
        form({{localizedString(QStringLiteral("DetailTitleLabel")), m_lines.value(QStringLiteral("title"))},
              {localizedString(QStringLiteral("DetailVersionLabel")), m_lines.value(QStringLiteral("productVersion"))},
              {localizedString(QStringLiteral("DetailPublisherLabel")), m_lines.value(QStringLiteral("publisher"))},
              {localizedString(QStringLiteral("DetailWebsiteLabel")), m_lines.value(QStringLiteral("productWebsite"))},
              {localizedString(QStringLiteral("DetailSupportEmailLabel")),
               m_lines.value(QStringLiteral("productEmail"))},
              {localizedString(QStringLiteral("DetailBundleIdentifierLabel")),
               m_lines.value(QStringLiteral("bundleIdentifier"))}}),
        localizedString(QStringLiteral("DetailProductGroup")));
    addPage(
        form({{localizedString(QStringLiteral("DetailSerialNumberLabel")), m_texts.value(SerialKey)},
              {localizedString(QStringLiteral("DetailRegisteredToLabel")),
               m_lines.value(QStringLiteral("registeredName"))},
              {localizedString(QStringLiteral("DetailEmailLabel")), m_lines.value(QStringLiteral("registeredEmail"))},
              {localizedString(QStringLiteral("DetailCompanyLabel")),
               m_lines.value(QStringLiteral("registeredCompany"))}}),
        localizedString(QStringLiteral("DetailRegistrationGroup")));
    addPage(form({{localizedString(QStringLiteral("DetailDateLabel")), m_date},
                  {localizedString(QStringLiteral("DetailPriceLabel")), priceRow},
                  {localizedString(QStringLiteral("DetailOrderNumberLabel")),
                   m_lines.value(QStringLiteral("purchaseOrderNumber"))}}),
            localizedString(QStringLiteral("DetailPurchaseGroup")));
    addPage(m_licence, m_licence->title());
    m_licence->setTitle(QString());
    m_licence->setFlat(true);
    QPlainTextEdit* notes = m_texts.value(CommentsKey);
    notes->setAccessibleName(localizedString(QStringLiteral("DetailNotesGroup")));
    m_pages->addTab(notes, localizedString(QStringLiteral("DetailNotesGroup")));

    // Refusals show under the tabs, in view whichever page holds the field.
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("detailMessage"));
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setStyleSheet(QStringLiteral("QLabel { color: #c0392b; }"));
    m_message->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_message);
}

void ProductDetailView::addPage(QWidget* page, const QString& title)
{
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(page);
    m_pages->addTab(scroll, title);
}

void ProductDetailView::setTabChain()
{
    QList<QWidget*> chain {m_lines.value(QStringLiteral("title")),
                           m_lines.value(QStringLiteral("productVersion")),
                           m_lines.value(QStringLiteral("publisher")),
                           m_lines.value(QStringLiteral("productWebsite")),
                           m_lines.value(QStringLiteral("productEmail")),
                           m_lines.value(QStringLiteral("bundleIdentifier")),
                           m_texts.value(SerialKey),
                           m_lines.value(QStringLiteral("registeredName")),
                           m_lines.value(QStringLiteral("registeredEmail")),
                           m_lines.value(QStringLiteral("registeredCompany")),
                           m_date,
                           m_price,
                           m_currency,
                           m_lines.value(QStringLiteral("purchaseOrderNumber"))};
    chain << m_licence->editors() << m_texts.value(CommentsKey);
    for (qsizetype i = 1; i < chain.size(); ++i) {
        setTabOrder(chain.at(i - 1), chain.at(i));
    }
}

QWidget* ProductDetailView::editorForKey(const QString& key) const
{
    if (QLineEdit* line = m_lines.value(key)) {
        return line;
    }
    if (QPlainTextEdit* text = m_texts.value(key)) {
        return text;
    }
    if (key == DateKey) {
        return m_date;
    }
    if (key == PriceKey) {
        return m_price;
    }
    if (key == CurrencyKey) {
        return m_currency;
    }
    return m_licence->editorForKey(key);
}

ProductEntity* ProductDetailView::product() const
{
    return productIsLive() ? m_product : nullptr;
}

bool ProductDetailView::productIsLive() const
{
    return m_product && m_product->isValid() && !m_product->isDeleted();
}

void ProductDetailView::setProduct(ProductEntity* product)
{
    if (product == m_product && productIsLive()) {
        return;
    }
    commitEditing();
    m_product = product;
    const bool live = productIsLive();
    setEnabledFields(live);
    // Pending edits belonged to the previous product: every field starts afresh.
    for (QLineEdit* edit : std::as_const(m_lines)) {
        edit->setModified(false);
    }
    for (QPlainTextEdit* edit : std::as_const(m_texts)) {
        edit->document()->setModified(false);
    }
    m_price->setModified(false);
    m_currency->lineEdit()->setModified(false);
    m_dateEdited = false;
    m_message->hide();
    m_licence->setProduct(live ? product : nullptr);
    reload();
}

void ProductDetailView::setEnabledFields(bool enabled)
{
    for (QLineEdit* edit : std::as_const(m_lines)) {
        edit->setEnabled(enabled);
    }
    for (QPlainTextEdit* edit : std::as_const(m_texts)) {
        edit->setEnabled(enabled);
    }
    m_date->setEnabled(enabled);
    m_iconWell->setEnabled(enabled);
    m_price->setEnabled(enabled);
    m_currency->setEnabled(enabled);
}

bool ProductDetailView::hasPendingEdit(const QString& key) const
{
    if (QLineEdit* line = m_lines.value(key)) {
        return line->isModified();
    }
    if (QPlainTextEdit* text = m_texts.value(key)) {
        return text->document()->isModified();
    }
    if (key == DateKey) {
        return m_dateEdited;
    }
    if (key == PriceKey) {
        return m_price->isModified();
    }
    return key == CurrencyKey && m_currency->lineEdit()->isModified();
}

void ProductDetailView::reload()
{
    m_iconWell->showIcon(productIsLive() ? m_product : nullptr);
    m_licence->reload();
    QStringList keys = lineKeys();
    keys << SerialKey << CommentsKey << DateKey << CurrencyKey << PriceKey;
    for (const QString& key : std::as_const(keys)) {
        if (!hasPendingEdit(key)) {
            loadField(key);
        }
    }
}

void ProductDetailView::loadField(const QString& key)
{
    const bool live = productIsLive();
    m_loading = true;
    if (QLineEdit* line = m_lines.value(key)) {
        line->setText(live ? m_product->value(key).toString() : QString());
    } else if (key == CommentsKey) {
        QPlainTextEdit* edit = m_texts.value(key);
        edit->setPlainText(live ? m_product->commentsString() : QString());
        edit->document()->setModified(false);
    } else if (QPlainTextEdit* text = m_texts.value(key)) {
        text->setPlainText(live ? m_product->value(key).toString() : QString());
        text->document()->setModified(false);
    } else if (key == DateKey) {
        const QDateTime date = live ? m_product->purchaseDate() : QDateTime();
        m_date->setDate(date.isValid() ? date.toLocalTime().date() : NoDate);
    } else if (key == CurrencyKey) {
        m_currency->setEditText(live ? m_product->purchaseCurrency() : QString());
        m_currency->lineEdit()->setModified(false);
    } else if (key == PriceKey) {
        loadPrice();
    }
    m_loading = false;
}

void ProductDetailView::loadPrice()
{
    QString text;
    if (productIsLive()) {
        if (const auto price = m_product->purchasePrice()) {
            text = priceText().toText(*price);
        }
    }
    m_price->setText(text);
}

PriceText ProductDetailView::priceText() const
{
    const QString symbol = productIsLive() ? m_product->purchaseCurrency() : QString();
    return PriceText(m_codes.codeForSymbol(symbol), symbol);
}

void ProductDetailView::reloadCurrencies()
{
    QStringList symbols;
    if (m_context) {
        FetchRequest request(QStringLiteral("Currency"));
        for (const auto& entry : m_prefs.currencySortDescriptorsArray()) {
            request.sortDescriptors.append(SortDescriptor(entry.key, entry.ascending));
        }
        if (const auto currencies = m_context->execute(request)) {
            for (const ManagedObject* currency : *currencies) {
                const QString symbol = currency->value(QStringLiteral("currencySymbol")).toString();
                if (!symbol.isEmpty() && !symbols.contains(symbol)) {
                    symbols.append(symbol);
                }
            }
        }
    }
    m_codes = m_context ? CurrencyCodes(*m_context) : CurrencyCodes();
    const QString text = m_currency->currentText();
    const bool pending = m_currency->lineEdit()->isModified();
    m_loading = true;
    m_currency->clear();
    m_currency->addItems(symbols);
    m_currency->setEditText(text);
    m_currency->lineEdit()->setModified(pending);
    m_loading = false;
}

bool ProductDetailView::commitEditing()
{
    if (m_date->hasFocus()) {
        m_date->interpretText(); // a typed date is applied (and committed) like a finished one
    }
    bool changed = commitField(CurrencyKey); // the price is read with the currency's formatter
    QStringList keys = lineKeys();
    keys << SerialKey << CommentsKey << DateKey << PriceKey;
    for (const QString& key : std::as_const(keys)) {
        changed = commitField(key) || changed;
    }
    return m_licence->commitEditing() || changed;
}

bool ProductDetailView::commitField(const QString& key)
{
    if (!productIsLive() || !hasPendingEdit(key)) {
        return false;
    }
    if (QLineEdit* line = m_lines.value(key)) {
        return commitLine(key, line);
    }
    if (QPlainTextEdit* text = m_texts.value(key)) {
        return commitText(key, text);
    }
    if (key == DateKey) {
        return commitDate();
    }
    if (key == PriceKey) {
        return commitPrice();
    }
    return key == CurrencyKey && commitCurrency();
}

bool ProductDetailView::commitLine(const QString& key, QLineEdit* edit)
{
    edit->setModified(false);
    if (key == TitleKey && edit->text().trimmed().isEmpty()) {
        // A product without a title cannot be found in the list again.
        loadField(key);
        refuse(localizedString(QStringLiteral("DetailEmptyTitleRefused")));
        return false;
    }
    return writeValue(key, textValue(edit->text()));
}

bool ProductDetailView::commitText(const QString& key, QPlainTextEdit* edit)
{
    edit->document()->setModified(false);
    const QString text = edit->toPlainText();
    if (key == CommentsKey) {
        // Notes kept as rich text by older versions become UTF-8 only when they are really edited.
        if (!productIsLive() || m_product->commentsString() == text
            || (text.isEmpty() && m_product->comments().isNull())) {
            return false;
        }
        if (!m_product->setCommentsString(text)) {
            return false;
        }
        emit productEdited(key);
        return true;
    }
    return writeValue(key, textValue(text));
}

bool ProductDetailView::commitDate()
{
    if (!m_dateEdited || !productIsLive()) {
        return false;
    }
    m_dateEdited = false;
    const QDate date = m_date->date();
    if (date == NoDate) {
        return writeValue(DateKey, QVariant());
    }
    // Only the day is edited here; the time of day of the stored moment is kept.
    const QDateTime old = m_product->purchaseDate();
    if (old.isValid() && old.toLocalTime().date() == date) {
        return false;
    }
    const QTime time = old.isValid() ? old.toLocalTime().time() : QTime(12, 0);
    return writeValue(DateKey, QDateTime(date, time).toUTC());
}

bool ProductDetailView::commitPrice()
{
    if (!productIsLive() || !m_price->isModified()) {
        return false;
    }
    m_price->setModified(false);
    const QString typed = m_price->text().trimmed();
    const PriceText prices = priceText();
    const PriceText::Reading reading = prices.read(typed);
    if (!reading.accepted()) {
        // The stored price stays, and the field shows it again rather than text that is not saved.
        loadPrice();
        const QString example = prices.toText(Decimal(123450, 2));
        switch (reading.refusal) {
        case PriceText::Refusal::Negative:
            refuse(localizedFormat(QStringLiteral("DetailPriceNegativeFormat"), {typed}));
            break;
        case PriceText::Refusal::TooLarge:
            refuse(localizedFormat(QStringLiteral("DetailPriceTooLargeFormat"), {typed}));
            break;
        default:
            refuse(localizedFormat(QStringLiteral("DetailPriceNotANumberFormat"), {typed, example}));
        }
        return false;
    }
    const bool changed = writeValue(PriceKey, reading.price ? QVariant::fromValue(*reading.price) : QVariant());
    if (!m_price->hasFocus()) {
        loadPrice(); // shows the price with the locale's separators and the currency's decimals
    }
    return changed;
}

bool ProductDetailView::commitCurrency()
{
    if (!productIsLive()) {
        return false;
    }
    m_currency->lineEdit()->setModified(false);
    const bool changed = writeValue(CurrencyKey, textValue(m_currency->currentText().trimmed()));
    if (m_price->isModified()) {
        commitPrice(); // a refused price may read under the new currency's separators
    } else if (changed) {
        loadPrice();
    }
    if (changed) {
        m_licence->reload(); // the renewal price in the new currency's form
    }
    return changed;
}

void ProductDetailView::refuse(const QString& message)
{
    m_message->setText(message);
    m_message->show();
}

QString ProductDetailView::refusal() const
{
    return m_message->isHidden() ? QString() : m_message->text();
}

bool ProductDetailView::writeValue(const QString& key, const QVariant& value)
{
    if (!productIsLive() || sameValue(m_product->value(key), value)) {
        return false;
    }
    if (!m_product->setValue(key, value)) {
        return false;
    }
    m_message->hide(); // an edit that is stored ends the previous refusal
    emit productEdited(key);
    return true;
}

bool ProductDetailView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QDateEdit*>(watched)) {
        // A date field would take Tab to move between day, month and year (and an empty one never
        // lets go of it); the arrow keys do that, Tab goes on to the next field. The parent handles
        // Tab the way every field does, so the window's own order applies.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            QCoreApplication::sendEvent(static_cast<QWidget*>(watched)->parentWidget(), event);
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it) {
            if (it.value() == watched) {
                commitField(it.key());
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ProductDetailView::focusTitle()
{
    QLineEdit* title = m_lines.value(QStringLiteral("title"));
    showEditor(title);
    title->setFocus(Qt::OtherFocusReason);
    title->selectAll();
}

bool ProductDetailView::isLastFieldShown(const QWidget* widget) const
{
    QWidget* page = m_pages->currentWidget();
    if (!widget || !page || (widget != page && !page->isAncestorOf(widget))) {
        return false;
    }
    // The page's fields in Tab order: the chain is one ring through the window, so go round once.
    const QWidget* last = (page->focusPolicy() & Qt::TabFocus) ? page : nullptr;
    QWidget* next = page->nextInFocusChain();
    for (int guard = 0; next != page && guard < 5000; ++guard, next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled()
            && page->isAncestorOf(next)) {
            last = next;
        }
    }
    return widget == last;
}

void ProductDetailView::showEditor(QWidget* editor)
{
    for (int page = 0; page < m_pages->count(); ++page) {
        if (m_pages->widget(page)->isAncestorOf(editor) || m_pages->widget(page) == editor) {
            m_pages->setCurrentIndex(page);
            if (auto* scroll = qobject_cast<QScrollArea*>(m_pages->widget(page))) {
                scroll->ensureWidgetVisible(editor);
            }
            return;
        }
    }
}
