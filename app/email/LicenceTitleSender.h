#pragma once

#include <QString>

// The publisher a purchase mail comes from, read from its "From" header.
namespace LicenceTitleSender {

// The display name without words such as "Sales", "Store", "Team" or "noreply" (when that leaves
// something), else the address's domain without its top level and mail subdomains ("mail.",
// "email.", "news."), its first letter capitalized: "Northwind Sales <a@mail.northwind.com>" and
// "orders@mail.northwind.com" both give "Northwind". Empty when the header holds neither.
QString publisher(const QString& from);

// The domain's name: "mail.northwind.co.uk" gives "Northwind"; empty for no domain.
QString nameOfDomain(const QString& domain);

} // namespace LicenceTitleSender
