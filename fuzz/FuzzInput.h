#pragma once

// Shared by the fuzz targets: the input as a file for the readers that open a path,
// and the input as views.

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

#include <unistd.h>

namespace vorn::fuzz {

inline QByteArrayView bytes(const uint8_t *data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
}

// One file per process, rewritten for each input.
inline QString inputFile(const uint8_t *data, size_t size, const char *suffix)
{
    const QString path = QDir::tempPath() + QStringLiteral("/vorn-fuzz-%1%2").arg(getpid()).arg(QLatin1String(suffix));
    // Removed when the fuzzer exits.
    static const struct Remover
    {
        QString path;
        ~Remover() { QFile::remove(path); }
    } remover{path};
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

} // namespace vorn::fuzz
