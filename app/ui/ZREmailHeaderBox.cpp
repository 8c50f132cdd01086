#include "ZREmailHeaderBox.h"

#include "base/Localization.h"
#include "model/AttachedEmail.h"

#include <QFormLayout>
#include <QLabel>

namespace {

QLabel* valueLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

ZREmailHeaderBox::ZREmailHeaderBox(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    // The headers sit on the document colour, as the message below them does, in light and dark
    // palettes alike.
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Text);
    m_from = valueLabel(this);
    m_subject = valueLabel(this);
    QFont bold = m_subject->font();
    bold.setBold(true);
    m_subject->setFont(bold);
    m_date = valueLabel(this);
    m_to = valueLabel(this);
    auto* layout = new QFormLayout(this);
    layout->addRow(localizedString(QStringLiteral("EmailHeaderFromLabel")), m_from);
    layout->addRow(localizedString(QStringLiteral("EmailHeaderSubjectLabel")), m_subject);
    layout->addRow(localizedString(QStringLiteral("EmailHeaderDateLabel")), m_date);
    layout->addRow(localizedString(QStringLiteral("EmailHeaderToLabel")), m_to);
}

ZREmailHeaderBox::~ZREmailHeaderBox() = default;

void ZREmailHeaderBox::setEmail(const AttachedEmail& email)
{
    m_from->setText(email.from());
    m_subject->setText(email.name());
    m_date->setText(email.formattedDateString());
    m_to->setText(email.to());
}

QString ZREmailHeaderBox::text() const
{
    return QStringList {m_from->text(), m_subject->text(), m_date->text(), m_to->text()}.join(u'\n');
}
