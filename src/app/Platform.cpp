#include "Platform.h"

#include <QFile>
#include <QFileInfo>

#include <chrono>

bool Platform::FileExists(const QString &path)
{
    // isFile() is true for regular files only (and links to them): a directory,
    // a device or a pipe of that name does not count, so reading never blocks.
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool Platform::readWholeFile(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

double Platform::clockSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
