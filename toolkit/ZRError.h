#pragma once

#include <QString>

// An error as the toolkit reports it to the application: a domain naming who raised it, a code
// within that domain and a text for the person.
struct ZRError
{
    QString domain;
    int code = 0;
    QString description;
};
