#pragma once

#include <QObject>
#include <memory>

namespace vorn {

struct Catalogue;

// Brings the data folder's search index up to date in the background, at idle
// priority: after a data folder opens, and after each search, so that discs
// catalogued since are indexed before the next one. A search meanwhile reads the
// discs whose part is already fresh from the index and the others from their
// archives. Stopping cancels the build and waits for the disc in hand.
class SearchIndexBuilder : public QObject
{
    Q_OBJECT
public:
    SearchIndexBuilder(const Catalogue &catalogue, QObject *parent = nullptr);
    ~SearchIndexBuilder() override;

    // Starts a build over the catalogue's discs unless one is running.
    void start();
    void stop();
    bool isBuilding() const;

signals:
    // On the window's thread: `done` of the `total` discs that needed a new part.
    void progress(int done, int total);
    void finished();

private:
    struct Build;
    const Catalogue &m_catalogue;
    std::unique_ptr<Build> m_build;
    int m_generation = 0;
};

} // namespace vorn
