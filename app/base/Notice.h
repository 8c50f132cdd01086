#pragma once

#include <QString>

enum class AlertStyle;
class UserInterface;

// Shows an alert with the one button "OK" when there is a person to show it to (`ui` is not null).
void showNotice(UserInterface* ui, AlertStyle style, const QString& title, const QString& message);
