#include "ProductSummaryView.h"

#include "FadedText.h"
#include "ProductIconWell.h"
#include "base/Localization.h"
#include "model/ProductEntity.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* selectableLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(40);
    return label;
}

// The serial shown on one line: the full text stays in the tooltip and goes to the clipboard.
QString firstLine(const QString& text)
{
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    return end < 0 ? text : text.left(end) + QStringLiteral(" \u2026");
}

} // namespace

ProductSummaryView::ProductSummaryView(ProductIconWell* iconWell, QWidget* parent)
    : QWidget(parent)
    , m_iconWell(iconWell)
    , m_title(selectableLabel(this, QStringLiteral("summaryTitle")))
    , m_subtitle(selectableLabel(this, QStringLiteral("summarySubtitle")))
    , m_serial(nullptr)
    , m_name(nullptr)
    , m_email(nullptr)
    , m_copy(new QPushButton(localizedString(QStringLiteral("SummaryCopySerialButton")), this))
    , m_values(new QWidget(this))
{
    setObjectName(QStringLiteral("productSummary"));
    setFixedHeight(qMax(FixedHeight, 9 * fontMetrics().lineSpacing())); // grows with a large font
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    m_title->setFont(titleFont);
    m_title->setAccessibleName(localizedString(QStringLiteral("DetailTitleLabel")));
    useFadedText(m_subtitle);

    auto* grid = new QGridLayout(m_values);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    m_serial = addValue(QStringLiteral("summarySerial"), 0, QStringLiteral("DetailSerialNumberLabel"));
    m_serial->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    grid->addWidget(m_copy, 0, 2);
    m_name = addValue(QStringLiteral("summaryRegisteredName"), 1, QStringLiteral("DetailRegisteredToLabel"));
    m_email = addValue(QStringLiteral("summaryRegisteredEmail"), 2, QStringLiteral("DetailEmailLabel"));
    m_copy->setObjectName(QStringLiteral("copySerialButton"));
    m_copy->setAccessibleName(localizedString(QStringLiteral("SummaryCopySerialButton")));
    connect(m_copy, &QPushButton::clicked, this, &ProductSummaryView::copySerial);

    auto* heading = new QVBoxLayout;
    heading->addWidget(m_title);
    heading->addWidget(m_subtitle);
    auto* top = new QHBoxLayout;
    m_iconWell->setParent(this);
    m_iconWell->setAccessibleName(localizedString(QStringLiteral("DetailIconLabel")));
    m_iconWell->show();
    top->addWidget(m_iconWell, 0, Qt::AlignTop);
    top->addLayout(heading, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_values);
    layout->addStretch(1);
    showProduct(nullptr);
}

ProductSummaryView::~ProductSummaryView() = default;

QLabel* ProductSummaryView::addValue(const QString& name, int row, const QString& labelKey)
{
    auto* grid = static_cast<QGridLayout*>(m_values->layout());
    auto* caption = new QLabel(localizedString(labelKey), m_values);
    useFadedText(caption);
    QLabel* value = selectableLabel(m_values, name);
    value->setAccessibleName(caption->text());
    grid->addWidget(caption, row, 0, Qt::AlignRight);
    grid->addWidget(value, row, 1);
    return value;
}

void ProductSummaryView::showProduct(const ProductEntity* product)
{
    m_iconWell->setVisible(true);
    m_values->setVisible(product != nullptr);
    if (!product) {
        m_title->clear();
        m_subtitle->clear();
        return;
    }
    m_title->setText(product->title());
    QStringList parts {product->productVersion(), product->publisher()};
    parts.removeAll(QString());
    m_subtitle->setText(parts.join(QStringLiteral(" \u2014 ")));
    const QString serial = product->serialNumber();
    m_serial->setText(firstLine(serial));
    m_serial->setToolTip(serial);
    m_copy->setEnabled(!serial.isEmpty());
    m_name->setText(product->registeredName());
    m_email->setText(product->registeredEmail());
}

void ProductSummaryView::showSelectionCount(int count)
{
    m_iconWell->setVisible(false);
    m_values->setVisible(false);
    m_title->setText(localizedFormat(QStringLiteral("SummarySelectionCountFormat"), {QString::number(count)}));
    m_subtitle->clear();
}

QString ProductSummaryView::titleText() const
{
    return m_title->text();
}

void ProductSummaryView::copySerial()
{
    QApplication::clipboard()->setText(m_serial->toolTip());
}
