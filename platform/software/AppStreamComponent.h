#pragma once

#include <QString>
#include <QStringList>

// What one AppStream metainfo file says of its component. Each text is empty when the file does
// not say.
struct AppStreamComponent
{
    QString id; // <id>, for example "org.example.Northwind" or the legacy "northwind.desktop"
    QString name;
    QString summary;
    QString developer; // <developer><name>, else the legacy <developer_name>
    QString homepage; // <url type="homepage">
    QString email; // the address of <url type="contact">, else of <url type="help">, when it is one
    QStringList desktopIds; // <launchable type="desktop-id">, as written ("org.example.Northwind.desktop")
    QString newestRelease; // the highest <release version> by version order
    QString path; // the file read
};
