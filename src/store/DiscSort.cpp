#include "store/DiscSort.h"

#include "store/Catalogue.h"
#include "store/RecordText.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <numeric>

namespace vorn {

void deleteWorkingCopies(const Catalogue &catalogue, const QString &identifier)
{
    if (identifier.isEmpty())
        return;
    const QString prefix = identifier + u'.';
    const QDir folder(catalogue.tempFolder);
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            QFile::remove(folder.filePath(name));
    }
}

void sortDiscArray(Catalogue &catalogue, int key, bool descending)
{
    const int n = catalogue.discCount();
    if (catalogue.current >= 1 && catalogue.current <= n)
        deleteWorkingCopies(catalogue, catalogue.disc(catalogue.current).identifier);

    if (key == DiscSortKey::BurnDate) {
        const int savedFlags = catalogue.memberFlags;
        for (int i = 1; i <= n; ++i) {
            if (catalogue.disc(i).burnDate == 0)
                computeBurnDate(catalogue, i);
        }
        catalogue.memberFlags = savedFlags;
    }

    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    const auto &discs = catalogue.discs;
    if (key == DiscSortKey::BurnDate) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const double da = discs[size_t(a)].burnDate;
            const double db = discs[size_t(b)].burnDate;
            return descending ? da > db : da < db;
        });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = QString::compare(discs[size_t(a)].name, discs[size_t(b)].name, Qt::CaseInsensitive);
            return descending ? c > 0 : c < 0;
        });
    }

    std::vector<DiscRecord> sorted;
    sorted.reserve(size_t(n) + 1);
    sorted.push_back(std::move(catalogue.discs[0]));
    int current = catalogue.current;
    for (int i = 0; i < n; ++i) {
        const int from = order[size_t(i)];
        if (from == catalogue.current)
            current = i + 1;
        sorted.push_back(std::move(catalogue.discs[size_t(from)]));
    }
    catalogue.discs = std::move(sorted);
    catalogue.current = current;
}

void sortDiscArray(Catalogue &catalogue)
{
    sortDiscArray(catalogue, catalogue.sortKey, catalogue.sortDescending);
}

} // namespace vorn
