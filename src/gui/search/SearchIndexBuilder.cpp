#include "gui/search/SearchIndexBuilder.h"

#include "index/IndexBuildThread.h"
#include "index/IndexObserver.h"
#include "index/SearchIndex.h"
#include "store/Catalogue.h"

namespace vorn {

namespace {

// Hands the building thread's news to the builder on the window's thread; news of a
// build stopped since is dropped.
class PostingObserver : public IndexObserver
{
public:
    PostingObserver(SearchIndexBuilder *builder, int generation, const int &current)
        : m_builder(builder), m_generation(generation), m_current(current)
    {
    }
    void discDone(int done, int total) override
    {
        post([this, done, total] { emit m_builder->progress(done, total); });
    }
    void ended()
    {
        post([this] { emit m_builder->finished(); });
    }

private:
    template<typename F> void post(F &&f)
    {
        const int generation = m_generation;
        const int &current = m_current;
        QMetaObject::invokeMethod(
            m_builder,
            [f = std::forward<F>(f), generation, &current] {
                if (generation == current)
                    f();
            },
            Qt::QueuedConnection);
    }

    SearchIndexBuilder *m_builder;
    const int m_generation;
    const int &m_current;
};

} // namespace

struct SearchIndexBuilder::Build
{
    Build(SearchIndexBuilder *builder, int generation, const int &current, const Catalogue &catalogue)
        : observer(builder, generation, current),
          thread(SearchIndex(catalogue.dataFolder), discIdentifiers(catalogue), observer)
    {
    }
    PostingObserver observer;
    IndexBuildThread thread;
};

SearchIndexBuilder::SearchIndexBuilder(const Catalogue &catalogue, QObject *parent)
    : QObject(parent), m_catalogue(catalogue)
{
}

SearchIndexBuilder::~SearchIndexBuilder()
{
    stop();
}

void SearchIndexBuilder::start()
{
    if (isBuilding() || m_catalogue.dataFolder.isEmpty())
        return;
    m_build.reset();
    const int generation = ++m_generation;
    m_build = std::make_unique<Build>(this, generation, m_generation, m_catalogue);
    m_build->thread.start([observer = &m_build->observer] { observer->ended(); });
}

void SearchIndexBuilder::stop()
{
    // Whatever the stopped build still posts is dropped.
    ++m_generation;
    m_build.reset();
}

bool SearchIndexBuilder::isBuilding() const
{
    return m_build && m_build->thread.isRunning();
}

} // namespace vorn
