#pragma once

#include <QString>

class ZREmail;

// The product a purchase e-mail is about, guessed from the message: a product named in the body
// ("Thank you for purchasing X", "Product: X", "Your X licence"), else the subject with order,
// receipt and licence words and order numbers removed. The publisher is the sender's display name,
// else the sender's domain without its top level. A title never contains the serial number.
struct LicenceTitleGuess
{
    QString title;
    QString publisher;

    static LicenceTitleGuess fromEmail(const ZREmail& email, const QString& serial);
};
