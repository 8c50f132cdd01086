#include "FadedText.h"

#include <QPalette>
#include <QWidget>

QColor fadedText(const QColor& text, const QColor& background)
{
    constexpr double keep = 0.62;
    const auto mix = [](double a, double b) { return a * keep + b * (1 - keep); };
    return QColor::fromRgbF(float(mix(text.redF(), background.redF())), float(mix(text.greenF(), background.greenF())),
                            float(mix(text.blueF(), background.blueF())));
}

void useFadedText(QWidget* widget)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::WindowText,
                         fadedText(palette.color(group, QPalette::WindowText), palette.color(group, QPalette::Window)));
    }
    widget->setPalette(palette);
}
