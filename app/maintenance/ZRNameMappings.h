#pragma once

#include <QHash>
#include <QString>

// Old file name -> new file name of the files a merge import copied under fresh names. `active`
// marks a merge: then a record whose file was not copied gets a fresh name that names no file, so
// it shows as missing instead of pointing at a file of another record.
struct ZRNameMappings
{
    bool active = false;
    QHash<QString, QString> attachments;
    QHash<QString, QString> icons;
};
