#pragma once

#include <QByteArray>
#include <QString>

#include <list>

struct zip;

// Writes a ZIP archive as the operator publishes the player: every entry keeps
// its Unix permissions, so that the unpacked program can run.
class ZipWriter
{
public:
    explicit ZipWriter(const QString& path);
    ~ZipWriter();

    // Every file below the folder, named by its path inside it.
    void addFolder(const QString& folder);
    void addFile(const QString& name, const QByteArray& content, bool executable = false);
    // Writes the archive out; false when it or one of its entries failed.
    bool close();

private:
    void add(const QString& name, struct zip_source* source, bool executable);

    struct zip* m_archive;
    std::list<QByteArray> m_contents;  // read by libzip only when it closes
    bool m_failed = false;
};
