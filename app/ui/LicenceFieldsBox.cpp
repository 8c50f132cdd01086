#include "LicenceFieldsBox.h"

#include "base/Localization.h"
#include "model/CurrencyCodes.h"
#include "model/LicenceFieldText.h"
#include "model/PriceText.h"
#include "model/ProductEntity.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimeZone>

namespace {

const QString TypeKey = QStringLiteral("licenseType");
const QString ExpiryKey = QStringLiteral("expiryDate");
const QString RenewalKey = QStringLiteral("renewalDate");
const QString PeriodKey = QStringLiteral("renewalPeriodMonths");
const QString PriceKey = QStringLiteral("renewalPrice");
const QString SeatsKey = QStringLiteral("seats");
const QString RemindKey = QStringLiteral("remindDaysBefore");
const QString ArchivedKey = QStringLiteral("archived");

// The minimum of a date or number editor stands for "not set" and shows as an empty field.
const QDate NoDate(1900, 1, 1);
constexpr int NoCount = -1;
constexpr int MaximumCount = 100000;
const QString RefusedStyle = QStringLiteral("border: 2px solid #c0392b;");

// Renewal prices are shown and read like purchase prices, in the product's currency.
PriceText priceText(const ProductEntity& product)
{
    const QString symbol = product.purchaseCurrency();
    return PriceText(CurrencyCodes().codeForSymbol(symbol), symbol);
}

QString dateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) {
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    return format;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    const bool aEmpty = !a.isValid() || a.isNull();
    const bool bEmpty = !b.isValid() || b.isNull();
    if (aEmpty || bEmpty) {
        return aEmpty && bEmpty;
    }
    const QMetaType decimal = QMetaType::fromType<Persistence::Decimal>();
    if (a.metaType() == decimal && b.metaType() == decimal) {
        return a.value<Persistence::Decimal>() == b.value<Persistence::Decimal>();
    }
    if (a.metaType().id() == QMetaType::QDateTime || b.metaType().id() == QMetaType::QDateTime) {
        return a.toDateTime() == b.toDateTime();
    }
    if (a.canConvert<qlonglong>() && b.canConvert<qlonglong>() && a.metaType().id() != QMetaType::QString) {
        return a.toLongLong() == b.toLongLong();
    }
    return a == b;
}

} // namespace

LicenceFieldsBox::LicenceFieldsBox(QWidget* parent)
    : QGroupBox(localizedString(QStringLiteral("DetailLicenceGroup")), parent)
{
    setObjectName(QStringLiteral("licenceGroup"));
    m_type = new QComboBox(this);
    m_type->setObjectName(TypeKey);
    m_type->addItem(QString(), QString());
    const QList<QPair<QString, QString>> types {
        {QStringLiteral("perpetual"), localizedString(QStringLiteral("DetailLicenceTypePerpetual"))},
        {QStringLiteral("subscription"), localizedString(QStringLiteral("DetailLicenceTypeSubscription"))},
        {QStringLiteral("trial"), localizedString(QStringLiteral("DetailLicenceTypeTrial"))},
        {QStringLiteral("free"), localizedString(QStringLiteral("DetailLicenceTypeFree"))}};
    for (const auto& [type, label] : types) {
        m_type->addItem(label, type);
    }
    connect(m_type, &QComboBox::activated, this, [this] { commitType(); });
    addDate(ExpiryKey);
    addDate(RenewalKey);
    addCount(PeriodKey);
    addCount(SeatsKey);
    addCount(RemindKey)->setSpecialValueText(localizedFormat(
        QStringLiteral("DetailRemindDefaultFormat"), {QString::number(ProductEntity::DefaultRemindDaysBefore)}));
    m_price = new QLineEdit(this);
    m_price->setObjectName(PriceKey);
    m_price->setAlignment(Qt::AlignRight);
    connect(m_price, &QLineEdit::editingFinished, this, [this] { commitPrice(); });
    m_archived = new QCheckBox(localizedString(QStringLiteral("DetailArchivedCheckBox")), this);
    m_archived->setObjectName(ArchivedKey);
    connect(m_archived, &QCheckBox::toggled, this, [this] { commitArchived(); });
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("licenceMessage"));
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: #c0392b;"));
    m_message->hide();
    buildLayout();
    setProduct(nullptr);
}

LicenceFieldsBox::~LicenceFieldsBox() = default;

QDateEdit* LicenceFieldsBox::addDate(const QString& key)
{
    auto* edit = new QDateEdit(this);
    edit->setObjectName(key);
    edit->setCalendarPopup(true);
    edit->setMinimumDate(NoDate);
    edit->setSpecialValueText(QStringLiteral(" "));
    edit->setKeyboardTracking(false);
    edit->setDisplayFormat(dateFormat());
    connect(edit, &QDateEdit::dateChanged, this, [this, key] { commitDate(key); });
    m_dates.insert(key, edit);
    return edit;
}

QSpinBox* LicenceFieldsBox::addCount(const QString& key)
{
    auto* spin = new QSpinBox(this);
    spin->setObjectName(key);
    spin->setRange(NoCount, MaximumCount);
    spin->setSpecialValueText(QStringLiteral(" "));
    spin->setKeyboardTracking(false);
    connect(spin, &QSpinBox::valueChanged, this, [this, key] { commitCount(key); });
    m_counts.insert(key, spin);
    return spin;
}

// Two columns of short fields keep the group compact.
void LicenceFieldsBox::buildLayout()
{
    const auto column = [this](const QList<QPair<QString, QWidget*>>& rows) {
        auto* form = new QFormLayout;
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        for (const auto& [labelKey, widget] : rows) {
            form->addRow(labelKey.isEmpty() ? QString() : localizedString(labelKey), widget);
        }
        return form;
    };
    auto* columns = new QHBoxLayout;
    columns->addLayout(column({{QStringLiteral("DetailLicenceTypeLabel"), m_type},
                               {QStringLiteral("DetailExpiryLabel"), m_dates.value(ExpiryKey)},
                               {QStringLiteral("DetailRenewalLabel"), m_dates.value(RenewalKey)},
                               {QStringLiteral("DetailRenewalPriceLabel"), m_price}}));
    columns->addLayout(column({{QStringLiteral("DetailRenewalPeriodLabel"), m_counts.value(PeriodKey)},
                               {QStringLiteral("DetailSeatsLabel"), m_counts.value(SeatsKey)},
                               {QStringLiteral("DetailRemindLabel"), m_counts.value(RemindKey)},
                               {QString(), m_archived}}));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(m_message);
}

QList<QWidget*> LicenceFieldsBox::editors() const
{
    return {m_type,
            m_dates.value(ExpiryKey),
            m_dates.value(RenewalKey),
            m_price,
            m_counts.value(PeriodKey),
            m_counts.value(SeatsKey),
            m_counts.value(RemindKey),
            m_archived};
}

QWidget* LicenceFieldsBox::editorForKey(const QString& key) const
{
    for (QWidget* editor : editors()) {
        if (editor->objectName() == key) {
            return editor;
        }
    }
    return nullptr;
}

QString LicenceFieldsBox::refusal() const
{
    return m_message->isHidden() ? QString() : m_message->text();
}

bool LicenceFieldsBox::productIsLive() const
{
    return m_product && m_product->isValid() && !m_product->isDeleted();
}

void LicenceFieldsBox::setProduct(ProductEntity* product)
{
    m_product = product;
    const bool live = productIsLive();
    for (QWidget* editor : editors()) {
        editor->setEnabled(live);
        clearRefusal(editor);
    }
    m_price->setModified(false);
    load();
}

void LicenceFieldsBox::reload()
{
    load();
}

void LicenceFieldsBox::load()
{
    const bool live = productIsLive();
    m_loading = true;
    m_type->setCurrentIndex(live ? qMax(0, m_type->findData(m_product->licenseType())) : 0);
    for (auto it = m_dates.cbegin(); it != m_dates.cend(); ++it) {
        if (m_refusals.contains(it.value())) {
            continue; // a refused date stays in view until it is corrected
        }
        const QDate date
            = live ? (it.key() == ExpiryKey ? m_product->expiryDate() : m_product->renewalDate()) : QDate();
        it.value()->setDate(date.isValid() ? date : NoDate);
    }
    for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
        const QVariant value = live ? m_product->value(it.key()) : QVariant();
        it.value()->setValue(value.isValid() && !value.isNull() ? int(value.toLongLong()) : NoCount);
    }
    m_archived->setChecked(live && m_product->isArchived());
    if (!m_price->isModified()) {
        loadPrice();
    }
    m_loading = false;
}

void LicenceFieldsBox::loadPrice()
{
    const auto price = productIsLive() ? m_product->renewalPrice() : std::nullopt;
    m_price->setText(price ? priceText(*m_product).toText(*price) : QString());
    clearRefusal(m_price);
}

bool LicenceFieldsBox::commitEditing()
{
    return commitPrice();
}

bool LicenceFieldsBox::commitType()
{
    return !m_loading && write(TypeKey, m_type->currentData().toString());
}

bool LicenceFieldsBox::commitDate(const QString& key)
{
    QDateEdit* edit = m_dates.value(key);
    if (m_loading || !productIsLive()) {
        return false;
    }
    const QDate date = edit->date() == NoDate ? QDate() : edit->date();
    if (key == RenewalKey) {
        const QString error
            = LicenceFieldText::renewalOrderError(date, m_product->purchaseDate(), LicenceFieldText::Naming::Label);
        if (!error.isEmpty()) {
            refuse(edit, error);
            return false;
        }
    }
    clearRefusal(edit);
    return write(key, date.isValid() ? QVariant(QDateTime(date, QTime(12, 0), QTimeZone::utc())) : QVariant());
}

bool LicenceFieldsBox::commitCount(const QString& key)
{
    const int value = m_counts.value(key)->value();
    return !m_loading && write(key, value == NoCount ? QVariant() : QVariant(qint64(value)));
}

bool LicenceFieldsBox::commitPrice()
{
    if (!productIsLive() || !m_price->isModified()) {
        return false;
    }
    const QString typed = m_price->text().trimmed();
    const PriceText prices = priceText(*m_product);
    const PriceText::Reading reading = prices.read(typed);
    if (!reading.accepted()) {
        const QString message = reading.refusal == PriceText::Refusal::Negative
            ? localizedFormat(QStringLiteral("DetailPriceNegativeFormat"), {typed})
            : localizedFormat(QStringLiteral("DetailPriceNotANumberFormat"),
                              {typed, prices.toText(Persistence::Decimal(123450, 2))});
        refuse(m_price, message); // the text stays, pending, until it reads as a price
        return false;
    }
    m_price->setModified(false);
    clearRefusal(m_price);
    const bool changed = write(PriceKey, reading.price ? QVariant::fromValue(*reading.price) : QVariant());
    if (!m_price->hasFocus()) {
        loadPrice(); // the price in the currency's own form
    }
    return changed;
}

bool LicenceFieldsBox::commitArchived()
{
    return !m_loading && write(ArchivedKey, m_archived->isChecked() ? QVariant(true) : QVariant());
}

void LicenceFieldsBox::refuse(QWidget* editor, const QString& message)
{
    m_refusals.insert(editor, message);
    editor->setStyleSheet(
        QStringLiteral("%1 { %2 }").arg(QLatin1String(editor->metaObject()->className()), RefusedStyle));
    editor->setToolTip(message);
    m_message->setText(message);
    m_message->show();
}

void LicenceFieldsBox::clearRefusal(QWidget* editor)
{
    if (!m_refusals.remove(editor)) {
        return;
    }
    editor->setStyleSheet(QString());
    editor->setToolTip(QString());
    if (m_refusals.isEmpty()) {
        m_message->clear();
        m_message->hide();
    } else {
        m_message->setText(m_refusals.cbegin().value());
    }
}

bool LicenceFieldsBox::write(const QString& key, const QVariant& value)
{
    if (!productIsLive() || sameValue(m_product->value(key), value)) {
        return false;
    }
    if (!m_product->setValue(key, value)) {
        return false;
    }
    emit edited(key);
    return true;
}
