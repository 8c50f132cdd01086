#include "UndoNaming.h"

#include "base/Localization.h"
#include "persistence/ObjectContext.h"
#include "persistence/UndoManager.h"

#include <QAbstractButton>
#include <QFormLayout>
#include <QLabel>
#include <QWidget>

namespace {

QString menuTitle(const QString& plainKey, const QString& formatKey, const QString& name)
{
    return name.isEmpty() ? localizedString(plainKey) : localizedFormat(formatKey, {name});
}

// The label text without its mnemonic marker and trailing colon.
QString plainLabel(QString text)
{
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
    }
    return text.trimmed();
}

// The label of the form row holding `editor`, directly or inside a row widget (the price row).
QString formLabel(const QWidget* editor)
{
    for (const QWidget* widget = editor; widget && widget->parentWidget(); widget = widget->parentWidget()) {
        if (auto* form = qobject_cast<QFormLayout*>(widget->parentWidget()->layout())) {
            if (auto* label = qobject_cast<QLabel*>(form->labelForField(const_cast<QWidget*>(widget)))) {
                return plainLabel(label->text());
            }
        }
    }
    return QString();
}

} // namespace

QString UndoNaming::undoTitle(const Persistence::UndoManager* undo)
{
    return menuTitle(QStringLiteral("MainUndoMenuItem"), QStringLiteral("UndoMenuItemFormat"),
                     undo && undo->canUndo() ? undo->undoActionName() : QString());
}

QString UndoNaming::redoTitle(const Persistence::UndoManager* undo)
{
    return menuTitle(QStringLiteral("MainRedoMenuItem"), QStringLiteral("RedoMenuItemFormat"),
                     undo && undo->canRedo() ? undo->redoActionName() : QString());
}

void UndoNaming::runNamed(Persistence::ObjectContext* context, const QString& name,
                          const std::function<void()>& command)
{
    Persistence::UndoManager* undo = context ? context->undoManager() : nullptr;
    if (undo) {
        undo->beginGroup();
        undo->setActionName(name);
    }
    command();
    if (undo) {
        undo->endGroup();
    }
}

void UndoNaming::name(Persistence::ObjectContext* context, const QString& name)
{
    Persistence::UndoManager* undo = context ? context->undoManager() : nullptr;
    // A finished step that already has a name belongs to another command: it keeps its name.
    if (undo && (undo->groupingLevel() > 0 || undo->undoActionName().isEmpty())) {
        undo->setActionName(name);
    }
}

QString UndoNaming::typingIn(const QWidget* editor)
{
    QString label = formLabel(editor);
    if (label.isEmpty()) {
        if (auto* button = qobject_cast<const QAbstractButton*>(editor)) {
            label = plainLabel(button->text());
        }
    }
    return label.isEmpty() ? localizedString(QStringLiteral("UndoNameEdit"))
                           : localizedFormat(QStringLiteral("UndoNameTypingFormat"), {label});
}

QString UndoNaming::newProduct()
{
    return localizedString(QStringLiteral("UndoNameNewProduct"));
}

QString UndoNaming::deleteProducts(int count)
{
    return count == 1 ? localizedString(QStringLiteral("UndoNameDeleteProduct"))
                      : localizedFormat(QStringLiteral("UndoNameDeleteProductsFormat"), {QString::number(count)});
}

QString UndoNaming::importProducts(int count)
{
    return count == 1 ? localizedString(QStringLiteral("UndoNameImportProduct"))
                      : localizedFormat(QStringLiteral("UndoNameImportProductsFormat"), {QString::number(count)});
}

QString UndoNaming::changeIcon()
{
    return localizedString(QStringLiteral("UndoNameChangeIcon"));
}

QString UndoNaming::removeIcon()
{
    return localizedString(QStringLiteral("UndoNameRemoveIcon"));
}

QString UndoNaming::refreshFromApplication()
{
    return localizedString(QStringLiteral("UndoNameRefresh"));
}

QString UndoNaming::attachFiles()
{
    return localizedString(QStringLiteral("UndoNameAttachFiles"));
}

QString UndoNaming::removeAttachments(int count)
{
    return count == 1 ? localizedString(QStringLiteral("UndoNameRemoveAttachment"))
                      : localizedFormat(QStringLiteral("UndoNameRemoveAttachmentsFormat"), {QString::number(count)});
}
