#pragma once

#include "settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A profile of its own: HOME and XDG_DATA_HOME point into a temporary folder
// for the duration of one test function.
class TemporaryProfile
{
public:
    TemporaryProfile()
    {
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_DATA_HOME", (m_home.path() + "/data").toUtf8());
    }

    QString home() const { return m_home.path(); }
    QString dataDirectory() const { return m_home.path() + "/data/Zentria Media Player"; }
    QString iniPath() const { return dataDirectory() + "/settings.ini"; }

    void writeIni(const QByteArray& text) const
    {
        QDir().mkpath(dataDirectory());
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QByteArray readIni() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_home;
};
